// The instrument commands of the desktop program against kova-sim on a
// pseudo-terminal: the real dialogs, answered by a scripted user who acts
// on the window's thread while the operations run on their worker.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/device_stack.h"
#include "base/file_io.h"
#include "base/path.h"
#include "cli/device_transfer_sim_process.h"
#include "device/command_set.h"
#include "device/hid_backend.h"
#include "device/rud_device.h"
#include "gui/device/batch_summary_dialog.h"
#include "gui/device/device_commands.h"
#include "gui/device/directory_dialogs.h"
#include "gui/device/gui_thread.h"
#include "gui/device/transfer_dialog.h"
#include "gui/device/wait_dialog.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/main_window.h"
#include "gui/plan_run.h"
#include "gui/report_view.h"
#include "gui/test_browser_dialog.h"
#include "gui_test_app.h"
#include "plans/test_plan.h"
#include "platform/qt_serial_backend.h"
#include "records/test_record.h"
#include "support/files.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

QApplication& App() { return GuiTestApp(); }

template <class T>
T* Showing() {
  return ShowingWindow<T>();
}

// The serial port, with a record of every byte the program sent.
class WireTap : public SerialBackend {
 public:
  explicit WireTap(SerialBackend& port) : port_(port) {}
  SerialOpenStatus Open(const std::string& name, int baud, int& error) override {
    return port_.Open(name, baud, error);
  }
  void Close() override { port_.Close(); }
  bool IsOpen() const override { return port_.IsOpen(); }
  long BytesWaiting() override { return port_.BytesWaiting(); }
  bool Read(uint8_t* dest, size_t count, size_t& got) override {
    return port_.Read(dest, count, got);
  }
  bool Write(const uint8_t* data, size_t count, int timeout_ms) override {
    sent.append(reinterpret_cast<const char*>(data), count);
    return port_.Write(data, count, timeout_ms);
  }
  bool PurgeInput() override { return port_.PurgeInput(); }
  bool WaitReadable(int timeout_ms) override { return port_.WaitReadable(timeout_ms); }
  bool ListPorts(std::vector<std::string>& names) override { return port_.ListPorts(names); }
  SerialOpenFailure LastOpenFailure() const override { return port_.LastOpenFailure(); }
  std::string sent;

 private:
  SerialBackend& port_;
};

// The scripted user: answers the core's questions from the script on the
// window's thread (as the desktop's prompter does), whichever thread asks.
class UserPrompter : public ScriptedPrompter {
 public:
  // Sees each message on the window's thread before the script answers it.
  std::function<void(const std::string& caption, const std::string& text)> on_message;

  Answer Message(const std::string& caption, const std::string& text, Buttons buttons,
                 Icon icon) override {
    Answer a = Answer::Cancel;
    CallOnGuiThread([&] {
      if (on_message) on_message(caption, text);
      a = ScriptedPrompter::Message(caption, text, buttons, icon);
    });
    return a;
  }
  bool ChooseFolder(const std::string& title, const std::string& start,
                    std::string& folder) override {
    bool ok = false;
    CallOnGuiThread([&] { ok = ScriptedPrompter::ChooseFolder(title, start, folder); });
    return ok;
  }
  bool ChooseOpenFile(const std::string& title, const std::string& folder,
                      const std::string& filter, std::string& path) override {
    bool ok = false;
    CallOnGuiThread([&] { ok = ScriptedPrompter::ChooseOpenFile(title, folder, filter, path); });
    return ok;
  }
  bool PromptText(const std::string& caption, const std::string& label,
                  std::string& text) override {
    bool ok = false;
    CallOnGuiThread([&] { ok = ScriptedPrompter::PromptText(caption, label, text); });
    return ok;
  }
  void SetWaitingText(const std::string& text) override {
    CallOnGuiThread([&] {
      ScriptedPrompter::SetWaitingText(text);
      if (waiting_ != nullptr) waiting_->SetText(text);
    });
  }
  // The real wait dialog, so that its picture and texts are exercised.
  bool RunWaiting(const std::string& text, const std::function<bool()>& operation) override {
    SetWaitingText(text);
    if (!OnGuiThread()) return operation();
    WaitDialog dialog(text, nullptr);
    waiting_ = &dialog;
    const bool ok = dialog.Run(operation);
    waiting_ = nullptr;
    return ok;
  }

 private:
  WaitDialog* waiting_ = nullptr;
};

