#pragma once
// The settings, preferences and scripted user a test's main window runs
// with: loaded from an empty store with `folder` as the program's folder.

#include <string>

#include "app/app_settings.h"
#include "app/settings_store.h"
#include "base/path.h"
#include "gui/main_window.h"
#include "support/scripted_prompter.h"

namespace kova {

struct DesktopSetup {
  explicit DesktopSetup(const std::string& folder) {
    LoadAppSettings(settings, store, WithTrailingSeparator(folder));
    info.Load(store, folder);
    ctx.store = &store;
    ctx.settings = &settings;
    ctx.info = &info;
    ctx.prompter = &prompter;
  }
  DesktopSetup(const DesktopSetup&) = delete;
  DesktopSetup& operator=(const DesktopSetup&) = delete;

  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  ScriptedPrompter prompter;
  GuiContext ctx;
};

}  // namespace kova
