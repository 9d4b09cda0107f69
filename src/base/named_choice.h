#pragma once
// A question whose buttons are named for what they do ("Rename\x85",
// "Skip") instead of Yes and No. A prompter that can show such buttons
// also implements NamedChoice; AskNamed uses it when it does, and asks
// Yes/No/Cancel in its place when not.

#include <cstddef>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace kova {

class NamedChoice {
 public:
  virtual ~NamedChoice() = default;
  // Returns the index of the button pressed, `escape` when the box is
  // closed without one. Texts are Windows-1252; the first is the default.
  virtual size_t Choose(const std::string& caption, const std::string& text,
                        const std::vector<std::string>& buttons, size_t escape) = 0;
};

// Through `prompter`'s named buttons when it has them; otherwise Yes stands
// for the first button, No for the second (Yes/No for two buttons,
// Yes/No/Cancel for more) and Cancel for `escape`.
inline size_t AskNamed(Prompter& prompter, const std::string& caption, const std::string& text,
                       const std::vector<std::string>& buttons, size_t escape) {
  if (auto* named = dynamic_cast<NamedChoice*>(&prompter)) {
    return named->Choose(caption, text, buttons, escape);
  }
  const Answer answer =
      prompter.Message(caption, text, buttons.size() > 2 ? Buttons::YesNoCancel : Buttons::YesNo);
  if (answer == Answer::Yes) return 0;
  if (answer == Answer::No) return 1;
  return escape;
}

}  // namespace kova
