// The plan and record-edit commands of the real main window, and the plan
// dialogs against the simulated instrument: an editor-made plan uploaded,
// one tap measured again through the remote run, an overridden point in the
// report's plot.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "analysis/read_record.h"
#include "analysis/taps.h"
#include "base/file_io.h"
#include "base/path.h"
#include "device/command_set.h"
#include "device/command_set_rig.h"
#include "gui/device/transfer_dialog.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/dialogs/plan_editor_dialog.h"
#include "gui/dialogs/small_dialogs.h"
#include "gui/main_window.h"
#include "gui/plan_run.h"
#include "gui/report_view.h"
#include "gui/test_browser_dialog.h"
#include "gui_dialogs/dialog_app.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_page.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

class NoChooser : public RecordChooser {
 public:
  bool Choose(const std::string&, bool, std::vector<std::string>&) override { return false; }
};

struct PlanCommandsTest : ::testing::Test {
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  ScriptedPrompter prompter;
  NoChooser chooser;
  std::string folder = TempFolder(std::string("plancmd-") +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::vector<std::string> dialogs;  // titles of the dialogs run, in order
  std::function<void(QDialog&)> fill;
  std::vector<std::string> chosen_files;
  std::unique_ptr<MainWindow> window;

  void SetUp() override {
    App();
    LoadAppSettings(settings, store, WithTrailingSeparator(folder));
    info.Load(store, folder);
    info.planpath = PathJoin(folder, "plans");
    MakeFolders(info.planpath);
    GuiContext ctx;
    ctx.store = &store;
    ctx.settings = &settings;
    ctx.info = &info;
    ctx.prompter = &prompter;
    ctx.chooser = &chooser;
    ctx.run_dialog = [this](QDialog& d) {
      dialogs.push_back(d.windowTitle().toStdString());
      if (fill) fill(d);
      return d.result();
    };
    ctx.choose_open_files = [this](const std::string&, const std::string&, const std::string&,
                                   std::vector<std::string>& paths) {
      paths = chosen_files;
      return !paths.empty();
    };
    window_context = ctx;
    window = std::make_unique<MainWindow>(ctx);
  }
  GuiContext window_context;  // what the window was made with
  void Trigger(CommandId id) {
    QAction* action = window->Action(id);
    ASSERT_NE(action, nullptr);
    action->setEnabled(true);  // the handlers check the document themselves
    action->trigger();
  }
  std::string WriteRecord(const std::string& name, int model, int tests) {
    auto rec = MakeSampleRecord(model, tests);
    const std::string path = PathJoin(folder, name);
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
};

TEST_F(PlanCommandsTest, NewAndModifyOpenTheEditorAndABadPlanIsRefused) {
  Trigger(CommandId::kCreatePlan);
  EXPECT_EQ(dialogs, std::vector<std::string>{"Test Plan"});

  const std::string broken = PathJoin(folder, "broken.plan");
  ASSERT_TRUE(WriteFileAtomically(broken, "nope", 4));
  prompter.QueueText(broken);
  Trigger(CommandId::kModifyPlan);
  EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Unable to load test plan"});
  EXPECT_EQ(dialogs.size(), 1u);

  kvTestPlan plan;
  plan.company = "MODIFY ME";
  const std::string good = PathJoin(info.planpath, "good.plan");
  ASSERT_TRUE(plan.Save(good));
  prompter.QueueText(good);
  std::string shown;
  fill = [&](QDialog& d) {
    shown = dynamic_cast<PlanEditorDialog&>(d).header(0)->text().toStdString();
  };
  Trigger(CommandId::kModifyPlan);
  EXPECT_EQ(shown, "MODIFY ME");
}

TEST_F(PlanCommandsTest, EditActsOnASingleRecordOnlyAndRebuildsThePages) {
  Trigger(CommandId::kEditTest);  // no document
  const std::string a = WriteRecord("a.test", 1, 2);
  const std::string b = WriteRecord("b.test", 1, 3);
  ASSERT_TRUE(window->OpenOverlay({a, b}));
  Trigger(CommandId::kEditTest);
  EXPECT_TRUE(dialogs.empty());

  ASSERT_TRUE(window->OpenDocument(a));
  fill = [](QDialog& d) {
    auto& edit = dynamic_cast<EditTestDialog&>(d);
    edit.header(1)->setText("EDITED STATION");
    emit edit.header(1)->textEdited("EDITED STATION");
    edit.accept();
  };
  Trigger(CommandId::kEditTest);
  EXPECT_EQ(dialogs, std::vector<std::string>{"Edit Test"});
  EXPECT_EQ(window->ActiveView()->document().record(0).station, "EDITED STATION");
}

TEST_F(PlanCommandsTest, ImportFromAThumbDriveFolderAndAnUnknownFolder) {
  kvTestPlan plan;
  plan.devicetype = kPlanKovaR5;
  plan.company = "FROM DRIVE";
  plan.EncodeImage(plan.image);
  const std::string drive_folder = PathJoin(folder, "HELMARK/KOVA-R5A");
  ASSERT_TRUE(MakeFolders(drive_folder));
  const std::string image = PathJoin(drive_folder, "PLAN_000");
  ASSERT_TRUE(WriteFileAtomically(image, plan.image, plan.ImageSize()));
  chosen_files = {image};
  Trigger(CommandId::kImportPlanFromDrive);
  kvTestPlan imported;
  ASSERT_TRUE(imported.Load(PathJoin(info.planpath, "PLAN_KOVA-R5A_000.plan")));
  EXPECT_EQ(imported.company, "FROM DRIVE");
  EXPECT_TRUE(prompter.texts().empty());

  const std::string elsewhere = PathJoin(folder, "PLAN_001");
  ASSERT_TRUE(WriteFileAtomically(elsewhere, plan.image, plan.ImageSize()));
  chosen_files = {elsewhere};
  Trigger(CommandId::kImportPlanFromDrive);
  EXPECT_EQ(prompter.texts(), std::vector<std::string>{kUnrecognizedFolderMessage});
}

// What the excitation plot of a test draws.
TEST_F(PlanCommandsTest, AnEditIsKeptUntilTheUserSaysAndCancelChangesNothing) {
  const std::string path = WriteRecord("edit.test", 1, 2);
  ASSERT_TRUE(window->OpenDocument(path));
  RecordDocument& doc = window->ActiveView()->document();
  QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(window->ActiveView()->parentWidget());
  ASSERT_NE(sub, nullptr);
  const std::string station = doc.record(0).station, note = doc.record(0).testnote;

  // The note changed through its own dialog, then Edit Test cancelled.
  fill = [](QDialog& d) {
    if (auto* n = dynamic_cast<TestNoteDialog*>(&d)) {
      n->editor()->setPlainText("LOST NOTE");
      n->accept();
      return;
    }
    auto& edit = dynamic_cast<EditTestDialog&>(d);
    edit.header(1)->setText("LOST STATION");
    emit edit.header(1)->textEdited("LOST STATION");
    edit.notepadButton()->click();
    edit.reject();
  };
  Trigger(CommandId::kEditTest);
  EXPECT_EQ(doc.record(0).testnote, note);
  EXPECT_EQ(doc.record(0).station, station);
  EXPECT_FALSE(doc.modified());
  EXPECT_FALSE(sub->isWindowModified());

  fill = [](QDialog& d) {
    auto& edit = dynamic_cast<EditTestDialog&>(d);
    edit.header(1)->setText("KEPT STATION");
    emit edit.header(1)->textEdited("KEPT STATION");
    edit.accept();
  };
  Trigger(CommandId::kEditTest);
  EXPECT_TRUE(doc.modified());
  EXPECT_TRUE(sub->isWindowModified()) << "an asterisk in the tab";
  EXPECT_TRUE(window->isWindowModified()) << "and in the window's title";

  // Closing the tab, Unload and Exit each ask; Cancel keeps everything.
  prompter.QueueAnswer(Answer::Cancel);
  sub->close();
  prompter.QueueAnswer(Answer::Cancel);
  Trigger(CommandId::kCloseTest);
  prompter.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(window->close());
  ASSERT_EQ(window->Views().size(), 1);
  EXPECT_TRUE(doc.loaded());
  EXPECT_EQ(doc.record(0).station, "KEPT STATION");
  ASSERT_EQ(prompter.messages().size(), 3u);
  for (const auto& m : prompter.messages()) {
    EXPECT_EQ(m.text, "Save changes to edit.test?");
    EXPECT_EQ(m.buttons, Buttons::YesNoCancel);
  }

  // Yes saves the edit into the file before the record goes.
  prompter.QueueAnswer(Answer::Yes);
  Trigger(CommandId::kCloseTest);
  EXPECT_FALSE(doc.loaded());
  auto saved = std::make_unique<TestRecord>();
  ASSERT_TRUE(ReadRecordFile(*saved, path, RecordDefaults()));
  EXPECT_EQ(saved->station, "KEPT STATION");
}

TEST_F(PlanCommandsTest, EditDoesNotProbeAgainRightAfterAFailedProbe) {
  int probes = 0;
  window.reset();
  GuiContext ctx = window_context;
  ctx.connected_model = [&] {
    ++probes;
    return -1;  // no instrument answers
  };
  window = std::make_unique<MainWindow>(ctx);
  ASSERT_TRUE(window->OpenDocument(WriteRecord("probe.test", 1, 2)));
  fill = [](QDialog& d) { d.reject(); };
  Trigger(CommandId::kEditTest);
  Trigger(CommandId::kEditTest);
  EXPECT_EQ(probes, 1) << "no instrument a moment ago: not asked again";
  EXPECT_EQ(dialogs.size(), 2u);
}

TEST_F(PlanCommandsTest, OverrideIsOfferedForASingleRecordOnly) {
  const std::string a = WriteRecord("a.test", 1, 2);
  const std::string b = WriteRecord("b.test", 1, 2);
  ASSERT_TRUE(window->OpenOverlay({a, b}));
  EXPECT_FALSE(window->Action(CommandId::kOverrideData)->isEnabled());
  ASSERT_TRUE(window->OpenDocument(a));
  EXPECT_TRUE(window->Action(CommandId::kOverrideData)->isEnabled());
}

std::vector<DrawOp> PlotOps(const TestRecord& rec, int test) {
  RecordingSurface surface;
  CDisplayTest display;
  display.Setup(&surface, rec, false, nullptr);
  display.DrawPlot({0, 0, 800, 800}, test, false);
  return surface.ops();
}

bool SameOps(const std::vector<DrawOp>& a, const std::vector<DrawOp>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].text != b[i].text || a[i].rect.left != b[i].rect.left ||
        a[i].rect.top != b[i].rect.top || a[i].rect.right != b[i].rect.right ||
        a[i].rect.bottom != b[i].rect.bottom) {
      return false;
    }
  }
  return true;
}

