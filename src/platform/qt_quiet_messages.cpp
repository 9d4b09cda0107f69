#include "platform/qt_quiet_messages.h"

#include <QString>
#include <QtGlobal>

namespace kova {
namespace {

QtMessageHandler g_previous = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (g_previous != nullptr) g_previous(type, context, text);
}

}  // namespace

void QuietQtRuntimeFolderMessages() { g_previous = qInstallMessageHandler(Filter); }

}  // namespace kova
