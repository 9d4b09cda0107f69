#include "gui/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <memory>

#include "app/document_names.h"

namespace kova {

namespace {
constexpr qint64 kMaxHandOverBytes = 256 * 1024;
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
  return QStringLiteral("kova-gui-") + user;
}

bool SingleInstance::HandOver(const std::vector<std::string>& paths, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeout_ms)) return false;
  std::string text;
  for (const std::string& p : paths) text += p + "\n";
  if (!text.empty()) socket.write(text.data(), static_cast<qint64>(text.size()));
  socket.flush();
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(timeout_ms)) return false;
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Listen(std::function<void(const std::vector<std::string>&)> open) {
  open_ = std::move(open);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Left behind by a copy that crashed: nobody answered HandOver.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      auto buffer = std::make_shared<std::string>();
      connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
        const QByteArray bytes = socket->readAll();
        if (static_cast<qint64>(buffer->size()) + bytes.size() <= kMaxHandOverBytes)
          buffer->append(bytes.constData(), static_cast<size_t>(bytes.size()));
      });
      connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
        const QByteArray rest = socket->readAll();
        buffer->append(rest.constData(), static_cast<size_t>(rest.size()));
        socket->deleteLater();
        if (open_) open_(HandedOverPaths(*buffer));
      });
    }
  });
  return true;
}

}  // namespace kova
