#pragma once
// The one Qt application object of the platform tests: a GUI application on
// the offscreen platform, so fonts and painting work next to serial ports.

#include <QGuiApplication>

namespace kova {

inline QCoreApplication& TestApp() {
  static int argc = 1;
  static char name[] = "kova_platform_tests";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  return app;
}

}  // namespace kova
