#pragma once
// The "&Help" menu's commands: "Keyboard Shortcuts" (F1) and "About", which
// names the version, the libraries and where the settings, the records,
// the library and the traces are.

#include <string>

#include "app/about_text.h"

namespace kova {

class MainWindow;
class CAppInfo;
class SettingsStore;
class Prompter;

// What About says, as this run has it.
AboutFacts CurrentAboutFacts(const SettingsStore& store, const CAppInfo& info,
                             const std::string& settings_place);

void AddHelpCommands(MainWindow& window, const SettingsStore& store, const CAppInfo& info,
                     Prompter& prompter, std::string settings_place);

}  // namespace kova
