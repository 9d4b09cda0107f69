#pragma once
// The one application object of the dialog tests, and the snapshots of the
// dialogs to be looked at: written only when KOVA_SCREENSHOT_DIR names a
// folder (the pictures go to its "dialogs" folder), never on a plain run.

#include <QApplication>
#include <QDir>
#include <QString>
#include <QWidget>

namespace kova {

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "kova_gui_dialogs_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: tearing Qt down after the tests' statics is not worth it.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Shows the dialog as the user would see it; the picture is written only
// when asked for.
inline void Snapshot(QWidget& widget, const char* file) {
  widget.show();
  App().processEvents();
  const QString dir = qEnvironmentVariable("KOVA_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  QDir(dir).mkpath(QStringLiteral("dialogs"));
  widget.grab().save(QDir(dir).filePath(QStringLiteral("dialogs/") + file), "PNG", 9);
}

}  // namespace kova