TEST_F(PlanCommandsTest, OverrideOnATestPageChangesThePlotAndIsRefusedElsewhere) {
  const std::string path = WriteRecord("override.test", 1, 2);
  ASSERT_TRUE(window->OpenDocument(path));
  RecordDocument& doc = window->ActiveView()->document();
  const std::vector<ReportPage> pages = BuildPageList(doc.record(0), 0);
  int target = -1, summary = -1;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].kind == kTestPage && pages[i].test == 1 && target < 0)
      target = static_cast<int>(i);
    if (pages[i].kind == kSummaryPage && summary < 0) summary = static_cast<int>(i);
  }
  ASSERT_GE(target, 0);
  const std::vector<DrawOp> before = PlotOps(doc.record(0), 1);

  // A point inside the measured curve: its slot and its neighbours hold
  // points (the table keeps point n in slot 32 - n).
  int slot = -1;
  for (int i = 1; i + 1 < 32 && slot < 0; ++i) {
    const TapTest& tap = doc.record(0).taps[1];
    if (tap.dpAmps[i - 1] != 0 && tap.dpAmps[i] != 0 && tap.dpAmps[i + 1] != 0) slot = i;
  }
  ASSERT_GE(slot, 0);
  fill = [slot](QDialog& d) {
    auto& o = dynamic_cast<OverrideDialog&>(d);
    o.field(0)->setText(QString::number(32 - slot));
    o.field(1)->setText("0.9");
    o.field(2)->setText("650");
    o.accept();
  };
  if (summary >= 0) {
    doc.FirstPage();
    for (int i = 0; i < summary; ++i) doc.PageDown();
    Trigger(CommandId::kOverrideData);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(prompter.messages().size(), 1u);
  }
  doc.FirstPage();
  for (int i = 0; i < target; ++i) doc.PageDown();
  ASSERT_EQ(doc.currentpage(), target);
  Trigger(CommandId::kOverrideData);
  EXPECT_EQ(dialogs, std::vector<std::string>{"Override Test Data"});
  EXPECT_EQ(doc.record(0).taps[1].dpVolts[slot], 650);
  EXPECT_FALSE(SameOps(before, PlotOps(doc.record(0), 1)));
  EXPECT_TRUE(SameOps(PlotOps(*MakeSampleRecord(1, 2), 0), PlotOps(doc.record(0), 0)));
}

