// The Library window: search, CT list, a history with coloured flags,
// double-click opening a record, the overlay and trend plots, and a folder
// import; with KOVA_SCREENSHOT_DIR set, its picture for the README.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>

#include <algorithm>
#include <functional>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "gui/gui_test_app.h"
#include "gui/library/ct_history_view.h"
#include "gui/library/library_window.h"
#include "library/library_assess.h"
#include "library/library_import.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

// A CT whose core and winding drift over eight tests: knee voltage down,
// resistance up, the ratio one turn off from the fifth. Eight, so the
// overlay's latest six differ from its first six.
void WriteDriftingCt(const std::string& folder) {
  const auto paths = WriteLibraryRecords(folder, {1, 8, 77, " Harbour Road"});
  const double volts[] = {1.0, 0.994, 0.985, 0.94, 0.89, 0.888, 0.886, 0.884};
  const double ohms[] = {1.0, 1.006, 1.012, 1.04, 1.07, 1.071, 1.072, 1.073};
  for (size_t i = 0; i < paths.size(); ++i) {
    auto rec = std::make_unique<TestRecord>();
    ASSERT_TRUE(ReadRecordFile(*rec, paths[i], RecordDefaults()));
    for (int t = 0; t < rec->numtests; ++t) {
      TapTest& tap = rec->taps[t];
      for (double& v : tap.dpVolts) v *= volts[i];
      tap.fKneeVtg10 *= volts[i], tap.fKneeVtg30 *= volts[i], tap.fKneeVtg45 *= volts[i];
      tap.fWindingRes *= ohms[i];
      if (i >= 4) tap.fTestRatio *= 1.0 - tap.fNamePlateDen / tap.nNamePlateNum;  // one turn
    }
    Reencode(*rec);
    ASSERT_TRUE(rec->WriteRecordFile(paths[i]));
  }
}

class LibraryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GuiTestApp();
    dir_ = TempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    location_ = dir_ + "/library.sqlite";
    WriteLibraryRecords(dir_ + "/records", {6, 3, 0, ""});
    WriteDriftingCt(dir_ + "/records");
    StoreOutcome outcome;
    auto store = OpenLibrary(location_, outcome);
    ASSERT_TRUE(store) << outcome.detail;
    ASSERT_EQ(ImportRecordFiles(*store, {dir_ + "/records"}, {}).added, 26);
    window_ = std::make_unique<LibraryWindow>(
        std::move(store), location_, TrendBands(),
        [this](const std::string& path) { opened_.push_back(path); });
  }

  std::string dir_, location_;
  std::vector<std::string> opened_;
  std::unique_ptr<LibraryWindow> window_;
};

TEST_F(LibraryWindowTest, SearchHistoryFlagsAndOpening) {
  EXPECT_EQ(window_->CtTable()->rowCount(), 7);
  window_->Search("harbour");
  ASSERT_EQ(window_->CtTable()->rowCount(), 1);
  EXPECT_EQ(window_->CtTable()->item(0, 0)->text(), "SN00077");
  window_->ChooseCt(0);
  window_->ChooseTap("X1-X5");
  ASSERT_EQ(window_->History().size(), 8u);
  QTableWidget* h = window_->HistoryTable();
  ASSERT_EQ(h->rowCount(), 8);
  // Nothing chosen: the overlay draws the latest six dates.
  EXPECT_EQ(window_->CtHistory()->OverlaidRows(), (std::vector<size_t>{2, 3, 4, 5, 6, 7}));
  // Column 3: excitation against the baseline; 10: Rct against it.
  struct Expect {
    int row, column;
    const char* flag;
  } cells[] = {{1, 3, "OK"},    {3, 3, "WARN"},   {4, 3, "ALARM"},
               {3, 10, "WARN"}, {4, 10, "ALARM"}, {4, 6, "WARN"}};
  for (const Expect& e : cells) {
    const QTableWidgetItem* item = h->item(e.row, e.column);
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->text().endsWith(e.flag))
        << e.row << "," << e.column << " " << item->text().toStdString();
    EXPECT_NE(item->background().color(), QColor()) << e.row << "," << e.column;
  }
  EXPECT_NE(h->item(3, 3)->background().color(), h->item(4, 3)->background().color());

  window_->resize(1200, 760);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  if (const char* shots = std::getenv("KOVA_SCREENSHOT_DIR")) {
    // Nothing selected: the overlay shows the latest six dates. The file
    // column would show this machine's temporary folder.
    h->setColumnHidden(h->columnCount() - 1, true);
    QTest::qWait(200);
    ASSERT_TRUE(window_->grab().save(QDir(shots).filePath("library.png"), "PNG", 9));
    h->setColumnHidden(h->columnCount() - 1, false);
  }
  const QPoint at = h->visualItemRect(h->item(2, 0)).center();
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, at);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], window_->History()[2].test.path);
  // A record filed from a folder this computer cannot reach says where.
  const std::string away = window_->History()[1].test.path;
  ASSERT_TRUE(QFile::rename(QString::fromStdString(away), QString::fromStdString(away + ".away")));
  const QPoint away_at = h->visualItemRect(h->item(1, 0)).center();
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, away_at);
  QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, away_at);
  QFile::rename(QString::fromStdString(away + ".away"), QString::fromStdString(away));
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_TRUE(window_->StatusText().contains(QString::fromStdString(away)))
      << window_->StatusText().toStdString();

  // Both plots paint without a record open.
  EXPECT_FALSE(window_->grab().isNull());
}