class DeviceGui : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    folder_ = TempFolder(std::string("devgui-") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    QDir::setCurrent(QString::fromStdString(folder_));
    WaitDialog::SetPicturePath(QStringLiteral(KOVA_SOURCE_DIR "/data/progress.gif"));
    LoadAppSettings(settings_, store_, WithTrailingSeparator(folder_));
    info_.Load(store_, folder_);
    info_.planpath = folder_;
    info_.usbactive = 0;
    info_.tracedir = folder_;
    settings_.DeviceAutoDetect = 0;
    stack_ =
        std::make_unique<DeviceStack>(info_, settings_, store_, prompter_, wire_, hid_, 0x1234);
    device_ = &stack_->device();
    GuiContext ctx;
    ctx.store = &store_;
    ctx.settings = &settings_;
    ctx.info = &info_;
    ctx.prompter = &prompter_;
    window_ = std::make_unique<MainWindow>(ctx);
    device_->SetTitleWindow(window_.get());
    commands_ = DeviceCommands::Install(*window_, *device_, prompter_, info_);
    window_->show();
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
    timer_.start();
  }
  void TearDown() override {
    timer_.stop();
    window_.reset();
    stack_.reset();
    sim_.reset();
  }

  void StartSim(std::vector<std::string> args, int baud = 115200) {
    device_->serial().Close();
    sim_.reset();
    if (baud != 115200) {
      args.push_back("--baud");
      args.push_back(std::to_string(baud));
    }
    sim_ = std::make_unique<SimProcess>(BuiltProgram("kova-sim"), folder_ + "/tty", args);
    ASSERT_TRUE(sim_->ready());
    info_.comportname = folder_ + "/tty";
    info_.baud = baud;
    info_.comspeed = baud == 19200 ? 0 : 1;
    device_->ApplyCommSettings();
  }

  // The next step of the script runs once it returns true; watchers run on
  // every step for as long as the test lasts.
  void Then(std::function<bool()> step) { steps_.push_back(std::move(step)); }
  void Watch(std::function<void()> watcher) { watchers_.push_back(std::move(watcher)); }
  void Step() {
    for (auto& w : watchers_) w();
    if (steps_.empty()) return;
    std::function<bool()> step = steps_.front();
    steps_.pop_front();
    if (!step()) steps_.push_front(step);
  }

  // In a directory dialog: select `rows` and press its button.
  template <class Dialog>
  void SelectAndPress(std::vector<int> rows, std::function<void(Dialog*)> press) {
    Then([rows, press] {
      Dialog* d = Showing<Dialog>();
      if (d == nullptr) return false;
      d->List()->clearSelection();
      for (int r : rows) d->List()->topLevelItem(r)->setSelected(true);
      press(d);
      return true;
    });
  }

  std::string OpenedPath() {
    ReportView* view = window_->ActiveView();
    return view != nullptr && view->document().loaded() ? view->document().path() : "";
  }
  size_t Count(const std::string& text) {
    size_t n = 0;
    for (const std::string& t : prompter_.texts()) n += t == text;
    return n;
  }

  std::string folder_;
  MemorySettingsStore store_;
  AppSettings settings_;
  CAppInfo info_;
  UserPrompter prompter_;
  QtSerialBackend serial_backend_;
  WireTap wire_{serial_backend_};
  NoHidBackend hid_;
  std::unique_ptr<DeviceStack> stack_;
  RudDevice* device_ = nullptr;
  std::unique_ptr<MainWindow> window_;
  DeviceCommands* commands_ = nullptr;
  std::unique_ptr<SimProcess> sim_;
  QTimer timer_;
  std::deque<std::function<bool()>> steps_;
  std::vector<std::function<void()>> watchers_;
};

struct ModelCase {
  const char* sim;
  const char* title;  // the model in the window title
  int deviceversion;
};

class DeviceGuiModels : public DeviceGui, public ::testing::WithParamInterface<ModelCase> {};

// Ctrl+D: no selection first, then three tests into a folder that holds two
// of them already (one Yes answers for all), all three opened from the
// summary; then the
// current test again with "Resend-Test".
std::vector<std::string>& QtWarnings() {
  static std::vector<std::string> seen;
  return seen;
}

TEST_P(DeviceGuiModels, DownloadThreeTestsAndResend) {
  const ModelCase m = GetParam();
  // The port is worked on a thread Qt's serial port accepts: it says
  // nothing about socket notifiers.
  QtWarnings().clear();
  const QtMessageHandler before =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        QtWarnings().push_back(text.toStdString());
      });
  StartSim({"--model", m.sim, "--tests", "3", "--unpaced"});
  const std::string out = folder_ + "/records";
  ASSERT_TRUE(MakeFolders(out));
  std::vector<std::string> names;
  bool type_column = true;
  Then([&] {
    auto* d = Showing<DeviceDirectoryDialog>();
    if (d == nullptr) return false;
    EXPECT_EQ(d->List()->topLevelItemCount(), 3);
    EXPECT_EQ(d->Prefix()->text(), "Test");
    type_column = d->List()->headerItem()->text(1) == "Type";
    for (int i = 0; i < 3; ++i) names.push_back(DownloadFileName("T", device_->entry(i)));
    WriteFileAtomically(PathJoin(out, names[0]), std::string("mine"));
    WriteFileAtomically(PathJoin(out, names[1]), std::string("mine"));
    d->Prefix()->setText("T");
    d->DownloadButton()->click();  // nothing selected
    return true;
  });
  SelectAndPress<DeviceDirectoryDialog>({0, 1, 2}, [](auto* d) { d->DownloadButton()->click(); });
  // The summary names what was saved where; "Open Selected" wants a
  // choice, "Open All" opens the three.
  std::vector<std::string> summary_rows;
  QString heading_seen, nothing_chosen;
  Then([&] {
    auto* s = Showing<BatchSummaryDialog>();
    if (s == nullptr) return false;
    for (int i = 0; i < s->List()->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = s->List()->topLevelItem(i);
      summary_rows.push_back(item->text(0).toStdString() + "|" + item->text(1).toStdString());
    }
    for (QLabel* l : s->findChildren<QLabel*>()) {
      if (l->text().contains("saved in")) heading_seen = l->text();
    }
    s->OpenSelectedButton()->click();
    nothing_chosen = s->Message()->text();
    s->OpenAllButton()->click();
    return true;
  });
  prompter_.QueueText(out);
  prompter_.QueueAnswer(Answer::Yes);
  window_->Action(CommandId::kTestDirectory)->trigger();
  EXPECT_EQ(heading_seen, QString::fromStdString("3 tests saved in " + out));
  EXPECT_EQ(nothing_chosen, "Please select test first");
  ASSERT_EQ(summary_rows.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    TestRecord rec;
    ASSERT_TRUE(ReadRecordFile(rec, PathJoin(out, names[i]), RecordDefaults()));
    EXPECT_EQ(summary_rows[i], names[i] + "|" + rec.serialnumber);
  }

  EXPECT_TRUE(steps_.empty());
  EXPECT_FALSE(type_column);
  EXPECT_EQ(Count("Please select test first"), 1u);
  EXPECT_EQ(Count("Overwrite file " + names[0]), 1u);
  EXPECT_EQ(Count("Overwrite file " + names[1]), 0u);  // Yes was for all
  ASSERT_EQ(FilesIn(out).size(), 3u);
  for (const std::string& name : names) {
    TestRecord rec;
    ASSERT_TRUE(ReadRecordFile(rec, PathJoin(out, name), RecordDefaults())) << name;
    EXPECT_EQ(rec.deviceversion, m.deviceversion);
  }
  EXPECT_EQ(OpenedPath(), PathJoin(out, names[2]));
  EXPECT_NE(window_->windowTitle().indexOf(QString("        [Connected Device: ") + m.title + "]"),
            -1)
      << window_->windowTitle().toStdString();

  // The download left the current folder alone: "RunTest.test" goes there.
  window_->Action(CommandId::kResendTest)->trigger();
  EXPECT_EQ(OpenedPath(), PathJoin(folder_, "RunTest.test"));
  EXPECT_EQ(window_->Views().size(), 4);  // the three downloaded and the current test
  window_->Action(CommandId::kReturnToPanel)->trigger();
  EXPECT_EQ(prompter_.messages().size(), 2u) << prompter_.messages().back().text;
  qInstallMessageHandler(before);
  for (const std::string& w : QtWarnings())
    EXPECT_EQ(w.find("QSocketNotifier"), std::string::npos) << w;
}

