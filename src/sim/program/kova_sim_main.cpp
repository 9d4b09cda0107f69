// kova-sim: a simulated KOVA instrument on a pseudo-terminal.
//
//   kova-sim --model 7100|7100B|7100C|R5|7KA --pty-link PATH [--tests N]
//            [--seed S] [--baud B] [--plans N] [--step-ms MS] [--unpaced]
//            [--fault silent|stall=N|garble|not-found|corrupt-prompt|wrong-model]...

#include <signal.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/program_version.h"
#include "program/pty_server.h"
#include "sim/sim_instrument.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop.store(true); }

const char kUsage[] =
    "usage: kova-sim --model 7100|7100B|7100C|R5|7KA --pty-link PATH [--tests N] [--seed S]\n"
    "                [--baud 19200|115200] [--plans N] [--step-ms MS] [--unpaced]\n"
    "                [--fault silent|stall=N|garble|not-found|corrupt-prompt|wrong-model]...\n";

// What `kova-sim --help` prints; the manual page is made from it.
const char kHelp[] =
    "Usage: kova-sim --model MODEL --pty-link PATH [OPTION]...\n"
    "A simulated KOVA instrument on a pseudo-terminal: the companion program\n"
    "talks to it as to a test set on a serial port, so every instrument command\n"
    "can be tried without the hardware. It serves until stopped (Ctrl-C).\n"
    "\n"
    "Options:\n"
    "  --model MODEL     7100, 7100B, 7100C, R5 or 7KA\n"
    "  --pty-link PATH   a link to the pseudo-terminal, made at PATH (the program's\n"
    "                    port, e.g. kova device --port PATH dir)\n"
    "  --tests N         stored tests at power-up (default 5, at most 999)\n"
    "  --seed S          seed of the made-up measurements (default 1)\n"
    "  --baud B          the speed the instrument is set to, 19200 or 115200\n"
    "                    (default 115200)\n"
    "  --plans N         plan slots filled at power-up (default 3)\n"
    "  --step-ms MS      pause before each progress line of a test run\n"
    "  --unpaced         reply at once instead of at the line's byte rate\n"
    "  --fault FAULT     misbehave on purpose (may be repeated): silent,\n"
    "                    stall=N (stop after N bytes), garble, not-found,\n"
    "                    corrupt-prompt (R5), wrong-model\n"
    "  -h, --help        show this help and end\n"
    "      --version     show the program's version and end\n";

bool ReadNumber(const char* text, long min, long max, long& out) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < min || value > max) return false;
  out = value;
  return true;
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "kova-sim: %s\n%s", text.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_NUMERIC, "C");
  kova::SimOptions sim;
  kova::PtyServerOptions pty;
  bool have_model = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("%s\n", kova::kProgramVersion);
      return 0;
    }
    if (arg == "--unpaced") {
      pty.paced = false;
      continue;
    }
    if (i + 1 >= argc) return Fail("missing value after " + arg);
    const char* value = argv[++i];
    long n = 0;
    if (arg == "--model") {
      if (!kova::ParseSimModel(value, sim.model))
        return Fail(std::string("unknown model ") + value);
      have_model = true;
    } else if (arg == "--pty-link") {
      pty.link_path = value;
    } else if (arg == "--tests") {
      if (!ReadNumber(value, 0, kova::kSimMaxStoredTests, n)) return Fail("bad --tests");
      sim.tests = static_cast<int>(n);
    } else if (arg == "--seed") {
      if (!ReadNumber(value, 0, 4294967295L, n)) return Fail("bad --seed");
      sim.seed = static_cast<uint32_t>(n);
    } else if (arg == "--baud") {
      if (!ReadNumber(value, 1200, 230400, n)) return Fail("bad --baud");
      pty.baud = static_cast<int>(n);
    } else if (arg == "--plans") {
      if (!ReadNumber(value, 0, kova::kSimPlanSlots, n)) return Fail("bad --plans");
      sim.plans = static_cast<int>(n);
    } else if (arg == "--step-ms") {
      if (!ReadNumber(value, 0, 60000, n)) return Fail("bad --step-ms");
      sim.step_ms = static_cast<uint32_t>(n);
    } else if (arg == "--fault") {
      if (!kova::ParseSimFault(value, sim.faults))
        return Fail(std::string("unknown fault ") + value);
    } else {
      return Fail("unknown option " + arg);
    }
  }
  if (!have_model) return Fail("--model is required");
  if (pty.link_path.empty()) return Fail("--pty-link is required");

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  kova::SimInstrument instrument(sim);
  kova::PtyServer server(instrument, pty);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "kova-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("kova-sim: %s with %d stored tests on %s (link %s, %d bit/s)\n",
              kova::SimIdentification(sim.model).c_str(), instrument.StoredTestCount(),
              server.SlaveName().c_str(), pty.link_path.c_str(), pty.baud);
  std::fflush(stdout);
  server.Run(g_stop);
  return 0;
}