// Saved as PDF or printed (here to a PDF printer), the CT's history report
// is the same.
TEST_F(LibraryWindowTest, TrendAndOverlayGoToPdfAndPrinter) {
  window_->Search("SN00077");
  window_->ChooseCt(0);
  window_->ChooseTap("X1-X5");
  const struct {
    const char* name;
    std::function<bool(LibraryWindow&, const QString&)> write;
  } outputs[] = {
      {"saved", [](LibraryWindow& w, const QString& pdf) { return w.SavePdf(pdf); }},
      {"printed",
       [](LibraryWindow& w, const QString& pdf) {
         QPrinter printer(QPrinter::HighResolution);
         printer.setOutputFormat(QPrinter::PdfFormat);
         printer.setOutputFileName(pdf);
         return w.Print(printer);
       }},
  };
  for (const auto& out : outputs) {
    SCOPED_TRACE(out.name);
    const QString pdf = QString::fromStdString(dir_ + "/trend-" + out.name + ".pdf");
    ASSERT_TRUE(out.write(*window_, pdf));
    const std::string text = RunProgram("/usr/bin/pdftotext", {pdf.toStdString(), "-"}).out;
    for (const char* expected :
         {"Knee voltage [V]", "Turns ratio error [%]",
          "Rct at 75\xc2\xb0"
          "C [ohm]",
          "2014-06-22", "Excitation current [A]", "CT history: KOVA SIM SN00077",
          "2010-06-22 (baseline)", "Page 4 of 4", "Printed "})
      EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_FALSE(QFile::exists(pdf + ".part"));
  }
  // The README's picture of the history report's plots page.
  if (const char* shots = std::getenv("KOVA_SCREENSHOT_DIR")) {
    EXPECT_EQ(RunProgram("/usr/bin/pdftoppm",
                         {"-png", "-r", "70", "-f", "2", "-l", "2", "-singlefile",
                          dir_ + "/trend-saved.pdf", std::string(shots) + "/history-report"})
                  .exit_code,
              0);
  }
}

// A link planted where a fixed temporary name would be is never followed:
// the save goes through the one atomic write, and the link's target keeps
// its bytes.
TEST_F(LibraryWindowTest, SavingAsPdfNeverFollowsAPlantedLink) {
  window_->Search("SN00077");
  window_->ChooseCt(0);
  const std::string victim = dir_ + "/victim.txt";
  const std::string pdf = dir_ + "/planted.pdf";
  ASSERT_TRUE(WriteFileAtomically(victim, std::string("keep me")));
  ASSERT_EQ(::symlink(victim.c_str(), (pdf + ".part").c_str()), 0);
  ASSERT_TRUE(window_->SavePdf(QString::fromStdString(pdf)));
  std::string kept, written;
  ASSERT_TRUE(ReadFileText(victim, kept));
  EXPECT_EQ(kept, "keep me");
  ASSERT_TRUE(ReadFileText(pdf, written));
  EXPECT_EQ(written.rfind("%PDF", 0), 0u);
}

TEST_F(LibraryWindowTest, FolderImportAddsNewRecords) {
  WriteLibraryRecords(dir_ + "/more", {2, 2, 40, ""});
  window_->ImportFolder(dir_ + "/more");
  window_->Search("");
  EXPECT_EQ(window_->CtTable()->rowCount(), 9);
}

