#pragma once
// How a dialog opens the dialogs it owns ("Pass / Fail", a row's "Edit",
// "Notepad"). The program runs them modally; the tests replace the runner to
// fill in and close the child dialog as a user would.

#include <QDialog>
#include <functional>

namespace kova {

using DialogRunner = std::function<int(QDialog&)>;

inline DialogRunner ModalRunner() {
  return [](QDialog& dialog) { return dialog.exec(); };
}

}  // namespace kova
