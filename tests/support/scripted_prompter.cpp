#include "support/scripted_prompter.h"

namespace kova {

Answer ScriptedPrompter::Message(const std::string& caption, const std::string& text,
                                 Buttons buttons, Icon) {
  messages_.push_back({caption, text, buttons});
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers_.empty()) return fallback;
  const Answer a = answers_.front();
  answers_.pop_front();
  return a;
}

bool ScriptedPrompter::ChooseOpenFile(const std::string&, const std::string&, const std::string&,
                                      std::string& path) {
  std::string t;
  if (!PromptText("", "", t)) return false;
  path = t;
  return true;
}

bool ScriptedPrompter::ChooseSaveFile(const std::string& title, const std::string& folder,
                                      const std::string& filter, std::string& path) {
  return ChooseOpenFile(title, folder, filter, path);
}

bool ScriptedPrompter::ChooseFolder(const std::string& title, const std::string& start,
                                    std::string& folder) {
  return ChooseOpenFile(title, start, "", folder);
}

bool ScriptedPrompter::PromptText(const std::string&, const std::string&, std::string& text) {
  if (texts_.empty()) return false;
  text = texts_.front();
  texts_.pop_front();
  return true;
}

bool ScriptedPrompter::RunWaiting(const std::string& text, const std::function<bool()>& operation) {
  waits_.push_back(text);
  return operation();
}

std::vector<std::string> ScriptedPrompter::texts() const {
  std::vector<std::string> out;
  for (const Shown& s : messages_) out.push_back(s.text);
  return out;
}

}  // namespace kova
