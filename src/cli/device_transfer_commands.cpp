// kova device dir | download | resend | get-plan | put-plan | run | panel:
// the instrument's directories, downloads of tests and plans into files,
// plan upload, a remote test run and panel control.
//
// The core asks its questions through the Prompter; here a prompter in front
// of the terminal's answers them from the command line (-o folder,
// --overwrite, --skip-existing, --yes), shows progress, and turns Ctrl-C
// into the Abort button.

#include <poll.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/output_place.h"
#include "app/run_session.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/format.h"
#include "base/json.h"
#include "base/path.h"
#include "cli/cli_context.h"
#include "cli/device_transfer_commands.h"
#include "cli/interrupt_cancel.h"
#include "device/command_set.h"
#include "device/rud_device.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitInterrupted = 130;

std::string U(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

// Runs `tick` every 10 ms on a thread of its own while the operation blocks
// the main thread: it sees the Enter that confirms the cables.
class Watcher {
 public:
  explicit Watcher(std::function<void()> tick)
      : thread_([this, tick = std::move(tick)] {
          while (!stop_.load()) {
            tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
          }
        }) {}
  ~Watcher() {
    stop_ = true;
    thread_.join();
  }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// --- the prompter in front of the terminal ------------------------------------

class TransferPrompter : public Prompter, public TransferQuestions {
 public:
  enum class Existing { kAsk, kOverwrite, kSkip };

  explicit TransferPrompter(Prompter& inner) : inner_(inner), asked_(inner) {}

  std::string folder;                  // the answer to the folder question
  Existing existing = Existing::kAsk;  // the answer to the overwrite question
  bool yes = false;                    // OK to the instrument's questions
  RecordDefaults defaults;             // the user's preferences records are decoded with

  // --- the batch's typed questions
  bool ChooseFolder(const std::string& start, std::string& chosen) override {
    if (folder.empty()) return asked_.ChooseFolder(start, chosen);
    chosen = folder;
    return true;
  }
  OverwriteReply AskOverwrite(const std::string& file_name) override {
    if (existing == Existing::kAsk) return asked_.AskOverwrite(file_name);
    const bool overwrite = existing == Existing::kOverwrite;
    PrintError(U(std::string(kDeviceCaption) + ": Overwrite file ") + SystemNameToUtf8(file_name) +
               (overwrite ? " - yes (--overwrite)" : " - no, skipped (--skip-existing)"));
    OverwriteReply reply;
    reply.kind = overwrite ? OverwriteReply::kReplaceAll : OverwriteReply::kSkip;
    return reply;
  }

  // --- the prompter
  Answer Message(const std::string& caption, const std::string& text, Buttons buttons,
                 Icon icon) override {
    if (buttons == Buttons::OkCancel && yes) {
      PrintError(U(caption + ": " + text) + " - OK (--yes)");
      return Answer::Ok;
    }
    return inner_.Message(caption, text, buttons, icon);
  }
  bool ChooseOpenFile(const std::string& title, const std::string& start, const std::string& filter,
                      std::string& path) override {
    return inner_.ChooseOpenFile(title, start, filter, path);
  }
  bool ChooseSaveFile(const std::string& title, const std::string& start, const std::string& filter,
                      std::string& path) override {
    return inner_.ChooseSaveFile(title, start, filter, path);
  }
  bool ChooseFolder(const std::string& title, const std::string& start,
                    std::string& chosen) override {
    return inner_.ChooseFolder(title, start, chosen);
  }
  bool PromptText(const std::string& caption, const std::string& label,
                  std::string& text) override {
    return inner_.PromptText(caption, label, text);
  }
  bool RunWaiting(const std::string& text, const std::function<bool()>& operation) override {
    return inner_.RunWaiting(text, operation);
  }
  void SetWaitingText(const std::string& text) override { inner_.SetWaitingText(text); }

 private:
  Prompter& inner_;
  PrompterQuestions asked_;  // the terminal answers what the flags do not
};

// --- progress on stderr -------------------------------------------------------------

class DownloadProgress : public TransferObserver {
 public:
  DownloadProgress() : live_(isatty(STDERR_FILENO) != 0) {}

  void ItemStarted(size_t index, size_t count, int number, const std::string&) override {
    index_ = index;
    count_ = count;
    number_ = number;
    bytes_ = 0;
    shown_ = 0;
  }
  void Progress(const TransferProgress& progress) override {
    bytes_ = progress.bytes;
    if (live_ && bytes_ >= shown_ + 4096) {
      shown_ = bytes_;
      std::cerr << '\r' << Head() << bytes_ << " bytes" << std::flush;
    }
  }
  void ItemEnded(size_t, bool ok, const std::string& name) override {
    if (live_) std::cerr << '\r';
    std::cerr << Head() << bytes_ << " bytes"
              << (ok ? " -> " + SystemNameToUtf8(name) : std::string(", failed")) << '\n';
    if (ok) return;
    ++failed;  // the core has said why
  }
  int failed = 0;

 private:
  std::string Head() const {
    if (resend) return "Current test: ";
    return Format("%s %d (%zu of %zu): ", plans ? "Plan" : "Test", number_, index_ + 1, count_);
  }

 public:
  bool plans = false;
  bool resend = false;

 private:
  bool live_;
  size_t index_ = 0, count_ = 0, bytes_ = 0, shown_ = 0;
  int number_ = 0;
};

// The instrument's lines as they come; what the user must do when the
// instrument waits for it (after the line that asked).
class RunProgress : public TransferObserver {
 public:
  void SetStatusText(const std::string& text) override { PrintError(U(text)); }
  void SetPromptText(const std::string& text) override { prompt_ = text; }
  void SetLineText(const std::string& text) override {
    std::string line = text;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) PrintError(U(line));
  }
  void ShowContinue(bool shown) override {
    if (!shown || prompt_.empty()) return;
    for (char& c : prompt_) {
      if (c == '\r') c = '\n';
    }
    PrintError(U(prompt_));
    PrintError(yes ? "Continuing (--yes)"
                   : "Press Enter after connecting the cables, Ctrl-C to abort");
    prompt_.clear();
  }
  bool yes = false;

 private:
  std::string prompt_;
};

// Reads one line from standard input if one is waiting. `eof` is set when
// nothing more can come.
bool TakeEnter(bool& eof) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  for (;;) {
    char c = 0;
    const ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n <= 0) {
      eof = n == 0;
      return false;
    }
    if (c == '\n') return true;
  }
}

