#pragma once
// The one application object of the dialog tests, a user's typing and
// choosing, and the snapshots of the dialogs to be looked at: written only
// when KOVA_SCREENSHOT_DIR names a folder (the pictures go to its "dialogs"
// folder), never on a plain run.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QString>
#include <QTest>
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

// A user's choice in a drop-down list.
inline void Choose(QComboBox* box, int entry) {
  box->setCurrentIndex(entry);
  emit box->activated(entry);
}

// A user's typing over the whole text of a field.
inline void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClicks(edit, text);
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
