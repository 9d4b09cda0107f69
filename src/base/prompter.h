#pragma once
// How the core talks to the person at the PC: message boxes, questions, file
// and folder choice, a text prompt, the wait dialog. The desktop program
// answers with dialogs (on the window's thread, whichever thread asks: the
// instrument's operations run on a worker), the command-line tool with flags
// and the terminal, tests with a script of answers. The core never keeps a
// user interface alive itself: its waits block, and the faces run them where
// blocking does no harm.
//
// Texts are Windows-1252 bytes, as everywhere in the core.

#include <functional>
#include <string>

namespace kova {

enum class Answer { Ok, Cancel, Yes, No };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Error, Question };

// Captions the program uses.
constexpr const char* kDeviceCaption = "KOVA-7100";
constexpr const char* kWarningCaption = "Warning";

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A modal message box; returns the button pressed.
  virtual Answer Message(const std::string& caption, const std::string& text,
                         Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;

  // File and folder choice; false when the user cancels.
  virtual bool ChooseOpenFile(const std::string& title, const std::string& folder,
                              const std::string& filter, std::string& path) = 0;
  virtual bool ChooseSaveFile(const std::string& title, const std::string& folder,
                              const std::string& filter, std::string& path) = 0;
  virtual bool ChooseFolder(const std::string& title, const std::string& start,
                            std::string& folder) = 0;
  // A one-line text prompt; `text` holds the initial value and the answer.
  virtual bool PromptText(const std::string& caption, const std::string& label,
                          std::string& text) = 0;

  // The wait dialog: shows `text`, runs `operation` once the dialog is up,
  // and closes; returns what the operation returned. Called from an
  // operation that already runs behind a window, it may just change that
  // window's text and run `operation` where it is.
  virtual bool RunWaiting(const std::string& text, const std::function<bool()>& operation) = 0;
  // The same with a Cancel button that calls `cancel` (from the window's
  // thread) while the operation runs; the operation must then end soon.
  // Without a window of its own to show it in, the button is left out.
  virtual bool RunWaitingWithCancel(const std::string& text, const std::function<bool()>& operation,
                                    const std::function<void()>& cancel) {
    (void)cancel;
    return RunWaiting(text, operation);
  }
  // Replaces the text of the wait dialog while its operation runs.
  virtual void SetWaitingText(const std::string& text) { (void)text; }
};

}  // namespace kova