// --- directory --------------------------------------------------------------------

std::string Field(const char* text) { return FixedString(text, kDirectoryTextSize); }

JsonValue EntryJson(const DirectoryEntry& e) {
  JsonValue o = JsonValue::Object();
  o.Set("number", JsonValue::Integer(e.number));
  o.Set("datetime", JsonValue::String(U(Field(e.datetime))));
  o.Set("tests", JsonValue::Integer(e.tests));
  o.Set("company", JsonValue::String(U(Field(e.company))));
  o.Set("station", JsonValue::String(U(Field(e.station))));
  o.Set("circuit", JsonValue::String(U(Field(e.circuit))));
  o.Set("mfr", JsonValue::String(U(Field(e.mfr))));
  o.Set("model", JsonValue::String(U(Field(e.model))));
  o.Set("sn", JsonValue::String(U(Field(e.sn))));
  o.Set("kva", JsonValue::String(U(Field(e.kva))));
  o.Set("operator", JsonValue::String(U(Field(e.operator_))));
  o.Set("testtype", JsonValue::String(U(Field(e.testtype))));
  o.Set("knee", JsonValue::String(U(Field(e.knee))));
  return o;
}

// Through std::cout, whose buffer shows a record's control bytes as \xNN.
void PrintDirectory(const RudDevice& device, bool plans, bool type_column) {
  auto row = [&](const std::string& number, const std::string& type, const std::string& date,
                 const std::string& company, const std::string& station,
                 const std::string& circuit) {
    if (plans) {
      std::cout << Format("%-5s %-12s %-30s %-20s %s\n", number.c_str(), type.c_str(),
                          company.c_str(), station.c_str(), circuit.c_str());
    } else if (type_column) {
      std::cout << Format("%-5s %-9s %-18s %-30s %-20s %s\n", number.c_str(), type.c_str(),
                          date.c_str(), company.c_str(), station.c_str(), circuit.c_str());
    } else {
      std::cout << Format("%-5s %-18s %-30s %-20s %s\n", number.c_str(), date.c_str(),
                          company.c_str(), station.c_str(), circuit.c_str());
    }
  };
  row(plans ? "Plan" : "Test", plans ? "Knee Type" : "Type", "Date", "Company", "Station",
      "Circuit");
  for (int i = 0; i < device.entrycount(); ++i) {
    const DirectoryEntry& e = device.entry(i);
    row(Format("%04d", e.number), U(Field(plans ? e.knee : e.testtype)), U(Field(e.datetime)),
        U(Field(e.company)), U(Field(e.station)), U(Field(e.circuit)));
  }
  std::cout.flush();
}

// --- options of the commands ---------------------------------------------------------

struct DirOptions {
  bool plans = false;
  bool json = false;
};