INSTANTIATE_TEST_SUITE_P(AllModels, DeviceGuiModels,
                         ::testing::Values(ModelCase{"7100", " KOVA-7100", 1},
                                           ModelCase{"7100B", " KOVA-7100B/C", 2},
                                           ModelCase{"R5", " KOVA-R5", 3},
                                           ModelCase{"7KA", " KOVA-7KA", 4}),
                         [](const auto& info) { return std::string("M") + info.param.sim; });

// A remote run on each model that runs a whole plan at once: a plan fetched
// from the instrument, every CONNECT answered with Continue, the result
// opened as RunTest.test in the model's layout with the plan's taps.
TEST_P(DeviceGuiModels, RunWithConnectAndContinue) {
  const ModelCase m = GetParam();
  if (m.deviceversion == 3)
    GTEST_SKIP() << "a KOVA-R5 runs one tap at a time: R5RunOfAThreeTapPlan";
  StartSim({"--model", m.sim, "--tests", "1", "--unpaced"});
  TransferObserver quiet;
  BatchTransfer plans(*device_, quiet);
  const std::string plan_path = PathJoin(folder_, "two.plan");
  ASSERT_TRUE(plans.DownloadPlan(2, plan_path));
  // The port opened here belongs to the test's thread: the command opens
  // its own on the worker.
  device_->serial().Close();
  kvTestPlan plan;
  ASSERT_TRUE(plan.Load(plan_path));
  int continues = 0;
  Watch([&] {
    auto* t = Showing<TransferDialog>();
    if (t == nullptr || !t->ContinueButton()->isVisible()) return;
    ++continues;
    t->ContinueButton()->click();
  });
  prompter_.QueueText(plan_path);
  prompter_.QueueAnswer(Answer::Yes);
  commands_->OnRunTest();
  EXPECT_GE(continues, 1);
  ASSERT_EQ(OpenedPath(), PathJoin(folder_, "RunTest.test"));
  TestRecord rec;
  ASSERT_TRUE(ReadRecordFile(rec, PathJoin(folder_, "RunTest.test"), RecordDefaults()));
  EXPECT_EQ(rec.deviceversion, m.deviceversion);
  EXPECT_EQ(rec.numtests, plan.numtests);
  EXPECT_EQ(Count("Error reading data from device"), 0u);
}

TEST_F(DeviceGui, NoGivesAnExistingFileANewName) {
  StartSim({"--model", "7100B", "--tests", "2", "--unpaced"});
  std::string taken;
  Then([&] {
    auto* d = Showing<DeviceDirectoryDialog>();
    if (d == nullptr) return false;
    taken = DownloadFileName("Test", device_->entry(1));
    WriteFileAtomically(PathJoin(folder_, taken), std::string("mine"));
    return true;
  });
  SelectAndPress<DeviceDirectoryDialog>({1}, [](auto* d) { d->DownloadButton()->click(); });
  prompter_.QueueText(folder_);
  prompter_.QueueAnswer(Answer::No);
  prompter_.QueueText("renamed");
  commands_->OnTestDirectory();
  EXPECT_EQ(Slurp(PathJoin(folder_, taken)), "mine");
  EXPECT_EQ(OpenedPath(), PathJoin(folder_, "renamed.test"));
}

