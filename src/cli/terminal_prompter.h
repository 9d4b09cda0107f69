#pragma once
// The command-line tool's prompter: messages go to stderr; questions are
// asked on the terminal when there is one, else answered by the default.

#include "base/named_choice.h"
#include "base/prompter.h"

namespace kova {

class TerminalPrompter : public Prompter, public NamedChoice {
 public:
  // `interactive`: questions may be asked on stdin.
  explicit TerminalPrompter(bool interactive);

  Answer Message(const std::string& caption, const std::string& text, Buttons buttons,
                 Icon icon) override;
  // Prints the question and "[y]es/[r]ename\x85/[s]kip/[c]ancel? ": each
  // button by its first letter.
  size_t Choose(const std::string& caption, const std::string& text,
                const std::vector<std::string>& buttons, size_t escape) override;
  bool ChooseOpenFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  bool ChooseSaveFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  bool ChooseFolder(const std::string& title, const std::string& start,
                    std::string& folder) override;
  bool PromptText(const std::string& caption, const std::string& label, std::string& text) override;
  bool RunWaiting(const std::string& text, const std::function<bool()>& operation) override;

  bool interactive() const { return interactive_; }

 private:
  // A file or folder name (the system's), shown and typed as it is.
  bool PromptName(const std::string& caption, const std::string& label, std::string& name);
  // The prompt line itself; `utf8` holds the initial value and the answer.
  bool Ask(const std::string& caption, const std::string& label, std::string& utf8);

  bool interactive_;
};

}  // namespace kova