struct FetchOptions {
  std::vector<int> numbers;
  std::string folder;
  std::string prefix;
  bool all = false;
  bool overwrite = false;
  bool skip_existing = false;
};

struct ResendOptions {
  std::string file;
  bool overwrite = false;
};

struct PutPlanOptions {
  std::string file;
  int slot = 0;
};

struct RunOptions {
  std::string plan;
  std::string file;
  bool yes = false;
  bool overwrite = false;
};

bool LoadPlanFile(const std::string& path, kvTestPlan& plan) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  if (plan.Load(ec ? path : whole.string())) return true;
  PrintError("Unable to load test plan \"" + path + "\"");
  return false;
}

bool PrepareFolder(const std::string& folder) {
  if (MakeFolders(folder)) return true;
  PrintError("Cannot create the folder \"" + folder + "\"");
  return false;
}

// Runs the batch with progress and Ctrl-C; the exit code.
int RunBatch(BatchTransfer& batch, const DownloadProgress& progress) {
  int interrupted = 0;  // the exit code of an interrupted batch
  {
    InterruptCancels interrupt([&batch] { batch.Abort(); });
    batch.RunTransfers();
    interrupted = interrupt.ExitCode();
  }
  for (const std::string& path : batch.written()) std::cout << SystemNameToUtf8(path) << '\n';
  std::cout.flush();
  if (interrupted != 0 || batch.aborted()) {
    // The same words as the desktop's box after an aborted batch.
    PrintError(U(DeviceStatusText(DeviceStatus::BatchAborted(
        static_cast<long>(batch.written().size()), static_cast<long>(batch.items().size())))));
    PrintError("Interrupted");
    return interrupted != 0 ? interrupted : kExitInterrupted;
  }
  if (batch.devicegone()) return kExitFailed;
  if (batch.cancelled()) {
    PrintError(
        "Stopped at an existing file (--overwrite or --skip-existing answer without asking)");
    return kExitFailed;
  }
  return progress.failed > 0 ? kExitFailed : 0;
}

TransferPrompter::Existing ExistingPolicy(const FetchOptions& o) {
  if (o.overwrite) return TransferPrompter::Existing::kOverwrite;
  if (o.skip_existing) return TransferPrompter::Existing::kSkip;
  return TransferPrompter::Existing::kAsk;
}

// GetDirectory says nothing when the reply stops before "DONE".
bool ReadDirectory(RudDevice& device, bool plans) {
  if (device.GetDirectory(plans)) return true;
  if (device.lastdirectory() == RudDevice::DirectoryEnd::kCutShort) {
    PrintError("The directory did not arrive complete");
  }
  return false;
}

int Dir(RudDevice& device, const DirOptions& o) {
  if (!ReadDirectory(device, o.plans)) return kExitFailed;
  if (o.json) {
    JsonValue list = JsonValue::Array();
    for (int i = 0; i < device.entrycount(); ++i) list.Push(EntryJson(device.entry(i)));
    std::cout << list.Dump(1) << '\n';
    return 0;
  }
  std::string reply;
  const bool type_column =
      !o.plans && device.Identify(reply, true) && DirectoryShowsTestType(reply);
  PrintDirectory(device, o.plans, type_column);
  return 0;
}

int Download(RudDevice& device, TransferPrompter& prompter, const FetchOptions& o,
             RecordExporter* exporter) {
  if (o.numbers.empty() && !o.all) {
    PrintError("Name the tests to download, or give --all");
    return kExitFailed;
  }
  if (!PrefixIsSafe(o.prefix)) {
    PrintError("The file prefix \"" + SystemNameToUtf8(o.prefix) +
               "\" may not contain a folder separator");
    return kExitFailed;
  }
  if (!PrepareFolder(o.folder)) return kExitFailed;
  if (!ReadDirectory(device, false)) return kExitFailed;
  std::vector<int> rows;
  bool missing = false;
  if (o.all) {
    for (int i = 0; i < device.entrycount(); ++i) rows.push_back(i);
  } else {
    for (int number : o.numbers) {
      int row = -1;
      for (int i = 0; i < device.entrycount() && row < 0; ++i) {
        if (device.entry(i).number == number) row = i;
      }
      if (row < 0) {
        PrintError(Format("Test %d is not in the instrument's directory", number));
        missing = true;
      } else {
        rows.push_back(row);
      }
    }
  }
  if (rows.empty()) {
    if (!missing) PrintError("The instrument holds no tests");
    return kExitFailed;
  }
  std::vector<TransferItem> items;
  if (!MakeDownloadItems(device, o.prefix, rows, items)) return kExitFailed;
  DownloadProgress progress;
  BatchTransfer batch(device, progress, &prompter, exporter);
  batch.defaults = prompter.defaults;
  for (const TransferItem& item : items) batch.AddItem(item.number, item.name);
  prompter.folder = o.folder;
  prompter.existing = ExistingPolicy(o);
  const int code = RunBatch(batch, progress);
  return code == 0 && missing ? kExitFailed : code;
}

