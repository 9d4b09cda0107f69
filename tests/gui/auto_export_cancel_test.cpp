// The desktop's automatic export behind "Performing Auto Export, please
// wait.": the wait window is modal over its parent, the export runs on a
// worker so the window keeps answering, and its Cancel stops a report
// generator that hangs (a script standing in for it), with nothing written
// after the cancel and no warning about it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/auto_export.h"
#include "base/file_io.h"
#include "base/path.h"
#include "export/export_path.h"
#include "gui/device/wait_dialog.h"
#include "gui/qt_prompter.h"
#include "gui_test_app.h"
#include "platform/auto_exporter.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#endif

namespace kova {
namespace {

#ifndef _WIN32
bool ProcessAlive(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

TEST(AutoExportWait, CancelStopsAHangingGeneratorAndTheWindowKeepsAnswering) {
  GuiTestApp();
  WaitDialog::SetPicturePath(QStringLiteral(KOVA_SOURCE_DIR "/data/progress.gif"));
  const std::string folder = TempFolder("autoexport-cancel");
  const std::string pid_file = PathJoin(folder, "generator.pid");
  // The generator named by the settings: it says who it is, then hangs.
  const std::string generator = PathJoin(folder, kReportGeneratorName);
  ASSERT_TRUE(
      WriteFileAtomically(generator, "#!/bin/sh\necho $$ > '" + pid_file + "'\nexec sleep 600\n"));
  ASSERT_EQ(::chmod(generator.c_str(), 0755), 0);

  AppSettings settings;
  settings.InstallDir = WithTrailingSeparator(folder);
  settings.AutoExportPdf = 1;
  settings.AutoExportExcel = 1;
  settings.ReportTimeLimit = 600;  // only the Cancel can end it in time
  auto rec = MakeSampleRecord(1, 2);
  rec->fullpath = PathJoin(folder, "r.test");

  QWidget parent;
  parent.show();
  QtPrompter prompter(&parent);
  AutoExporter exporter(settings, prompter);

  // The scripted user, on the window's thread while the export runs.
  long generator_pid = 0;
  bool was_modal = false, over_parent = false, cancel_seen = false, warned = false;
  bool gave_up = false;
  int ticks_while_waiting = 0;
  QElapsedTimer since;
  since.start();
  QTimer user;
  user.setInterval(20);
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (auto* box = ShowingWindow<QMessageBox>()) {
      warned = true;
      box->done(QMessageBox::Ok);
      return;
    }
    auto* wait = ShowingWindow<WaitDialog>();
    if (wait == nullptr) return;
    ++ticks_while_waiting;
    was_modal = wait->isModal();
    over_parent = wait->parentWidget() == &parent;
    auto* cancel = wait->findChild<QPushButton*>(QStringLiteral("cancel"));
    cancel_seen = cancel != nullptr;
    if (cancel != nullptr && cancel->isEnabled()) {
      EXPECT_EQ(wait->Text().toStdString(), kAutoExportWaitText);
    }
    std::string text;
    if (generator_pid == 0 && ReadFileText(pid_file, text, 64) && !text.empty()) {
      generator_pid = std::stol(text);
    }
    // The generator runs: press Cancel once the window has shown a while
    // (its picture first, for the documentation, when asked for).
    if (generator_pid != 0 && cancel != nullptr && cancel->isEnabled() && ticks_while_waiting > 5) {
      if (const char* shots = std::getenv("KOVA_SCREENSHOT_DIR")) {
        EXPECT_TRUE(wait->grab().save(QString::fromUtf8(shots) + "/auto-export-wait.png"));
      }
      cancel->click();
      EXPECT_FALSE(cancel->isEnabled()) << "pressed once";
    }
    // Cancel did not end it: stop the stand-in so the test fails, not hangs.
    if (since.elapsed() > 60000 && generator_pid != 0 && !gave_up) {
      gave_up = true;
      ::kill(static_cast<pid_t>(generator_pid), SIGKILL);
    }
  });
  user.start();

  TestRecord& r = *rec;
  const bool ok = exporter.Export(r, true);
  user.stop();

  EXPECT_FALSE(ok) << "a cancelled export is not a success";
  EXPECT_FALSE(gave_up) << "Cancel did not stop the generator";
  EXPECT_TRUE(was_modal);
  EXPECT_TRUE(over_parent);
  EXPECT_TRUE(cancel_seen);
  EXPECT_GT(ticks_while_waiting, 5) << "the window's thread ran while the export waited";
  EXPECT_FALSE(warned) << "the user's own Cancel needs no warning";
  ASSERT_NE(generator_pid, 0) << "the generator was started";
  EXPECT_FALSE(ProcessAlive(generator_pid)) << "the generator was stopped";
  EXPECT_FALSE(FileExists(ExportPath(rec->fullpath, ".pdf", kPdfFolder)));
  EXPECT_FALSE(FileExists(ExportPath(rec->fullpath, ".xlsx", kExcelFolder)))
      << "the steps after the cancel do not run";
  EXPECT_EQ(ShowingWindow<WaitDialog>(), nullptr);
}
#endif

}  // namespace
}  // namespace kova
