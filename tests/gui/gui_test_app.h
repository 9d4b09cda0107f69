#pragma once
// What every window test needs: the one application object (offscreen
// unless told otherwise) and the visible top-level window of a type.

#include <QApplication>
#include <QWidget>

namespace kova {

inline QApplication& GuiTestApp() {
  static int argc = 1;
  static char name[] = "kova_gui_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: tearing Qt down after the tests' statics is not worth it.
  static QApplication* app = QApplication::instance() != nullptr
                                 ? static_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
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
