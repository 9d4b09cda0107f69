#pragma once
// The one application object of the dialog tests, a user's typing and
// choosing, and the snapshots of the dialogs rendered into the docs folder
// to be looked at.

#include <QApplication>
#include <QComboBox>
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

inline void Snapshot(QWidget& widget, const char* file) {
  widget.show();
  App().processEvents();
  widget.grab().save(QString(KOVA_SOURCE_DIR "/docs/dialogs/") + file);
}

}  // namespace kova
