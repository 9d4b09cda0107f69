// kova settings show: every stored value the program keeps, its value, its
// default and where the value came from (stored, or the default because it
// was absent, out of range or of the wrong type).

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "app/install_data_folder.h"
#include "app/settings_table.h"
#include "base/codepage.h"
#include "base/json.h"
#include "base/path.h"
#include "cli/cli_context.h"

namespace kova {
namespace {

const char* KindName(SettingKind kind) {
  switch (kind) {
    case SettingKind::kInt:
      return "int";
    case SettingKind::kText:
      return "text";
    case SettingKind::kBinary:
      return "binary";
  }
  return "text";
}

JsonValue ValueJson(const SettingKey& key, const std::string& text) {
  if (key.kind == SettingKind::kInt) return JsonValue::Integer(std::stoll(text));
  return JsonValue::String(Cp1252ToUtf8(text));
}

void PrintShown(const std::vector<SettingShown>& shown, bool json) {
  if (json) {
    JsonValue list = JsonValue::Array();
    for (const SettingShown& s : shown) {
      JsonValue item = JsonValue::Object();
      item.Set("section", JsonValue::String(Cp1252ToUtf8(s.key->section)));
      item.Set("key", JsonValue::String(Cp1252ToUtf8(s.name)));
      item.Set("type", JsonValue::String(KindName(s.key->kind)));
      item.Set("value", ValueJson(*s.key, s.value));
      item.Set("default", ValueJson(*s.key, s.default_value));
      item.Set("source", JsonValue::String(SettingSourceName(s.source)));
      if (s.unit) item.Set("unit", JsonValue::String(s.unit));
      list.Push(std::move(item));
    }
    std::cout << list.Dump(1) << '\n';
    return;
  }
  for (const SettingShown& s : shown) {
    std::cout << Cp1252ToUtf8(s.key->section) << '/' << Cp1252ToUtf8(s.name) << " = "
              << Cp1252ToUtf8(s.value) << "  (default " << Cp1252ToUtf8(s.default_value) << "; "
              << SettingSourceName(s.source) << ")"
              << (s.unit ? std::string("  [") + s.unit + "]" : "") << "\n";
  }
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CliContext& ctx) {
  CLI::App* settings_cmd = app.add_subcommand("settings", "The program's stored settings");
  settings_cmd->require_subcommand(1);
  auto json = std::make_shared<bool>(false);
  CLI::App* show = settings_cmd->add_subcommand(
      "show", "Every stored value: its value, its default and where it came from");
  show->add_flag("--json", *json, "The settings as one JSON array");
  show->callback([&ctx, json] {
    SettingPlaces places;
    places.program_dir = InstallDataFolder(QCoreApplication::applicationDirPath().toStdString());
    std::error_code ec;
    places.current_dir = std::filesystem::current_path(ec).string();
    PrintShown(ShowSettings(*ctx.store, places), *json);
  });
}

}  // namespace kova
