#pragma once
// The one QApplication of the window tests, made by whichever test needs it
// first and never destroyed (tearing Qt down after the tests' statics is not
// worth it).

#include <QApplication>

namespace kova {

inline void EnsureGuiApp() {
  static int argc = 1;
  static char name[] = "kova_gui_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

}  // namespace kova
