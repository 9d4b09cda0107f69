#include "gui/help_menu.h"

#include "app/app_settings.h"
#include "app/library_settings.h"
#include "base/program_version.h"
#include "base/prompter.h"
#include "gui/main_window.h"
#include "library_stores/open_library.h"
#include "library_stores/store_versions.h"
#include "platform/library_versions.h"

namespace kova {

AboutFacts CurrentAboutFacts(const SettingsStore& store, const CAppInfo& info,
                             const std::string& settings_place) {
  AboutFacts facts;
  facts.version = kProgramVersion;
  facts.libraries = PlatformLibraryVersions();
  for (auto& lib : StoreLibraryVersions()) facts.libraries.push_back(std::move(lib));
  facts.settings = settings_place;
  facts.records = info.filepath;
  facts.library = ChooseLibraryLocation("", LoadLibrarySettings(store).location);
  facts.logs = info.tracedir;
  return facts;
}

void AddHelpCommands(MainWindow& window, const SettingsStore& store, const CAppInfo& info,
                     Prompter& prompter, std::string settings_place) {
  window.AddCommand(CommandId::kKeyboardShortcuts, [&prompter] {
    prompter.Message("Keyboard Shortcuts", KeyboardShortcutsText(), Buttons::Ok, Icon::Information);
  });
  window.AddCommand(CommandId::kAbout, [&store, &info, &prompter, settings_place] {
    prompter.Message("About KOVA", AboutText(CurrentAboutFacts(store, info, settings_place)),
                     Buttons::Ok, Icon::Information);
  });
}

}  // namespace kova