// A CT with a profile kept for it shows the verdict of its latest test in
// the CT list; the others show none.
TEST_F(LibraryWindowTest, TheCtListShowsTheVerdictOfEveryCtWithAProfile) {
  StoreOutcome outcome;
  auto other = OpenLibrary(location_, outcome);
  ASSERT_TRUE(other) << outcome.detail;
  const struct {
    const char* serial;
    const char* profile;
  } kept[] = {{"SN00001", R"({"class":"5P","isr":1,"alf":20,"burden_va":10})"},
              {"SN00003", R"({"class":"PX","isr":1,"ek":100000,"ie_max":1})"},
              {"SN00004", R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":19})"}};
  for (const auto& k : kept)
    ASSERT_TRUE(other->KeepProfile(CtKey("KOVA SIM", k.serial), k.profile).ok());
  std::vector<CtVerdict> verdicts;
  ASSERT_TRUE(AssessLibrary(*other, {}, nullptr, verdicts).ok());
  ASSERT_EQ(verdicts.size(), 3u);
  window_->RefreshVerdicts();
  window_->Search(QString());
  QTableWidget* cts = window_->CtTable();
  ASSERT_EQ(cts->columnCount(), 12);
  EXPECT_EQ(cts->horizontalHeaderItem(10)->text(), "Verdict");
  int shown = 0;
  for (int row = 0; row < cts->rowCount(); ++row) {
    const std::string serial = cts->item(row, 0)->text().toStdString();
    const QString verdict = window_->VerdictText(row);
    const CtVerdict* v = nullptr;
    for (const CtVerdict& c : verdicts)
      if (c.ct.serialnumber == serial) v = &c;
    if (v == nullptr) {
      EXPECT_TRUE(verdict.isEmpty()) << serial;
      continue;
    }
    ++shown;
    EXPECT_EQ(verdict.toStdString(), VerdictCell(v->verdict)) << serial;
    EXPECT_TRUE(cts->item(row, 10)->toolTip().contains(QString::fromStdString(v->rating)));
  }
  EXPECT_EQ(shown, 3);
  // A knee e.m.f. no core reaches fails; a test the record has not is said.
  for (const CtVerdict& v : verdicts) {
    if (v.ct.serialnumber == "SN00003") {
      EXPECT_EQ(v.verdict, Verdict::kFail) << v.why;
    }
    if (v.ct.serialnumber == "SN00004") {
      EXPECT_NE(v.why.find("the record has no test 19"), std::string::npos) << v.why;
    }
  }
}

