#pragma once
// The desktop program's answers to the core: message boxes, file and folder
// dialogs, a text prompt and the wait dialog. Any thread may ask: a question
// from the instrument's worker is shown on the window's thread and the worker
// waits for the answer.

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "base/named_choice.h"
#include "base/prompter.h"

namespace kova {

class WaitDialog;

class QtPrompter : public Prompter, public NamedChoice {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  // Every message and file dialog belongs to this window (made after us).
  void SetParent(QWidget* parent) { parent_ = parent; }
  // The dialog a message opens over: the open modal dialog (Edit Test, the
  // plan editor), else the window.
  QWidget* Owner() const;

  Answer Message(const std::string& caption, const std::string& text, Buttons buttons,
                 Icon icon) override;
  // A box with one push button per name (objects "choice0", "choice1" ...).
  size_t Choose(const std::string& caption, const std::string& text,
                const std::vector<std::string>& buttons, size_t escape) override;
  bool ChooseOpenFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  bool ChooseSaveFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override;
  // An open-file dialog with multiple selection; false on Cancel.
  bool ChooseOpenFiles(const std::string& title, const std::string& folder,
                       const std::string& filter, std::vector<std::string>& paths);
  bool ChooseFolder(const std::string& title, const std::string& start,
                    std::string& folder) override;
  bool PromptText(const std::string& caption, const std::string& label, std::string& text) override;
  bool RunWaiting(const std::string& text, const std::function<bool()>& operation) override;
  bool RunWaitingWithCancel(const std::string& text, const std::function<bool()>& operation,
                            const std::function<void()>& cancel) override;
  void SetWaitingText(const std::string& text) override;

 private:
  QPointer<QWidget> parent_;
  WaitDialog* waiting_ = nullptr;
};

// "Test (*.test) |*.test||" into Qt's "Test (*.test)".
QString QtFilterOf(const std::string& filter);

}  // namespace kova
