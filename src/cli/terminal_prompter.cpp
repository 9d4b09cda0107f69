#include "cli/terminal_prompter.h"

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "base/codepage.h"

namespace kova {
namespace {

void Say(const std::string& cp1252) {
  std::cerr << Cp1252ToUtf8(cp1252) << '\n';
  std::cerr.flush();
}

bool ReadLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

TerminalPrompter::TerminalPrompter(bool interactive) : interactive_(interactive) {}

Answer TerminalPrompter::Message(const std::string& caption, const std::string& text,
                                 Buttons buttons, Icon) {
  Say(caption.empty() ? text : caption + ": " + text);
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (!interactive_) {
    // Without a terminal nobody can answer: take the cautious choice.
    return buttons == Buttons::OkCancel ? Answer::Cancel
                                        : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
  }
  const char* choices = buttons == Buttons::OkCancel ? "[o]k/[c]ancel"
                        : buttons == Buttons::YesNo  ? "[y]es/[n]o"
                                                     : "[y]es/[n]o/[c]ancel";
  while (true) {
    std::cerr << choices << "? ";
    std::string line;
    if (!ReadLine(line)) return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    const char c = line.empty() ? '\0' : static_cast<char>(std::tolower(line[0]));
    if (buttons == Buttons::OkCancel) {
      if (c == 'o') return Answer::Ok;
      if (c == 'c') return Answer::Cancel;
    } else {
      if (c == 'y') return Answer::Yes;
      if (c == 'n') return Answer::No;
      if (c == 'c' && buttons == Buttons::YesNoCancel) return Answer::Cancel;
    }
  }
}

size_t TerminalPrompter::Choose(const std::string& caption, const std::string& text,
                                const std::vector<std::string>& buttons, size_t escape) {
  Say(caption.empty() ? text : caption + ": " + text);
  if (!interactive_ || buttons.empty()) return escape;
  std::string choices;
  for (const std::string& name : buttons) {
    if (name.empty()) continue;
    if (!choices.empty()) choices += '/';
    choices += "[" + std::string(1, static_cast<char>(std::tolower(name[0]))) + "]" +
               Cp1252ToUtf8(name.substr(1));
  }
  while (true) {
    std::cerr << choices << "? ";
    std::string line;
    if (!ReadLine(line)) return escape;
    const char c = line.empty() ? '\0' : static_cast<char>(std::tolower(line[0]));
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (!buttons[i].empty() && c == std::tolower(buttons[i][0])) return i;
    }
  }
}

bool TerminalPrompter::ChooseOpenFile(const std::string& title, const std::string&,
                                      const std::string&, std::string& path) {
  return PromptName(title, "File", path) && !path.empty();
}

bool TerminalPrompter::ChooseSaveFile(const std::string& title, const std::string&,
                                      const std::string&, std::string& path) {
  return PromptName(title, "File", path) && !path.empty();
}

bool TerminalPrompter::ChooseFolder(const std::string& title, const std::string& start,
                                    std::string& folder) {
  folder = start;
  return PromptName(title, "Folder", folder) && !folder.empty();
}

bool TerminalPrompter::PromptText(const std::string& caption, const std::string& label,
                                  std::string& text) {
  std::string shown = Cp1252ToUtf8(text);
  if (!Ask(caption, label, shown)) return false;
  text = Utf8ToCp1252(shown);
  return true;
}

bool TerminalPrompter::PromptName(const std::string& caption, const std::string& label,
                                  std::string& name) {
  // A file name is the system's, not text: it is shown and taken as typed.
  std::string shown = SystemNameToUtf8(name);
  if (!Ask(caption, label, shown)) return false;
  name = Utf8ToSystemName(shown);
  return true;
}

bool TerminalPrompter::Ask(const std::string& caption, const std::string& label,
                           std::string& utf8) {
  if (!interactive_) return false;
  std::cerr << Cp1252ToUtf8(caption) << " - " << Cp1252ToUtf8(label);
  if (!utf8.empty()) std::cerr << " [" << utf8 << "]";
  std::cerr << ": ";
  std::string line;
  if (!ReadLine(line)) return false;
  if (!line.empty()) utf8 = line;
  return true;
}

bool TerminalPrompter::RunWaiting(const std::string& text, const std::function<bool()>& operation) {
  Say(text);
  return operation();
}

}  // namespace kova