TEST(PlanWithInstrument, EditorPlanUploadsAsKovaPlanHexShowsIt) {
  App();
  const std::string folder = TempFolder("plan-upload");
  const std::string path = PathJoin(folder, "upload.plan");
  rig::SimLink link(rig::Options(SimModel::k7100B));
  kvTestPlan plan;
  PlanEditorDialog editor(plan, link.prompter, folder);
  editor.header(0)->setText("UPLOAD CO");
  editor.row(0).box[1]->click();
  editor.row(4).box[0]->click();
  editor.runBurden()->click();
  link.prompter.QueueText(path);
  editor.saveButton()->click();
  ASSERT_EQ(editor.result(), QDialog::Accepted);

  kvTestPlan saved;
  ASSERT_TRUE(saved.Load(path));
  ASSERT_TRUE(TransferPlanToSlot(link.device, saved, 7));
  const ProgramResult hex = RunProgram(BuiltProgram("kova"), {"plan", "hex", path},
                                       {"KOVA_SETTINGS=" + folder + "/settings.ini"}, "");
  ASSERT_EQ(hex.exit_code, 0) << hex.err;
  std::string text = hex.out;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  ASSERT_EQ(text.size(), 2 * saved.ImageSize());
  EXPECT_NE(link.instrument.Received().find(text), std::string::npos);
  const std::vector<uint8_t>& slot = link.instrument.PlanSlot(7);
  ASSERT_EQ(slot.size(), saved.ImageSize());
  EXPECT_TRUE(std::equal(slot.begin(), slot.end(), saved.image));
}