int GetPlans(RudDevice& device, TransferPrompter& prompter, const FetchOptions& o) {
  if (o.numbers.empty()) {
    PrintError("Name the plans to fetch");
    return kExitFailed;
  }
  // The instrument has slots 1 to 128; nothing else is asked of it.
  for (int number : o.numbers) {
    if (number < kFirstPlanSlot || number > kLastPlanSlot) {
      PrintError(Format("Plan number %d is out of range (%d to %d)", number, kFirstPlanSlot,
                        kLastPlanSlot));
      return kExitFailed;
    }
  }
  if (!PrefixIsSafe(o.prefix)) {
    PrintError("The file prefix \"" + SystemNameToUtf8(o.prefix) +
               "\" may not contain a folder separator");
    return kExitFailed;
  }
  if (!PrepareFolder(o.folder)) return kExitFailed;
  DownloadProgress progress;
  progress.plans = true;
  BatchTransfer batch(device, progress, &prompter);
  batch.planmode = true;
  batch.prefix = o.prefix;
  for (int number : o.numbers) batch.AddItem(number);
  prompter.folder = o.folder;
  prompter.existing = ExistingPolicy(o);
  return RunBatch(batch, progress);
}

int Resend(RudDevice& device, TransferPrompter& prompter, const ResendOptions& o,
           RecordExporter* exporter) {
  std::string why;
  if (!CheckOutputFile(o.file, o.overwrite, why)) {
    PrintError(U(why));
    return kExitFailed;
  }
  DownloadProgress progress;
  progress.resend = true;
  BatchTransfer batch(device, progress, &prompter, exporter);
  batch.defaults = prompter.defaults;
  batch.resendmode = true;
  batch.AddItem(-1, o.file);
  const int code = RunBatch(batch, progress);
  return code == 0 && batch.written().empty() ? kExitFailed : code;
}

int PutPlan(RudDevice& device, const PutPlanOptions& o) {
  kvTestPlan plan;
  if (!LoadPlanFile(o.file, plan)) return kExitFailed;
  // Every failure of the upload has been shown by the core.
  return TransferPlanToSlot(device, plan, o.slot) ? 0 : kExitFailed;
}

int Run(RudDevice& device, TransferPrompter& prompter, const RunOptions& o,
        RecordExporter* exporter) {
  kvTestPlan plan;
  if (!LoadPlanFile(o.plan, plan)) return kExitFailed;
  // The place of the record is checked before the instrument starts.
  std::string why;
  if (!CheckOutputFile(o.file, o.overwrite, why)) {
    PrintError(U(why));
    return kExitFailed;
  }
  RunProgress progress;
  progress.yes = o.yes;
  RunSession run(device, plan, progress, exporter);
  run.defaults = prompter.defaults;
  run.result_path = o.file;
  prompter.yes = o.yes;
  int interrupted = 0;  // the exit code of an interrupted run
  bool ok = false;
  {
    InterruptCancels interrupt([&run] { run.Abort(); });
    Watcher watch([&] {
      if (!run.waiting() || run.aborted()) return;
      bool eof = false;
      if (o.yes || TakeEnter(eof)) {
        run.Continue();
      } else if (eof) {
        // Nobody can press Enter: the test is not run blind.
        PrintError("No one can confirm the cables (standard input is closed): aborting");
        run.Abort();
      }
    });
    ok = run.RunTest();
    interrupted = interrupt.ExitCode();
  }
  if (ok) {
    std::cout << SystemNameToUtf8(o.file) << '\n';
    return 0;
  }
  if (interrupted != 0) {
    PrintError("Test aborted");
    return interrupted;
  }
  return kExitFailed;
}

}  // namespace

