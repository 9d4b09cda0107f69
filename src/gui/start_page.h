#pragma once
// The start page in the empty document area: the window's first commands
// as large buttons, the recent files and where the records are kept.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/main_commands.h"

class QAction;
class QLabel;
class QVBoxLayout;

namespace kova {

class StartPage : public QWidget {
  Q_OBJECT
 public:
  // `action` gives the window's action of a command (null while it has
  // none); `open` opens a recent file.
  StartPage(std::function<QAction*(CommandId)> action, std::function<void(const std::string&)> open,
            QWidget* parent = nullptr);

  // Renews the buttons (commands added since), the recent files and the line.
  void Refresh(const std::vector<std::string>& recent, const std::string& kept_text);

 private:
  std::function<QAction*(CommandId)> action_;
  std::function<void(const std::string&)> open_;
  QVBoxLayout* actions_ = nullptr;
  QVBoxLayout* recent_ = nullptr;
  QLabel* kept_ = nullptr;
  std::vector<CommandId> shown_;
};

}  // namespace kova
