#pragma once
// What "About" and "Keyboard Shortcuts" in the Help menu say: the version,
// the libraries the program is built on, where its files are, and every
// command's keys as the command table gives them.

#include <string>
#include <utility>
#include <vector>

namespace kova {

struct AboutFacts {
  std::string version;
  std::vector<std::pair<std::string, std::string>> libraries;  // name, version
  std::string settings;                                        // where the settings are kept
  std::string records;                                         // the record folder
  std::string library;                                         // the record library
  std::string logs;  // the instrument's traces; "" when none are kept
};

// Lines of text (Windows-1252; places converted from the system's names).
std::string AboutText(const AboutFacts& facts);

struct ShortcutLine {
  std::string keys;     // "Ctrl+F4 or Ctrl+W"
  std::string command;  // the menu text without '&' and shortcut
};
// Every command of the table with keys, in the table's order.
std::vector<ShortcutLine> KeyboardShortcuts();
std::string KeyboardShortcutsText();

}  // namespace kova
