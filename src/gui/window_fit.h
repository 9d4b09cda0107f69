#pragma once
// Windows that fit the screen: every top-level window and dialog opens
// within its screen's available area, and the main and Library windows
// open where they last closed on a screen of that size (app/window_place.h).

#include <QSize>
#include <string>

class QApplication;
class QWidget;

namespace kova {

class SettingsStore;

// Watches every window the program shows and keeps it within its screen.
void FitWindowsToScreens(QApplication& app);

// `window` opens at its kept place on its screen, else at `preferred`
// (shrunk to fit) in the middle; where it is when it closes is kept.
void KeepWindowPlace(QWidget* window, SettingsStore& store, const std::string& name,
                     QSize preferred);

}  // namespace kova
