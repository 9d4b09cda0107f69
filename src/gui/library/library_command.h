#pragma once
// The "Library..." command of the main window (a row of the command table):
// opens the Library window on the library the settings name.

#include <QWidget>
#include <functional>
#include <string>

#include "app/settings_store.h"

namespace kova {

// The handler of the main window's "Library..." command; `open_record`
// opens a record file as a document. The window is one per main window,
// kept while it is open: the command again brings it forward.
std::function<void()> LibraryCommand(QWidget* owner, SettingsStore& settings,
                                     std::function<void(const std::string&)> open_record);

// Opens the window (null with a message box when the library cannot be
// opened). `location` empty: the settings' library.
QWidget* OpenLibraryWindow(QWidget* owner, SettingsStore& settings,
                           std::function<void(const std::string&)> open_record,
                           const std::string& location = "");

}  // namespace kova