TEST(PlanWithInstrument, RepeatTestsMeasuresOneTapAgainAndMergesIt) {
  App();
  rig::SimLink link(rig::Options(SimModel::k7100));
  // The run goes through the transfer window; the user presses Continue
  // once the cables are connected.
  QTimer user;
  int transfer_windows = 0;
  QObject::connect(&user, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* transfer = qobject_cast<TransferDialog*>(w);
      if (transfer == nullptr || !transfer->isVisible()) continue;
      transfer_windows = std::max(transfer_windows, 1);
      if (transfer->ContinueButton()->isVisible()) transfer->ContinueButton()->click();
    }
  });
  user.start(20);
  auto rec = MakeSampleRecord(1, 3);
  const auto original = std::make_unique<TestRecord>(*rec);
  auto measured = std::make_unique<TestRecord>();
  PlanRunner runner = [&](kvTestPlan& plan, TestRecord& result) {
    const bool ok = RunPlanOnInstrument(link.device, plan, result);
    if (ok) *measured = result;
    return ok;
  };
  EditTestDialog dialog(*rec, kPlanKova7100, link.prompter, TempFolder("repeat-plans"), runner);
  dialog.row(1).repeat->click();
  ASSERT_TRUE(dialog.repeatButton()->isEnabled());
  dialog.repeatButton()->click();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(transfer_windows, 1);

  ASSERT_EQ(link.instrument.RunImages().size(), 1u);
  ASSERT_EQ(measured->numtests, 1);
  EXPECT_EQ(measured->taps[0].nTapConnection, original->taps[1].nTapConnection);
  for (int p = 0; p < 32; ++p) {
    EXPECT_EQ(rec->taps[1].dpVolts[p], measured->taps[0].dpVolts[p]) << p;
    EXPECT_EQ(rec->taps[0].dpVolts[p], original->taps[0].dpVolts[p]) << p;
    EXPECT_EQ(rec->taps[2].dpVolts[p], original->taps[2].dpVolts[p]) << p;
  }
  EXPECT_EQ(rec->numtests, 3);
  EXPECT_EQ(rec->company, original->company);
}

}  // namespace
}  // namespace kova
