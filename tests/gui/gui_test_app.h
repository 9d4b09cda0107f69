#pragma once
// What every window test needs: the one application object (offscreen
// unless told otherwise) and the visible top-level window of a type.
// Offscreen, the screen is a 1366x768 laptop's, the smallest the windows
// must fit.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include "gui/window_fit.h"

namespace kova {

constexpr int kTestScreenWidth = 1366;
constexpr int kTestScreenHeight = 768;

inline QApplication& GuiTestApp() {
  static int argc = 1;
  static char name[] = "kova_gui_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && QApplication::instance() == nullptr) {
    const QString config = QDir::temp().filePath(
        QStringLiteral("kova-gui-test-screen-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      file.write(QStringLiteral("{\"screens\": [{\"name\": \"laptop\", \"x\": 0, \"y\": 0, "
                                "\"width\": %1, \"height\": %2, \"logicalDpi\": 96}]}")
                     .arg(kTestScreenWidth)
                     .arg(kTestScreenHeight)
                     .toUtf8());
      file.close();
      qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    }
  }
  // Never destroyed: tearing Qt down after the tests' statics is not worth it.
  static QApplication* app = QApplication::instance() != nullptr
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : [] {
                                     auto* made = new QApplication(argc, argv);
                                     FitWindowsToScreens(*made);
                                     return made;
                                   }();
  return *app;
}

// The visible top-level window of type T; null when none is showing.
template <class T>
T* ShowingWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) return t;
  }
  return nullptr;
}

}  // namespace kova
