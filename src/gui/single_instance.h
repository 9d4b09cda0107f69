#pragma once
// One kova-gui per user: a second start (a record double-clicked in the
// file manager) hands its files to the window already running and ends, so
// two copies never compete for the instrument's port.

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;

namespace kova {

class SingleInstance : public QObject {
 public:
  explicit SingleInstance(QString name, QObject* parent = nullptr);
  ~SingleInstance() override;

  // "kova-gui-<user>": one name per user of the machine.
  static QString DefaultName();

  // True when a running copy answered and took `paths` (possibly none: it
  // then only comes forward).
  bool HandOver(const std::vector<std::string>& paths, int timeout_ms = 2000);
  // Listens for later starts; `open` receives the files each one hands over.
  bool Listen(std::function<void(const std::vector<std::string>&)> open);

 private:
  QString name_;
  QLocalServer* server_ = nullptr;
  std::function<void(const std::vector<std::string>&)> open_;
};

}  // namespace kova
