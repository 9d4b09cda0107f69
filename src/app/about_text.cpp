#include "app/about_text.h"

#include "app/main_commands.h"
#include "base/codepage.h"

namespace kova {

namespace {

std::string Place(const std::string& place) { return SystemNameToCp1252(place); }

}  // namespace

std::string AboutText(const AboutFacts& f) {
  std::string text = "KOVA-7100 companion program, version " + f.version + "\n\nBuilt with:\n";
  for (const auto& [name, version] : f.libraries) text += "  " + name + " " + version + "\n";
  text += "\nSettings: " + Place(f.settings) + "\n";
  text += "Test records: " + Place(f.records) + "\n";
  text += "Record library: " + Place(f.library) + "\n";
  text += "Instrument traces: " +
          (f.logs.empty() ? std::string("not kept (TraceDir in the settings names a folder)")
                          : Place(f.logs)) +
          "\n";
  return text;
}

std::vector<ShortcutLine> KeyboardShortcuts() {
  std::vector<ShortcutLine> lines;
  for (const CommandInfo& c : MainCommands()) {
    std::string keys = c.shortcut;
    if (keys.empty()) continue;
    for (size_t at; (at = keys.find("; ")) != std::string::npos;) keys.replace(at, 2, " or ");
    std::string command = c.menu_caption;
    command = command.substr(0, command.find('\t'));
    for (size_t at; (at = command.find('&')) != std::string::npos;) command.erase(at, 1);
    lines.push_back({keys, command});
  }
  return lines;
}

std::string KeyboardShortcutsText() {
  std::string text;
  for (const ShortcutLine& l : KeyboardShortcuts()) text += l.keys + "\t" + l.command + "\n";
  return text;
}

}  // namespace kova