void RegisterDeviceTransferCommands(CLI::App& device, CliContext& ctx,
                                    const DeviceSessionRunner& with_device) {
  // Each command runs with the terminal's prompter behind TransferPrompter.
  auto run = [&ctx, with_device](const std::function<int(RudDevice&, TransferPrompter&)>& body) {
    // Ctrl-C is noted for the whole command, so a question on the terminal
    // ends and the instrument is never left mid-exchange.
    InterruptCancels guard;
    TransferPrompter prompter(*ctx.prompter);
    prompter.defaults = RecordDefaultsFrom(ctx.info);
    ctx.exit_code = with_device(prompter, [&](RudDevice& dev) { return body(dev, prompter); });
  };

  auto dir = std::make_shared<DirOptions>();
  CLI::App* dir_cmd =
      device.add_subcommand("dir", "List the tests (or plans) the instrument holds");
  dir_cmd->add_flag("--plans", dir->plans, "The plan directory");
  dir_cmd->add_flag("--json", dir->json, "Every field of every entry as JSON");
  dir_cmd->callback(
      [run, dir] { run([dir](RudDevice& d, TransferPrompter&) { return Dir(d, *dir); }); });

  auto dl = std::make_shared<FetchOptions>();
  dl->prefix = "Test";
  CLI::App* dl_cmd = device.add_subcommand("download", "Download stored tests into record files");
  dl_cmd->add_option("N", dl->numbers, "Test numbers");
  dl_cmd->add_option("-o,--output", dl->folder, "Folder for the record files")->required();
  dl_cmd->add_option("--prefix", dl->prefix, "File name prefix")->capture_default_str();
  dl_cmd->add_flag("--all", dl->all, "Every test in the directory");
  CLI::Option* ow = dl_cmd->add_flag("--overwrite", dl->overwrite, "Replace existing files");
  dl_cmd->add_flag("--skip-existing", dl->skip_existing, "Keep existing files, skip those tests")
      ->excludes(ow);
  dl_cmd->callback([run, dl, &ctx] {
    run([dl, &ctx](RudDevice& d, TransferPrompter& p) {
      return Download(d, p, *dl, ctx.exporter.get());
    });
  });

  auto rs = std::make_shared<ResendOptions>();
  CLI::App* rs_cmd =
      device.add_subcommand("resend", "Fetch the instrument's current test into a record file");
  rs_cmd->add_option("-o,--output", rs->file, "Record file")->required();
  rs_cmd->add_flag("--overwrite", rs->overwrite, "Replace an existing file");
  rs_cmd->callback([run, rs, &ctx] {
    run([rs, &ctx](RudDevice& d, TransferPrompter& p) {
      return Resend(d, p, *rs, ctx.exporter.get());
    });
  });

  auto gp = std::make_shared<FetchOptions>();
  gp->prefix = "plan";
  CLI::App* gp_cmd = device.add_subcommand("get-plan", "Fetch stored plans into plan files");
  gp_cmd->add_option("N", gp->numbers, "Plan numbers")->required();
  gp_cmd->add_option("-o,--output", gp->folder, "Folder for the plan files")->required();
  gp_cmd->add_option("--prefix", gp->prefix, "File name prefix")->capture_default_str();
  CLI::Option* gow = gp_cmd->add_flag("--overwrite", gp->overwrite, "Replace existing files");
  gp_cmd->add_flag("--skip-existing", gp->skip_existing, "Keep existing files")->excludes(gow);
  gp_cmd->callback(
      [run, gp] { run([gp](RudDevice& d, TransferPrompter& p) { return GetPlans(d, p, *gp); }); });

  auto pp = std::make_shared<PutPlanOptions>();
  CLI::App* pp_cmd = device.add_subcommand("put-plan", "Store a plan file in an instrument slot");
  pp_cmd->add_option("FILE", pp->file, "Plan file")->required();
  pp_cmd->add_option("SLOT", pp->slot, "Plan slot")
      ->required()
      ->check(CLI::Range(kFirstPlanSlot, kLastPlanSlot));
  pp_cmd->callback(
      [run, pp] { run([pp](RudDevice& d, TransferPrompter&) { return PutPlan(d, *pp); }); });

  auto rn = std::make_shared<RunOptions>();
  CLI::App* rn_cmd = device.add_subcommand("run", "Run a plan on the instrument, keep the record");
  rn_cmd->add_option("PLAN", rn->plan, "Plan file")->required();
  rn_cmd->add_option("-o,--output", rn->file, "Record file")->required();
  rn_cmd->add_flag("--yes", rn->yes, "Go on without waiting for Enter; OK to the instrument");
  rn_cmd->add_flag("--overwrite", rn->overwrite, "Replace an existing record file");
  rn_cmd->callback([run, rn, &ctx] {
    run([rn, &ctx](RudDevice& d, TransferPrompter& p) {
      return Run(d, p, *rn, ctx.exporter.get());
    });
  });

  CLI::App* panel = device.add_subcommand("panel", "Give the instrument back to its own panel");
  panel->callback([run] {
    run([](RudDevice& d, TransferPrompter&) { return d.ReturnToPanel() ? 0 : kExitFailed; });
  });
}

}  // namespace kova