// Two plans with a prefix, then a run of the two-tap plan: two CONNECT
// prompts, each answered with Continue.
TEST_F(DeviceGui, PlansWithAPrefixThenARunWithContinue) {
  StartSim({"--model", "7100B", "--tests", "1", "--unpaced"});
  SelectAndPress<PlanDirectoryDialog>({0, 1}, [](auto* d) {
    EXPECT_EQ(d->List()->topLevelItemCount(), 3);  // download mode: the entries
    EXPECT_TRUE(d->Prefix()->isVisible());
    d->Prefix()->setText("slot");
    d->accept();
  });
  prompter_.QueueText(folder_);
  window_->Action(CommandId::kDownloadPlan)->trigger();
  ASSERT_TRUE(FileExists(PathJoin(folder_, "slot1.plan")));
  ASSERT_TRUE(FileExists(PathJoin(folder_, "slot2.plan")));
  EXPECT_FALSE(FileExists(PathJoin(folder_, "slot3.plan")));

  int continues = 0;
  QString prompt_seen, line_seen;
  Watch([&] {
    auto* t = Showing<TransferDialog>();
    if (t == nullptr || !t->ContinueButton()->isVisible()) return;
    prompt_seen = t->Prompt();
    line_seen = t->Line();
    ++continues;
    t->ContinueButton()->click();
  });
  prompter_.QueueText(PathJoin(folder_, "slot2.plan"));
  prompter_.QueueAnswer(Answer::Yes);
  window_->Action(CommandId::kRunTest)->trigger();
  // The question keeps its words; the safety reminder stands beneath them.
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text.rfind("Run Test Plan slot2.plan ?\r\r", 0), 0u);
  EXPECT_NE(prompter_.messages()[0].text.find("test voltage"), std::string::npos);
  EXPECT_EQ(continues, 2);
  EXPECT_TRUE(line_seen.startsWith("CONNECT")) << line_seen.toStdString();
  EXPECT_EQ(prompt_seen,
            "** Press continue after connecting cables\n*** Press abort to cancel test and discard "
            "data");
  EXPECT_EQ(OpenedPath(), PathJoin(folder_, "RunTest.test"));
  TestRecord rec;
  ASSERT_TRUE(ReadRecordFile(rec, PathJoin(folder_, "RunTest.test"), RecordDefaults()));
  EXPECT_EQ(rec.numtests, 2);
  EXPECT_EQ(rec.deviceversion, 2);

  // A file that is no plan, and No to the question.
  WriteFileAtomically(PathJoin(folder_, "bad.plan"), std::string("nothing"));
  prompter_.QueueText(PathJoin(folder_, "bad.plan"));
  commands_->OnRunTest();
  EXPECT_EQ(Count(kUnableToLoadPlanFile), 1u);
  prompter_.QueueText(PathJoin(folder_, "slot1.plan"));
  prompter_.QueueAnswer(Answer::No);
  commands_->OnRunTest();
  EXPECT_EQ(window_->Views().size(), 1);
}

TEST_F(DeviceGui, R5RunOfAThreeTapPlan) {
  StartSim({"--model", "R5", "--tests", "1", "--unpaced"});
  kvTestPlan plan;
  plan.devicetype = kPlanKovaR5;
  plan.numtests = 3;
  for (int i = 0; i < 3; ++i) {
    plan.taps[i].tapid = i;
    plan.taps[i].nNamePlateNum = 400 * (i + 1);
    plan.taps[i].fNamePlateDen = 5;
    plan.taps[i].uTestType = kRatioTest | kResistanceTest | kExcitationTest;
  }
  ASSERT_TRUE(plan.Save(PathJoin(folder_, "r5.plan")));
  QStringList statuses;
  Watch([&] {
    auto* t = Showing<TransferDialog>();
    if (t != nullptr && (statuses.isEmpty() || statuses.back() != t->Status()))
      statuses << t->Status();
    if (t != nullptr && t->ContinueButton()->isVisible()) t->ContinueButton()->click();
  });
  prompter_.QueueText(PathJoin(folder_, "r5.plan"));
  prompter_.QueueAnswer(Answer::Yes);
  for (int i = 0; i < 3; ++i) prompter_.QueueAnswer(Answer::Ok);  // the instrument's second prompt
  commands_->OnRunTest();
  EXPECT_TRUE(statuses.contains("Executing test #3")) << statuses.join('|').toStdString();
  size_t prompts = 0;
  for (const auto& s : prompter_.messages()) prompts += s.buttons == Buttons::OkCancel;
  EXPECT_EQ(prompts, 3u);
  TestRecord rec;
  ASSERT_TRUE(ReadRecordFile(rec, PathJoin(folder_, "RunTest.test"), RecordDefaults()));
  EXPECT_EQ(rec.numtests, 3);
  EXPECT_EQ(rec.deviceversion, 1);
  EXPECT_EQ(OpenedPath(), PathJoin(folder_, "RunTest.test"));
}

