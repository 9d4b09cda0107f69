#pragma once
// A prompter for tests: answers from a script, records every message.

#include <deque>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace kova {

class ScriptedPrompter : public Prompter {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    Buttons buttons;
  };

  // Answers for questions, in order; when the script runs out, questions
  // get `fallback`.
  void QueueAnswer(Answer a) { answers_.push_back(a); }
  void QueueText(const std::string& text) { texts_.push_back(text); }
  Answer fallback = Answer::Cancel;

  Answer Message(const std::string& caption, const std::string& text, Buttons buttons,
                 Icon icon) override;
  bool ChooseOpenFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  bool ChooseSaveFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  bool ChooseFolder(const std::string& title, const std::string& start,
                    std::string& folder) override;
  bool PromptText(const std::string& caption, const std::string& label, std::string& text) override;
  bool RunWaiting(const std::string& text, const std::function<bool()>& operation) override;
  // Wait dialog texts, the replacements included, go to waits().
  void SetWaitingText(const std::string& text) override { waits_.push_back(text); }

  const std::vector<Shown>& messages() const { return messages_; }
  std::vector<std::string> texts() const;
  const std::vector<std::string>& waits() const { return waits_; }

 private:
  std::deque<Answer> answers_;
  std::deque<std::string> texts_;
  std::vector<Shown> messages_;
  std::vector<std::string> waits_;
};

}  // namespace kova
