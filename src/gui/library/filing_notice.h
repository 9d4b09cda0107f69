#pragma once
// A record saved or downloaded that the library could not file: the user
// is told in the window, once a session (a library that is not there or
// refuses should not nag at every save), with the reason.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace kova {

// The report function for the filing exporter; callable from any thread.
// The message opens over `*window` once it is set (the window is made after
// the exporter).
std::function<void(const std::string&)> FilingFailureNotice(
    std::shared_ptr<QPointer<QWidget>> window);

}  // namespace kova