// Abort while the record text comes in at 19200 bit/s: the window goes at
// once, the instrument gets ESC, and no record is written.
TEST_F(DeviceGui, AbortInTheDataPhase) {
  StartSim({"--model", "7100B", "--tests", "1"}, 19200);
  TransferObserver quiet;
  BatchTransfer plans(*device_, quiet);
  ASSERT_TRUE(plans.DownloadPlan(3, PathJoin(folder_, "three.plan")));
  device_->serial().Close();
  // The dialog lives on OnRunTest's stack: what it measured is read while it
  // is still there, once it has been hidden.
  QPointer<TransferDialog> seen;
  bool clicked = false;
  qint64 hidden = -1;
  size_t sent_before_abort = 0;
  Watch([&] {
    auto* t = Showing<TransferDialog>();
    if (t != nullptr) seen = t;
    if (t != nullptr && t->ContinueButton()->isVisible()) t->ContinueButton()->click();
    if (!clicked && t != nullptr && t->ProgressText().contains("bytes") &&
        !t->ProgressText().startsWith("0 ")) {
      clicked = true;
      sent_before_abort = wire_.sent.size();
      t->AbortButton()->click();
    }
    if (clicked && hidden < 0 && seen && !seen->isVisible()) hidden = seen->AbortToHiddenMs();
  });
  prompter_.QueueText(PathJoin(folder_, "three.plan"));
  prompter_.QueueAnswer(Answer::Yes);
  const auto start = std::chrono::steady_clock::now();
  commands_->OnRunTest();
  ASSERT_TRUE(clicked) << "the data phase never started";
  EXPECT_TRUE(seen.isNull()) << "the transfer window outlived the command";
  std::printf("[ measure ] Abort click to transfer window hidden: %lld ms (run took %lld ms)\n",
              static_cast<long long>(hidden),
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count()));
  EXPECT_GE(hidden, 0);
  EXPECT_FALSE(FileExists(PathJoin(folder_, "RunTest.test")));
  EXPECT_EQ(window_->Views().size(), 0);
  EXPECT_EQ(Count("Error reading data from device"), 0u);
  // ESC went out after the abort.
  EXPECT_NE(wire_.sent.find('\x1b', sent_before_abort), std::string::npos);
}

// "Upload to Device": 128 slots, the refusal without a selection, Select
// All, and the question before slot 1's plan is replaced (No, then Yes).
TEST_F(DeviceGui, UploadIntoAnOccupiedSlotAsksFirst) {
  StartSim({"--model", "7100B", "--tests", "1", "--unpaced"});
  kvTestPlan plan;
  plan.devicetype = kPlanKova7100BC;
  plan.company = "NEW COMPANY";
  ASSERT_TRUE(plan.Save(PathJoin(folder_, "new.plan")));
  Then([&] {
    auto* d = Showing<PlanDirectoryDialog>();
    if (d == nullptr) return false;
    EXPECT_EQ(d->List()->topLevelItemCount(), 128);
    EXPECT_EQ(d->List()->topLevelItem(5)->text(1), "EMPTY");
    EXPECT_EQ(d->List()->topLevelItem(5)->text(0), "0006");
    EXPECT_FALSE(d->Prefix()->isVisible());
    d->accept();  // nothing selected
    d->SelectAllButton()->click();
    EXPECT_EQ(SelectedRows(d->List()).size(), 128u);
    d->List()->clearSelection();
    d->List()->topLevelItem(0)->setSelected(true);
    d->accept();  // slot 1 holds a plan: No
    EXPECT_TRUE(d->isVisible());
    d->accept();  // Yes
    return true;
  });
  QString wait_text;
  int frames_before = -1;
  bool frames_moved = false;
  Watch([&] {
    auto* w = Showing<WaitDialog>();
    if (w == nullptr || w->Movie() == nullptr) return;
    wait_text = w->Text();
    if (frames_before < 0) frames_before = w->Movie()->currentFrameNumber();
    // The window's thread is free while the worker talks: the picture runs.
    frames_moved = frames_moved || w->Movie()->currentFrameNumber() != frames_before ||
                   w->Movie()->state() == QMovie::Running;
  });
  prompter_.QueueText(PathJoin(folder_, "new.plan"));
  prompter_.QueueAnswer(Answer::No);
  prompter_.QueueAnswer(Answer::Yes);
  window_->Action(CommandId::kUploadPlan)->trigger();
  EXPECT_EQ(Count("Please select a test plan first"), 1u);
  ASSERT_EQ(prompter_.messages().size(), 3u);
  EXPECT_EQ(prompter_.messages()[1].buttons, Buttons::YesNo);
  const auto& waits = prompter_.waits();
  EXPECT_NE(
      std::find_if(waits.begin(), waits.end(),
                   [](const std::string& w) { return w.rfind("Transferring test plan", 0) == 0; }),
      waits.end());
  // A fast upload can end before the watcher's first look; when the wait
  // window was seen, its picture ran while the worker talked.
  if (!wait_text.isEmpty()) {
    EXPECT_TRUE(frames_moved) << "the wait picture did not turn";
  }
  device_->serial().Close();  // opened on the worker; read again from here
  ASSERT_TRUE(device_->GetDirectory(true));
  EXPECT_STREQ(device_->entry(0).company, "NEW COMPANY");
  EXPECT_EQ(device_->entry(0).number, 1);
}

// Abort (and Escape, which is the same) during the first test of five ends
// the batch: no file, no read error, and the window says how far it came.
TEST_F(DeviceGui, AbortEndsAFiveTestBatch) {
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "Abort");
    StartSim({"--model", "7100B", "--tests", "5"}, 19200);  // paced like the instrument
    const std::string out = folder_ + (escape ? "/esc" : "/abort");
    ASSERT_TRUE(MakeFolders(out));
    size_t before = prompter_.messages().size();
    bool pressed = false;
    // A timer of its own: the download starts inside a step of the script,
    // whose timer does not fire again until that step returns.
    QTimer user;
    user.start(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
      auto* t = Showing<TransferDialog>();
      if (pressed || t == nullptr || !t->ProgressText().contains("(1 of 5)")) return;
      pressed = true;
      if (escape) {
        QTest::keyClick(t, Qt::Key_Escape);
      } else {
        t->AbortButton()->click();
      }
    });
    SelectAndPress<DeviceDirectoryDialog>({0, 1, 2, 3, 4},
                                          [](auto* d) { d->DownloadButton()->click(); });
    Then([] {
      if (auto* d = Showing<DeviceDirectoryDialog>()) d->reject();
      return true;
    });
    prompter_.QueueText(out);
    window_->Action(CommandId::kTestDirectory)->trigger();
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(FilesIn(out).empty());
    std::vector<std::string> said;
    for (size_t i = before; i < prompter_.messages().size(); ++i)
      said.push_back(prompter_.messages()[i].text);
    EXPECT_EQ(said, std::vector<std::string>{"Download aborted: 0 of 5 saved"});
  }
}

