#include "gui/library/filing_notice.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <atomic>

#include "base/codepage.h"
#include "gui/device/gui_thread.h"

namespace kova {

std::function<void(const std::string&)> FilingFailureNotice(
    std::shared_ptr<QPointer<QWidget>> window) {
  auto told = std::make_shared<std::atomic<bool>>(false);
  return [window, told](const std::string& text) {
    if (told->exchange(true)) return;
    const QString words = QString::fromStdString(Cp1252ToUtf8(text));
    PostToGuiThread(QCoreApplication::instance(), [window, words] {
      // Window-modal and not waited for: a save or a download goes on.
      auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Library"),
                                  QStringLiteral("The record was saved, but not filed in the "
                                                 "record library:\n\n") +
                                      words,
                                  QMessageBox::Ok, window ? window->data() : nullptr);
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
    });
  };
}

}  // namespace kova
