// kova device dir / download / resend / get-plan / put-plan / run / panel,
// run from the outside against kova-sim on a pseudo-terminal, as a user
// would: exit status, files, and the messages on stderr.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "base/json.h"
#include "base/path.h"
#include "cli/device_transfer_sim_process.h"
#include "plans/test_plan.h"
#include "records/test_record.h"
#include "support/files.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

struct ModelCase {
  const char* sim;    // kova-sim --model
  int deviceversion;  // of a downloaded record
  int plantype;       // the instrument's model code
};

class DeviceTransferCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempFolder(std::string("devcli-") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    env_ = {"KOVA_SETTINGS=" + dir_ + "/settings.ini", "QT_QPA_PLATFORM=offscreen"};
  }
  // Starts kova-sim, unpaced unless the options say otherwise.
  void StartSim(std::vector<std::string> args) {
    sim_.reset();
    sim_ = std::make_unique<SimProcess>(BuiltProgram("kova-sim"), dir_ + "/tty", args);
    ASSERT_TRUE(sim_->ready()) << "kova-sim did not start";
  }
  ProgramResult Device(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"device", "--port", dir_ + "/tty"});
    return RunProgram(BuiltProgram("kova"), args, env_, input);
  }
  // Starts `kova device --port TTY --baud 19200 ARGS` in the background,
  // its stderr into `err_path`, with `extra` in its environment.
  pid_t Spawn(const std::vector<std::string>& args, const std::string& err_path,
              const std::vector<std::string>& extra = {}) {
    std::vector<std::string> all = {"device", "--port", dir_ + "/tty", "--baud", "19200"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<std::string> env = env_;
    env.insert(env.end(), extra.begin(), extra.end());
    return StartProgram(BuiltProgram("kova"), all, env, "", err_path);
  }
  // Ctrl-C (or `signal`) to a program Spawn started; it must end as
  // interrupted by it (128 + the signal: 130 for Ctrl-C).
  void Interrupt(pid_t pid, int signal = SIGINT) {
    kill(pid, signal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
  }
  ProgramResult Kova(const std::vector<std::string>& args) {
    return RunProgram(BuiltProgram("kova"), args, env_);
  }
  std::string dir_;
  std::vector<std::string> env_;
  std::unique_ptr<SimProcess> sim_;
};

class ModelCli : public DeviceTransferCli, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(ModelCli, DirectoryDownloadResendAndPlans) {
  const ModelCase m = GetParam();
  StartSim({"--model", m.sim, "--tests", "3", "--unpaced"});

  ProgramResult dir = Device({"dir", "--json"});
  ASSERT_EQ(dir.exit_code, 0) << dir.err;
  JsonValue list;
  std::string error;
  ASSERT_TRUE(JsonValue::Parse(dir.out, list, error)) << error;
  ASSERT_EQ(list.Size(), 3u);

  // Names from the prefix, the date without "/" up to its space, the number.
  const std::string out = dir_ + "/tests";
  ProgramResult dl = Device({"download", "1", "3", "-o", out, "--prefix", "T"});
  ASSERT_EQ(dl.exit_code, 0) << dl.err;
  std::vector<std::string> want;
  for (size_t i : {0u, 2u}) {
    std::string date = list.At(i).Find("datetime")->AsString();
    date = date.substr(0, date.find(' '));
    date.erase(std::remove(date.begin(), date.end(), '/'), date.end());
    want.push_back("T-" + date + "-00" + std::to_string(i + 1) + ".tst-kova7k");
  }
  std::sort(want.begin(), want.end());
  ASSERT_EQ(FilesIn(out), want);
  for (const std::string& name : want) {
    TestRecord rec;
    ASSERT_TRUE(ReadRecordFile(rec, PathJoin(out, name), RecordDefaults())) << name;
    EXPECT_EQ(rec.deviceversion, m.deviceversion);
  }
  EXPECT_NE(dl.err.find("(2 of 2)"), std::string::npos) << dl.err;

  ProgramResult rs = Device({"resend", "-o", dir_ + "/RunTest.test"});
  ASSERT_EQ(rs.exit_code, 0) << rs.err;
  TestRecord current;
  ASSERT_TRUE(ReadRecordFile(current, dir_ + "/RunTest.test", RecordDefaults()));
  EXPECT_EQ(current.company, list.At(2).Find("company")->AsString());

  // A plan goes into slot 9 and comes back with the same image.
  const std::string plans = dir_ + "/plans";
  ProgramResult gp = Device({"get-plan", "1", "-o", plans});
  ASSERT_EQ(gp.exit_code, 0) << gp.err;
  kvTestPlan one;
  ASSERT_TRUE(one.Load(plans + "/plan1.plan"));
  EXPECT_EQ(one.devicetype, m.plantype);
  one.company = "SLOT NINE\x1b]0;owned\x07";  // a title-setting sequence in a field
  ASSERT_TRUE(one.Save(dir_ + "/nine.plan"));
  ProgramResult pp = Device({"put-plan", dir_ + "/nine.plan", "9"});
  ASSERT_EQ(pp.exit_code, 0) << pp.err;
  ASSERT_EQ(Device({"get-plan", "9", "-o", plans}).exit_code, 0);
  const ProgramResult sent = Kova({"plan", "hex", dir_ + "/nine.plan"});
  const ProgramResult back = Kova({"plan", "hex", plans + "/plan9.plan"});
  ASSERT_EQ(sent.exit_code, 0);
  EXPECT_EQ(back.out, sent.out);
  ProgramResult pdir = Device({"dir", "--plans"});
  // The listing shows the instrument's control bytes, never sends them.
  EXPECT_NE(pdir.out.find("SLOT NINE\\x1B]0;owned\\x07"), std::string::npos) << pdir.out;
  EXPECT_EQ(pdir.out.find('\x1b'), std::string::npos) << pdir.out;

  EXPECT_EQ(Device({"panel"}).exit_code, 0);
}

INSTANTIATE_TEST_SUITE_P(AllModels, ModelCli,
                         ::testing::Values(ModelCase{"7100", 1, 0}, ModelCase{"7100B", 2, 2},
                                           ModelCase{"R5", 3, 1}, ModelCase{"7KA", 4, 4}),
                         [](const auto& info) { return std::string("M") + info.param.sim; });

TEST_F(DeviceTransferCli, ExistingFilesFollowTheFlags) {
  StartSim({"--model", "7100", "--tests", "2", "--unpaced"});
  const std::string out = dir_ + "/o";
  ASSERT_EQ(Device({"download", "--all", "-o", out, "--prefix", ""}).exit_code, 0);
  const std::vector<std::string> names = FilesIn(out);
  ASSERT_EQ(names.size(), 2u);
  WriteFileAtomically(PathJoin(out, names[0]), std::string("mine"));

  // No terminal and no flag: the question is asked, nobody answers, nothing
  // is replaced.
  ProgramResult asked = Device({"download", "--all", "-o", out, "--prefix", ""});
  EXPECT_NE(asked.exit_code, 0);
  EXPECT_NE(asked.err.find("KOVA-7100: Overwrite file " + names[0]), std::string::npos);
  EXPECT_EQ(Slurp(PathJoin(out, names[0])), "mine");

  ProgramResult skip = Device({"download", "--all", "-o", out, "--prefix", "", "--skip-existing"});
  EXPECT_EQ(skip.exit_code, 0) << skip.err;
  EXPECT_EQ(Slurp(PathJoin(out, names[0])), "mine");

  ProgramResult over = Device({"download", "1", "-o", out, "--prefix", "", "--overwrite"});
  EXPECT_EQ(over.exit_code, 0) << over.err;
  TestRecord rec;
  EXPECT_TRUE(ReadRecordFile(rec, PathJoin(out, names[0]), RecordDefaults()));
  EXPECT_EQ(over.out, PathJoin(std::filesystem::absolute(out).string(), names[0]) + "\n");

  ProgramResult missing = Device({"download", "5", "-o", out});
  EXPECT_NE(missing.exit_code, 0);
  EXPECT_NE(missing.err.find("Test 5 is not in the instrument's directory"), std::string::npos);
}

TEST_F(DeviceTransferCli, RunWithConnectPromptAndEnter) {
  StartSim({"--model", "7100B", "--tests", "1", "--unpaced"});
  const std::string plans = dir_ + "/p";
  ASSERT_EQ(Device({"get-plan", "2", "-o", plans}).exit_code, 0);
  // Slot 2 holds a plan of two taps: two CONNECT prompts, two Enters.
  ProgramResult run = Device({"run", plans + "/plan2.plan", "-o", dir_ + "/run.test"}, "\n\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("CONNECT TEST LEADS TO"), std::string::npos);
  EXPECT_NE(run.err.find("** Press continue after connecting cables\n*** Press abort to cancel "
                         "test and discard data"),
            std::string::npos);
  TestRecord rec;
  ASSERT_TRUE(ReadRecordFile(rec, dir_ + "/run.test", RecordDefaults()));
  EXPECT_EQ(rec.deviceversion, 2);
  EXPECT_EQ(rec.numtests, 2);

  // Without anyone at the keyboard the run stops at the cables.
  ProgramResult blind = Device({"run", plans + "/plan2.plan", "-o", dir_ + "/blind.test"});
  EXPECT_NE(blind.exit_code, 0);
  EXPECT_FALSE(FileExists(dir_ + "/blind.test"));
}

TEST_F(DeviceTransferCli, R5PlanOfThreeTapsGivesOneRecord) {
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
  ASSERT_TRUE(plan.Save(dir_ + "/r5.plan"));
  ProgramResult run = Device({"run", dir_ + "/r5.plan", "-o", dir_ + "/r5.test", "--yes"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("Executing test #3"), std::string::npos);
  EXPECT_NE(run.err.find("PRESS ENTER TO START - OK (--yes)"), std::string::npos) << run.err;
  TestRecord rec;
  ASSERT_TRUE(ReadRecordFile(rec, dir_ + "/r5.test", RecordDefaults()));
  EXPECT_EQ(rec.deviceversion, 1);
  EXPECT_EQ(rec.numtests, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(rec.taps[i].nTapConnection, i + 1);
}

// Ctrl-C in the data phase: ESC, the pause, the reconnect, no record.
TEST_F(DeviceTransferCli, InterruptInTheDataPhase) {
  StartSim({"--model", "7100B", "--tests", "1", "--baud", "19200"});
  const std::string plans = dir_ + "/p";
  ASSERT_EQ(Device({"--baud", "19200", "get-plan", "3", "-o", plans}).exit_code, 0);
  const std::string err_path = dir_ + "/run.err";
  WriteFileAtomically(dir_ + "/run.test", std::string("earlier"));
  const pid_t pid = Spawn(
      {"run", plans + "/plan3.plan", "-o", dir_ + "/run.test", "--yes", "--overwrite"}, err_path);
  ASSERT_GT(pid, 0);
  // The last progress line of the one tap, then the record starts.
  bool seen = false;
  for (int i = 0; i < 1000 && !seen; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    seen = Slurp(err_path).find("COMPLETE") != std::string::npos;
  }
  ASSERT_TRUE(seen) << Slurp(err_path);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Interrupt(pid);
  if (HasFatalFailure()) return;
  const std::string err = Slurp(err_path);
  EXPECT_NE(err.find("Test aborted"), std::string::npos) << err;
  EXPECT_EQ(err.find("Error reading data from device"), std::string::npos) << err;
  EXPECT_EQ(Slurp(dir_ + "/run.test"), "earlier");
  // The instrument is usable again afterwards.
  const ProgramResult again = Device({"--baud", "19200", "dir"});
  EXPECT_EQ(again.exit_code, 0) << again.err;
}

// SIGTERM (as Ctrl-C) while the first record of a five-test download comes
// in: the batch ends at once, no partial file is left, the summary says how
// far it came, and the instrument answers the next command. (ESC is the instrument's
// word for a running test only; a record being sent is simply not read on.)
TEST_F(DeviceTransferCli, InterruptMidDownloadLeavesNoFile) {
  StartSim({"--model", "7100B", "--tests", "5", "--baud", "19200"});
  const std::string out = dir_ + "/o", trace_dir = dir_ + "/trace";
  ASSERT_TRUE(MakeFolders(out));
  ASSERT_TRUE(MakeFolders(trace_dir));
  const std::string err_path = dir_ + "/dl.err", trace = trace_dir + "/serial.txt";
  const pid_t pid =
      Spawn({"download", "--all", "-o", out}, err_path, {"KOVA_TRACE_DIR=" + trace_dir});
  ASSERT_GT(pid, 0);
  // The record request has gone out and a good part of the record is in.
  size_t request = std::string::npos;
  std::string sent;
  for (int i = 0; i < 1500; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sent = Slurp(trace);
    request = sent.find("SEND:R");
    if (request != std::string::npos && sent.size() > request + 3000) break;
  }
  ASSERT_NE(request, std::string::npos) << Slurp(err_path);
  Interrupt(pid, SIGTERM);
  if (HasFatalFailure()) return;
  const std::string err = Slurp(err_path);
  EXPECT_NE(err.find("Download aborted: 0 of 5 saved"), std::string::npos) << err;
  EXPECT_EQ(err.find("Error reading data from device"), std::string::npos) << err;
  EXPECT_TRUE(FilesIn(out).empty());
  // The instrument answers the next command.
  const ProgramResult again = Device({"--baud", "19200", "dir"});
  EXPECT_EQ(again.exit_code, 0) << again.err;
}

TEST_F(DeviceTransferCli, SimulatorFaultsGiveTheirMessages) {
  StartSim({"--model", "7100B", "--tests", "2", "--unpaced", "--fault", "silent"});
  ProgramResult silent = Device({"dir"});
  EXPECT_NE(silent.exit_code, 0);
  EXPECT_NE(silent.err.find("KOVA-7100: Device not available"), std::string::npos) << silent.err;

  StartSim({"--model", "7100B", "--tests", "2", "--unpaced", "--fault", "not-found"});
  const std::string out = dir_ + "/o";
  ProgramResult nf = Device({"download", "2", "-o", out});
  EXPECT_NE(nf.exit_code, 0);
  EXPECT_NE(nf.err.find("KOVA-7100: Can't load test 2, test 002 not found"), std::string::npos)
      << nf.err;

  // The output stops for good 6000 bytes in: inside the first record.
  StartSim({"--model", "7100B", "--tests", "2", "--unpaced", "--fault", "stall=6000"});
  ProgramResult stall = Device({"resend", "-o", dir_ + "/stalled.test"});
  EXPECT_NE(stall.exit_code, 0);
  EXPECT_NE(stall.err.find("KOVA-7100: Error reading data from device"), std::string::npos)
      << stall.err;
  EXPECT_FALSE(FileExists(dir_ + "/stalled.test"));
  EXPECT_TRUE(FilesIn(out).empty());

  StartSim({"--model", "R5", "--tests", "1", "--unpaced", "--fault", "corrupt-prompt"});
  ASSERT_EQ(Device({"get-plan", "1", "-o", dir_ + "/p"}).exit_code, 0);
  ProgramResult corrupt = Device({"run", dir_ + "/p/plan1.plan", "-o", dir_ + "/c.test", "--yes"});
  EXPECT_NE(corrupt.exit_code, 0);
  EXPECT_NE(corrupt.err.find("KOVA-7100: TEST PLAN CORRUPT - CHECKSUM ERROR"), std::string::npos)
      << corrupt.err;
  EXPECT_FALSE(FileExists(dir_ + "/c.test"));

  StartSim({"--model", "7100B", "--tests", "1", "--unpaced", "--fault", "wrong-model"});
  kvTestPlan plan;
  plan.devicetype = kPlanKova7100BC;
  ASSERT_TRUE(plan.Save(dir_ + "/b.plan"));
  // A device that names no KOVA model is not taken for one.
  ProgramResult wrong = Device({"put-plan", dir_ + "/b.plan", "4"});
  EXPECT_NE(wrong.exit_code, 0);
  EXPECT_NE(wrong.err.find("KOVA-7100: The device that answers is no KOVA instrument: \"ACME"),
            std::string::npos)
      << wrong.err;
  ProgramResult foreign_dl = Device({"download", "1", "-o", dir_ + "/f"});
  EXPECT_NE(foreign_dl.exit_code, 0);
  EXPECT_TRUE(FilesIn(dir_ + "/f").empty());
}

// Checked before the instrument is asked anything: plan numbers outside the
// slots, a prefix that leads out of the folder, and the record file of a run.
TEST_F(DeviceTransferCli, WrongArgumentsStopBeforeTheInstrumentStarts) {
  StartSim({"--model", "7100B", "--tests", "1", "--plans", "1", "--unpaced"});
  const std::string plans = dir_ + "/plans";
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"get-plan", "0", "-o", plans}, "Plan number 0 is out of range (1 to 128)"},
      {{"get-plan", "999", "-o", plans}, "Plan number 999 is out of range (1 to 128)"},
      {{"download", "1", "-o", plans, "--prefix", "../../x"}, "may not contain a folder separator"},
      {{"run", dir_ + "/none.plan", "-o", dir_ + "/r.test"}, "Unable to load test plan"},
  };
  for (const auto& c : cases) {
    ProgramResult r = Device(c.args);
    EXPECT_NE(r.exit_code, 0) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  ASSERT_EQ(Device({"get-plan", "1", "-o", plans}).exit_code, 0);
  WriteFileAtomically(dir_ + "/r.test", std::string("earlier"));
  const struct {
    std::string out;
    const char* message;
  } places[] = {
      {dir_ + "/r.test", "exists; give --overwrite to replace it"},
      {dir_ + "/nodir/r.test", "does not exist"},
  };
  for (const auto& p : places) {
    ProgramResult r = Device({"run", plans + "/plan1.plan", "-o", p.out, "--yes"});
    EXPECT_NE(r.exit_code, 0);
    EXPECT_NE(r.err.find(p.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("CONNECT"), std::string::npos) << r.err;  // the test never started
  }
  EXPECT_EQ(Slurp(dir_ + "/r.test"), "earlier");
}

}  // namespace
}  // namespace kova