TEST_F(DeviceGui, SilentInstrumentAndStalledTransfer) {
  StartSim({"--model", "7100B", "--tests", "2", "--unpaced", "--fault", "silent"});
  commands_->OnTestDirectory();
  EXPECT_EQ(prompter_.texts(), std::vector<std::string>{"Device not available (" + folder_ +
                                                        "/tty: no answer at 115200 bit/s)"});

  StartSim({"--model", "7100B", "--tests", "2", "--unpaced", "--fault", "stall=6000"});
  const std::string out = folder_ + "/out";
  ASSERT_TRUE(MakeFolders(out));
  bool stayed = false;
  SelectAndPress<DeviceDirectoryDialog>({0}, [&](auto* d) {
    d->DownloadButton()->click();
    stayed = d->isVisible();  // a failed download keeps the directory open
    d->reject();
  });
  prompter_.QueueText(out);
  commands_->OnTestDirectory();
  EXPECT_TRUE(stayed);
  EXPECT_EQ(prompter_.texts().back(), "Error reading data from device");
  EXPECT_TRUE(FilesIn(out).empty());
  EXPECT_EQ(window_->Views().size(), 0);
}

// How often `what` went out on the wire.
size_t Sent(const std::string& wire, const std::string& what) {
  size_t n = 0;
  for (size_t at = wire.find(what); at != std::string::npos; at = wire.find(what, at + 1)) ++n;
  return n;
}

// Repeat Tests clicked again (a click and a double-click) while its run is
// under way starts no second run: the transfer window is modal over Edit
// Test, and a click delivered to it anyway is refused.
TEST_F(DeviceGui, RepeatTestsClickedAgainDuringItsRunStartsNoSecondRun) {
  StartSim({"--model", "7100", "--tests", "1", "--unpaced"});
  int runs = 0;
  int clicks = 0;
  int asked = 0;
  PlanRunner runner = [&](kvTestPlan& plan, TestRecord& result) {
    ++asked;
    const bool ran = RunPlanOnInstrument(*device_, plan, result);
    runs += ran;
    return ran;
  };
  auto rec = MakeSampleRecord(1, 3);
  EditTestDialog dialog(*rec, kPlanKova7100, prompter_, folder_, runner, window_.get());
  dialog.row(1).repeat->click();
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* t = Showing<TransferDialog>();
    if (t == nullptr) return;
    // The user, impatient, clicks Repeat Tests again through the window system.
    if (clicks < 2) {
      ++clicks;
      QTest::mouseClick(dialog.repeatButton(), Qt::LeftButton);
      QTest::mouseDClick(dialog.repeatButton(), Qt::LeftButton);
      return;
    }
    if (t->ContinueButton()->isVisible()) t->ContinueButton()->click();
  });
  user.start(20);
  QTimer::singleShot(0, &dialog, [&] { dialog.repeatButton()->click(); });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  user.stop();
  EXPECT_EQ(clicks, 2);
  EXPECT_GE(asked, 1);  // the clicks that reached the dialog were refused
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Sent(wire_.sent, "T314"), 1u);
}

// Edit asked for again while its quiet probe of a silent instrument runs
// opens one Edit Test dialog after one probe.
TEST_F(DeviceGui, EditAskedForDuringItsProbeOpensOneDialog) {
  StartSim({"--model", "7100B", "--tests", "1", "--unpaced", "--fault", "silent"});
  const std::string path = PathJoin(folder_, "one.test");
  ASSERT_TRUE(MakeSampleRecord(2, 2)->WriteRecordFile(path));
  GuiContext ctx;
  ctx.store = &store_;
  ctx.settings = &settings_;
  ctx.info = &info_;
  ctx.prompter = &prompter_;
  ctx.connected_model = [this] { return ConnectedModelBehindWait(*device_, prompter_); };
  MainWindow window(ctx);
  window.show();
  ASSERT_TRUE(window.OpenDocument(path));
  int again = 0, editors = 0;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (Showing<WaitDialog>() != nullptr && again < 3) {
      ++again;
      window.Action(CommandId::kEditTest)->trigger();
    }
    if (auto* edit = Showing<EditTestDialog>()) {
      ++editors;
      edit->reject();
    }
  });
  user.start(20);
  window.Action(CommandId::kEditTest)->trigger();
  user.stop();
  EXPECT_EQ(again, 3);
  EXPECT_EQ(editors, 1);
  EXPECT_EQ(Sent(wire_.sent, "B\r"), 1u);
}

