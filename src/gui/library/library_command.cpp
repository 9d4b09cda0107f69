#include "gui/library/library_command.h"

#include <QMessageBox>
#include <QPointer>
#include <memory>

#include "app/app_settings.h"
#include "app/library_settings.h"
#include "app/settings_table.h"
#include "base/codepage.h"
#include "gui/library/library_window.h"
#include "gui/window_fit.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"

namespace kova {

QWidget* OpenLibraryWindow(QWidget* owner, SettingsStore& settings,
                           std::function<void(const std::string&)> open_record,
                           const std::string& location) {
  const LibrarySettings ls = LoadLibrarySettings(settings);
  // The window files records too: it makes the library when missing.
  const std::string where = ConfiguredLibraryLocation(settings, location);
  StoreOutcome outcome;
  auto store = OpenLibrary(where, outcome, LibraryUse::kFile, ls.waits);
  if (!store) {
    QMessageBox::warning(owner, QStringLiteral("Library"),
                         QString::fromStdString(Cp1252ToUtf8(StoreOutcomeText(outcome))));
    return nullptr;
  }
  auto* window =
      new LibraryWindow(std::move(store), where, ls.bands, std::move(open_record), owner);
  window->SetDateStyle(ls.dates);
  window->SetRetestYears(ls.retest_years);
  window->setAttribute(Qt::WA_DeleteOnClose);
  KeepWindowPlace(window, settings, "Library", window->size());
  window->show();
  return window;
}

std::function<void()> LibraryCommand(QWidget* owner, SettingsStore& settings,
                                     std::function<void(const std::string&)> open_record) {
  auto window = std::make_shared<QPointer<QWidget>>();
  return [=, &settings] {
    if (*window) {
      (*window)->raise();
      (*window)->activateWindow();
      return;
    }
    *window = OpenLibraryWindow(owner, settings, open_record);
  };
}

}  // namespace kova
