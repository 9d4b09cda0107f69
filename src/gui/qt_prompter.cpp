#include "gui/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/device/gui_thread.h"
#include "gui/device/wait_dialog.h"
#include "gui/qt_text.h"

namespace kova {

QString QtFilterOf(const std::string& filter) {
  // Pairs of description and pattern separated by '|', ended by "||".
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString pattern = parts[i + 1].trimmed();
    if (description.isEmpty()) break;
    filters << (description.contains(pattern) ? description : description + " (" + pattern + ")");
  }
  return filters.join(";;");
}

QWidget* QtPrompter::Owner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

Answer QtPrompter::Message(const std::string& caption, const std::string& text, Buttons buttons,
                           Icon icon) {
  if (!OnGuiThread()) {
    Answer answer = Answer::Cancel;
    CallOnGuiThread([&] { answer = Message(caption, text, buttons, icon); });
    return answer;
  }
  QMessageBox box(Owner());
  box.setWindowTitle(ToQ(caption));
  box.setText(DisplayText(text));
  switch (icon) {
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case Icon::None:
      break;
  }
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

size_t QtPrompter::Choose(const std::string& caption, const std::string& text,
                          const std::vector<std::string>& buttons, size_t escape) {
  if (!OnGuiThread()) {
    size_t answer = escape;
    CallOnGuiThread([&] { answer = Choose(caption, text, buttons, escape); });
    return answer;
  }
  QMessageBox box(Owner());
  box.setWindowTitle(ToQ(caption));
  box.setText(DisplayText(text));
  box.setIcon(QMessageBox::Question);
  std::vector<QAbstractButton*> pressable;
  for (size_t i = 0; i < buttons.size(); ++i) {
    const QMessageBox::ButtonRole role =
        i == escape ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
    QPushButton* button = box.addButton(ToQ(buttons[i]), role);
    button->setObjectName(QStringLiteral("choice%1").arg(i));
    if (i == 0) box.setDefaultButton(button);
    if (i == escape) box.setEscapeButton(button);
    pressable.push_back(button);
  }
  box.exec();
  for (size_t i = 0; i < pressable.size(); ++i) {
    if (box.clickedButton() == pressable[i]) return i;
  }
  return escape;
}

bool QtPrompter::ChooseOpenFile(const std::string& title, const std::string& folder,
                                const std::string& filter, std::string& path) {
  if (!OnGuiThread()) {
    bool ok = false;
    CallOnGuiThread([&] { ok = ChooseOpenFile(title, folder, filter, path); });
    return ok;
  }
  const QString chosen =
      QFileDialog::getOpenFileName(Owner(), ToQ(title), PathToQ(folder), QtFilterOf(filter));
  if (chosen.isEmpty()) return false;
  path = PathFromQ(chosen);
  return true;
}

bool QtPrompter::ChooseOpenFiles(const std::string& title, const std::string& folder,
                                 const std::string& filter, std::vector<std::string>& paths) {
  if (!OnGuiThread()) {
    bool ok = false;
    CallOnGuiThread([&] { ok = ChooseOpenFiles(title, folder, filter, paths); });
    return ok;
  }
  const QStringList chosen =
      QFileDialog::getOpenFileNames(Owner(), ToQ(title), PathToQ(folder), QtFilterOf(filter));
  if (chosen.isEmpty()) return false;
  paths.clear();
  for (const QString& one : chosen) paths.push_back(PathFromQ(one));
  return true;
}

bool QtPrompter::ChooseSaveFile(const std::string& title, const std::string& folder,
                                const std::string& filter, std::string& path) {
  if (!OnGuiThread()) {
    bool ok = false;
    CallOnGuiThread([&] { ok = ChooseSaveFile(title, folder, filter, path); });
    return ok;
  }
  // Qt's own dialog asks no overwrite question: the document asks its own.
  const QString chosen =
      QFileDialog::getSaveFileName(Owner(), ToQ(title), PathToQ(folder), QtFilterOf(filter),
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return false;
  path = PathFromQ(chosen);
  return true;
}

bool QtPrompter::ChooseFolder(const std::string& title, const std::string& start,
                              std::string& folder) {
  if (!OnGuiThread()) {
    bool ok = false;
    CallOnGuiThread([&] { ok = ChooseFolder(title, start, folder); });
    return ok;
  }
  const QString chosen = QFileDialog::getExistingDirectory(Owner(), ToQ(title), PathToQ(start));
  if (chosen.isEmpty()) return false;
  folder = PathFromQ(chosen);
  return true;
}

bool QtPrompter::PromptText(const std::string& caption, const std::string& label,
                            std::string& text) {
  if (!OnGuiThread()) {
    bool ok = false;
    CallOnGuiThread([&] { ok = PromptText(caption, label, text); });
    return ok;
  }
  bool ok = false;
  const QString answer =
      QInputDialog::getText(Owner(), ToQ(caption), ToQ(label), QLineEdit::Normal, ToQ(text), &ok);
  if (!ok) return false;
  text = FromQ(answer);
  return true;
}

bool QtPrompter::RunWaiting(const std::string& text, const std::function<bool()>& operation) {
  return RunWaitingWithCancel(text, operation, nullptr);
}

bool QtPrompter::RunWaitingWithCancel(const std::string& text,
                                      const std::function<bool()>& operation,
                                      const std::function<void()>& cancel) {
  // Asked from a worker, the operation already runs behind a window (whose
  // own Abort stops it): it says what happens now and the work goes on
  // where it is.
  if (!OnGuiThread()) {
    SetWaitingText(text);
    return operation();
  }
  WaitDialog dialog(text, parent_);
  if (cancel) dialog.OfferCancel(cancel);
  WaitDialog* outer = waiting_;
  waiting_ = &dialog;
  const bool result = dialog.Run(operation);
  waiting_ = outer;
  return result;
}

void QtPrompter::SetWaitingText(const std::string& text) {
  CallOnGuiThread([&] {
    if (waiting_ != nullptr) waiting_->SetText(text);
  });
}

}  // namespace kova