// Abort while the transfer window still looks for the instrument, and while a
// run waits for the instrument to take its plan: each ends without its
// time-out's message and without a file.
TEST_F(DeviceGui, AbortWhileProbingAndWhileUploading) {
  const struct {
    const char* phase;
    std::vector<std::string> sim;
    bool run;
  } phases[] = {
      {"probe", {"--model", "7100B", "--tests", "1", "--unpaced", "--fault", "silent"}, false},
      // "ACK" and the identification, then nothing: "GO" never comes.
      {"upload", {"--model", "7100B", "--tests", "1", "--unpaced", "--fault", "stall=37"}, true},
  };
  kvTestPlan plan;
  plan.devicetype = kPlanKova7100BC;
  plan.numtests = 1;
  plan.taps[0].nNamePlateNum = 400;
  plan.taps[0].fNamePlateDen = 5;
  plan.taps[0].uTestType = kRatioTest;
  ASSERT_TRUE(plan.Save(PathJoin(folder_, "run.plan")));
  for (const auto& p : phases) {
    SCOPED_TRACE(p.phase);
    StartSim(p.sim);
    const size_t before = prompter_.messages().size();
    bool pressed = false;
    QElapsedTimer clock;
    clock.start();
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      auto* t = Showing<TransferDialog>();
      if (pressed || t == nullptr || clock.elapsed() < 300) return;
      pressed = true;
      t->AbortButton()->click();
    });
    user.start(20);
    if (p.run) {
      prompter_.QueueText(PathJoin(folder_, "run.plan"));
      prompter_.QueueAnswer(Answer::Yes);
      commands_->OnRunTest();
    } else {
      commands_->OnResendTest();
    }
    user.stop();
    EXPECT_TRUE(pressed);
    // Well before the 10 s the plan's "GO" is waited for (a run's Abort
    // also gives the instrument its 3 s after the ESC).
    EXPECT_LT(clock.elapsed(), 9500);
    for (size_t i = before; i < prompter_.messages().size(); ++i) {
      const std::string& text = prompter_.messages()[i].text;
      EXPECT_EQ(text.find("Device not available"), std::string::npos) << text;
      EXPECT_NE(text, kNoGo);
    }
    EXPECT_FALSE(FileExists(PathJoin(folder_, "RunTest.test")));
    EXPECT_EQ(window_->Views().size(), 0);
  }
}

// The instrument killed in the middle of a download and started again on
// the same link: the next command finds it without a restart of the program.
TEST_F(DeviceGui, InstrumentKilledAndStartedAgainIsFoundOnTheNextCommand) {
  StartSim({"--model", "7100B", "--tests", "3"}, 19200);
  const std::string out = folder_ + "/out";
  ASSERT_TRUE(MakeFolders(out));
  const std::vector<std::string> args = {"--model",   "7100B",  "--tests", "3",
                                         "--unpaced", "--baud", "19200"};
  bool killed = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* t = Showing<TransferDialog>();
    if (killed || t == nullptr || !t->ProgressText().contains("(1 of 2)")) return;
    killed = true;
    sim_.reset();  // pulled out mid-record
  });
  user.start(20);
  SelectAndPress<DeviceDirectoryDialog>({0, 1}, [](auto* d) { d->DownloadButton()->click(); });
  Then([] {
    if (auto* d = Showing<DeviceDirectoryDialog>()) d->reject();
    return true;
  });
  prompter_.QueueText(out);
  commands_->OnTestDirectory();
  user.stop();
  ASSERT_TRUE(killed);
  EXPECT_TRUE(FilesIn(out).empty());
  ASSERT_FALSE(prompter_.texts().empty());

  // Plugged in again: the same link, the program untouched.
  sim_ = std::make_unique<SimProcess>(BuiltProgram("kova-sim"), folder_ + "/tty", args);
  ASSERT_TRUE(sim_->ready());
  const size_t before = prompter_.messages().size();
  int rows = -1;
  Then([&] {
    auto* d = Showing<DeviceDirectoryDialog>();
    if (d == nullptr) return false;
    rows = d->List()->topLevelItemCount();
    d->reject();
    return true;
  });
  commands_->OnTestDirectory();
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(prompter_.messages().size(), before) << prompter_.texts().back();
}

// How long the window goes without painting while a record comes in at
// 19200 bit/s (goal: at most 50 ms). Prints the figure; asserts nothing about time.
TEST_F(DeviceGui, PaintGapsDuringA19200Download) {
  StartSim({"--model", "7100B", "--tests", "1"}, 19200);
  struct PaintClock : QObject {
    QElapsedTimer clock;
    qint64 last = -1, longest = 0;
    int paints = 0;
    QString where;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Paint && qobject_cast<QProgressBar*>(o) != nullptr) {
        const qint64 now = clock.elapsed();
        if (last >= 0 && now - last > longest) {
          longest = now - last;
          if (auto* t = Showing<TransferDialog>()) where = t->ProgressText() + " / " + t->Status();
        }
        last = now;
        ++paints;
      }
      return false;
    }
  } paint;
  paint.clock.start();
  App().installEventFilter(&paint);
  // Something asks for a repaint every 16 ms, as an animation would.
  QTimer frames;
  QObject::connect(&frames, &QTimer::timeout, [] {
    if (auto* t = Showing<TransferDialog>()) t->ProgressBar()->update();
  });
  frames.start(16);
  commands_->OnResendTest();
  frames.stop();
  App().removeEventFilter(&paint);
  EXPECT_EQ(OpenedPath(), PathJoin(folder_, "RunTest.test"));
  EXPECT_GT(paint.paints, 10);
  std::printf("[ measure ] 19200 bit/s download: %d paints, longest gap %lld ms (%s)\n",
              paint.paints, static_cast<long long>(paint.longest), qPrintable(paint.where));
  RecordProperty("longest_paint_gap_ms", static_cast<int>(paint.longest));
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// Pictures of the dialogs for the documentation, taken from the X server's
// screen: run under xvfb-run with QT_QPA_PLATFORM=xcb and
// KOVA_SCREENSHOT_DIR set to the folder for the PNG files.
constexpr const char* kShownFolder = "/home/engineer/KOVA/Tests";