// The window opens on the fleet: the summary, the coloured state, sorting by
// a header (twice turns it round), the filters, a CT opened by a
// double-click and left with Alt+Left, and both pages to CSV and PDF.
TEST_F(LibraryWindowTest, TheFleetSortsFiltersOpensACtAndGoesBack) {
  window_->resize(1366, 740);
  window_->show();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  ASSERT_TRUE(window_->ShowingFleet());
  QTableWidget* fleet = window_->CtTable();
  ASSERT_EQ(fleet->rowCount(), 7);
  EXPECT_TRUE(window_->SummaryText().startsWith("7 CTs: 1 alarm"))
      << window_->SummaryText().toStdString();
  auto column = [](FleetColumn c) {
    const auto& all = FleetColumns();
    return static_cast<int>(std::find(all.begin(), all.end(), c) - all.begin());
  };
  auto click_header = [&](FleetColumn c) {
    QHeaderView* header = fleet->horizontalHeader();
    const int x = header->sectionViewportPosition(column(c)) + header->sectionSize(column(c)) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  };
  const struct {
    FleetColumn column;
    int clicks;
    const char* first;
  } sorts[] = {{FleetColumn::kSerial, 1, "SN00077"},  // already ascending: the second way
               {FleetColumn::kSerial, 1, "SN00000"},
               {FleetColumn::kState, 1, "SN00000"},
               {FleetColumn::kState, 1, "SN00077"}};
  for (const auto& sort : sorts) {
    for (int i = 0; i < sort.clicks; ++i) click_header(sort.column);
    EXPECT_EQ(fleet->item(0, column(FleetColumn::kSerial))->text(), sort.first)
        << FleetColumnName(sort.column);
  }
  const QTableWidgetItem* alarm = fleet->item(0, column(FleetColumn::kState));
  EXPECT_EQ(alarm->text(), "ALARM");
  EXPECT_TRUE(alarm->background().color().isValid());
  // Nothing is cut: every column is as wide as its widest text and the
  // table needs no scrolling sideways at 1366 pixels.
  EXPECT_FALSE(fleet->horizontalScrollBar()->isVisible());

  window_->FilterState(FleetState::kAlarm);
  EXPECT_EQ(fleet->rowCount(), 1);
  EXPECT_TRUE(window_->SummaryText().startsWith("1 CT: 1 alarm"));
  window_->FilterState(FleetState::kNone);
  window_->SetToday("2013-01-01");  // the latest tests are of 2012 and 2017
  window_->FilterDue(0);
  EXPECT_EQ(fleet->rowCount(), 0);
  window_->SetToday("2020-01-01");
  EXPECT_EQ(fleet->rowCount(), 6);
  window_->FilterDue(-1);

  // The fleet and its report as files.
  const QString fleet_csv = QString::fromStdString(dir_ + "/fleet.csv");
  ASSERT_TRUE(window_->SaveCsv(fleet_csv));
  std::string csv;
  ASSERT_TRUE(ReadFileText(fleet_csv.toStdString(), csv));
  EXPECT_EQ(csv.rfind("serial,manufacturer,station,circuit,", 0), 0u) << csv;
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 8);
  const QString fleet_pdf = QString::fromStdString(dir_ + "/fleet.pdf");
  ASSERT_TRUE(window_->SavePdf(fleet_pdf));
  const std::string fleet_text =
      RunProgram("/usr/bin/pdftotext", {fleet_pdf.toStdString(), "-"}).out;
  for (const char* expected : {"States per station", "SN00077", "7 CTs", "Page 1 of 1"})
    EXPECT_NE(fleet_text.find(expected), std::string::npos) << expected << "\n" << fleet_text;
  EXPECT_EQ(window_->ProposedName(".pdf"), "fleet.pdf");
  if (const char* shots = std::getenv("KOVA_SCREENSHOT_DIR")) {
    ASSERT_TRUE(window_->grab().save(QDir(shots).filePath("library-fleet.png"), "PNG", 9));
    EXPECT_EQ(
        RunProgram("/usr/bin/pdftoppm", {"-png", "-r", "70", "-singlefile", fleet_pdf.toStdString(),
                                         std::string(shots) + "/fleet-report"})
            .exit_code,
        0);
  }

  // Typed into the search field, the fleet narrows and the keys stay
  // there; Enter opens the CT found, Alt+Left comes back.
  window_->SearchField()->setFocus();
  QTest::keyClicks(window_->SearchField(), "sn0007");
  EXPECT_EQ(fleet->rowCount(), 1);
  EXPECT_TRUE(window_->SearchField()->hasFocus());
  EXPECT_EQ(window_->SearchField()->text(), "sn0007");
  QTest::keyClick(window_->SearchField(), Qt::Key_Return);
  ASSERT_FALSE(window_->ShowingFleet());
  EXPECT_EQ(window_->CtHistory()->Ct().serialnumber, "SN00077");
  QTest::keyClick(window_->HistoryTable(), Qt::Key_Left, Qt::AltModifier);
  ASSERT_TRUE(window_->ShowingFleet());
  window_->Search("");

  // A double-click opens the CT's history; Alt+Left goes back to the fleet.
  const QPoint at = fleet->visualItemRect(fleet->item(0, 0)).center();
  QTest::mouseClick(fleet->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(fleet->viewport(), Qt::LeftButton, {}, at);
  ASSERT_FALSE(window_->ShowingFleet());
  EXPECT_EQ(window_->History().size(), 8u);
  EXPECT_EQ(window_->ProposedName(".pdf"), "SN00077 history.pdf");
  const QString history_csv = QString::fromStdString(dir_ + "/history.csv");
  ASSERT_TRUE(window_->SaveCsv(history_csv));
  ASSERT_TRUE(ReadFileText(history_csv.toStdString(), csv));
  // A header, and every test of each of the CT's taps.
  EXPECT_GT(std::count(csv.begin(), csv.end(), '\n'), 8) << csv;
  QTest::keyClick(window_->HistoryTable(), Qt::Key_Left, Qt::AltModifier);
  EXPECT_TRUE(window_->ShowingFleet());
}

}  // namespace
}  // namespace kova