class DeviceGuiScreens : public DeviceGui {
 protected:
  void Shoot(QWidget* dialog, const char* name) {
    // The start page behind says where records are kept: a folder as a
    // user's would be, never this machine's.
    const std::string kept = info_.filepath;
    info_.filepath = kShownFolder;
    window_->UpdateCommands();
    info_.filepath = kept;
    dialog->raise();
    dialog->activateWindow();
    for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area =
        dialog->frameGeometry().united(window_->frameGeometry()).intersected(screen->geometry());
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    EXPECT_TRUE(shot.save(QString::fromUtf8(shots_) + "/" + name)) << name;
  }
  void SetUp() override {
    App();
    shots_ = std::getenv("KOVA_SCREENSHOT_DIR");
    if (shots_ == nullptr || QGuiApplication::platformName() != "xcb")
      GTEST_SKIP() << "pictures are taken under xvfb-run with KOVA_SCREENSHOT_DIR";
    DeviceGui::SetUp();
    window_->resize(1100, 720);
    window_->move(0, 0);
  }
  const char* shots_ = nullptr;
};

TEST_F(DeviceGuiScreens, DirectoryTransferAndPlanSlots) {
  StartSim({"--model", "7100B", "--tests", "6", "--seed", "7"}, 19200);
  const std::string out = folder_ + "/records";
  ASSERT_TRUE(MakeFolders(out));
  bool transfer_shot = false;
  QString progress_seen;
  Then([&] {
    auto* d = Showing<DeviceDirectoryDialog>();
    if (d == nullptr) return false;
    d->move(120, 140);
    d->List()->topLevelItem(1)->setSelected(true);
    d->List()->topLevelItem(2)->setSelected(true);
    d->List()->topLevelItem(4)->setSelected(true);
    Shoot(d, "device-directory.png");
    // From a call of its own: the steps' timer does not run inside its own
    // slot, so the transfer's watcher would see nothing.
    QTimer::singleShot(0, d, [d] { d->DownloadButton()->click(); });
    return true;
  });
  Watch([&] {
    auto* t = Showing<TransferDialog>();
    if (t != nullptr) progress_seen = t->ProgressText();
    if (t == nullptr || transfer_shot || !t->ProgressText().startsWith("Test 3 (2 of 3)")) return;
    const QString bytes = t->ProgressText().section(": ", 1).section(' ', 0, 0);
    if (bytes.toInt() < 12000) return;
    transfer_shot = true;
    t->move(300, 260);
    Shoot(t, "transfer-in-progress.png");
  });
  // The summary of the three; its heading names a folder as a user's
  // would be.
  bool summary_shot = false;
  Then([&] {
    auto* s = Showing<BatchSummaryDialog>();
    if (s == nullptr) return false;
    for (QLabel* l : s->findChildren<QLabel*>()) {
      if (l->text().contains("saved in"))
        l->setText(QString::fromStdString(BatchSummaryHeading(3, 3, kShownFolder)));
    }
    // The dialog alone: without a window manager's frame it would melt
    // into the start page behind it.
    QTest::qWait(100);
    EXPECT_TRUE(s->grab().save(QString::fromUtf8(shots_) + "/batch-summary.png"));
    summary_shot = true;
    s->reject();
    return true;
  });
  prompter_.QueueText(out);
  commands_->OnTestDirectory();
  EXPECT_TRUE(transfer_shot) << progress_seen.toStdString();
  EXPECT_TRUE(summary_shot);

  kvTestPlan plan;
  plan.devicetype = kPlanKova7100BC;
  ASSERT_TRUE(plan.Save(PathJoin(folder_, "new.plan")));
  Then([&] {
    auto* d = Showing<PlanDirectoryDialog>();
    if (d == nullptr) return false;
    d->move(160, 120);
    d->List()->topLevelItem(3)->setSelected(true);
    Shoot(d, "plan-slots.png");
    d->reject();
    return true;
  });
  prompter_.QueueText(PathJoin(folder_, "new.plan"));
  commands_->OnUploadPlan();
}

// The box after Abort ended a batch of five in its third test, as the
// desktop shows it.
TEST_F(DeviceGuiScreens, AbortedBatch) {
  StartSim({"--model", "7100B", "--tests", "5", "--seed", "7"});  // paced at 115200
  const std::string out = folder_ + "/records";
  ASSERT_TRUE(MakeFolders(out));
  bool pressed = false, shot = false;
  QTimer user;
  user.start(20);
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* t = Showing<TransferDialog>();
    if (pressed || t == nullptr || !t->ProgressText().contains("(3 of 5)")) return;
    pressed = true;
    t->AbortButton()->click();
  });
  prompter_.on_message = [&](const std::string& caption, const std::string& text) {
    if (text.rfind("Download aborted", 0) != 0) return;
    QMessageBox box(Showing<DeviceDirectoryDialog>());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(DisplayText(text));
    box.show();
    box.move(340, 300);
    Shoot(&box, "download-aborted.png");
    shot = true;
  };
  Then([&] {
    auto* d = Showing<DeviceDirectoryDialog>();
    if (d == nullptr) return false;
    d->move(120, 140);
    for (int r = 0; r < 5; ++r) d->List()->topLevelItem(r)->setSelected(true);
    d->DownloadButton()->click();
    d->reject();
    return true;
  });
  prompter_.QueueText(out);
  commands_->OnTestDirectory();
  prompter_.on_message = nullptr;
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(shot);
  EXPECT_EQ(Count("Download aborted: 2 of 5 saved"), 1u);
  EXPECT_EQ(FilesIn(out).size(), 2u);
}

}  // namespace
}  // namespace kova
