#pragma once
// The simulated KOVA instrument: its stored tests and 128 plan slots, and the
// line protocol the program speaks with it. Transport-neutral: bytes from
// the program go in with Receive, reply bytes come out with TakeOutput, and
// time (milliseconds on any steady clock the caller chooses) moves timed
// steps such as the progress of a test run.
//
// Protocol (commands without terminator, replies end in CR LF):
//   "B"        probe: "ACK" (5 bytes with CR LF)
//   "W"        identification line
//   "d" / "p"  test / plan directory: "#n", a date line, KEY=VALUE, "DONE"
//   "Lnnn"     selects stored test n: "TEST nnn LOADED" or "TEST nnn NOT FOUND"
//   "R"        record text of the selected test, ending "DONE"
//   "xnnn"     plan image of slot n as hex lines, "DONE"
//   "rnnn"     receive a plan into slot n: "READY - GO", the hex image, then
//              two closing lines
//   "T314"     the same handshake, then a test run of the plan: on a KOVA-R5
//              two prompt lines (the second waits for CR), progress lines,
//              "CONNECT ..." waiting for CR before each tap, "DATA", the
//              record text, "DONE"
//   ESC        cancels a run or a plan transfer
//   "X"        back to panel control (no reply)

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "records/test_record.h"
#include "sim/ct_model.h"
#include "sim/record_maker.h"
#include "sim/sim_model.h"

namespace kova {

constexpr int kSimPlanSlots = 128;
constexpr int kSimMaxStoredTests = 999;
constexpr uint8_t kEsc = 0x1B;

// Faults on request, for tests and demonstrations.
struct SimFaults {
  bool silent = false;          // answers nothing at all
  long stall_after = -1;        // output stops for good after this many bytes
  bool garble = false;          // reply bytes are changed on the way
  bool not_found = false;       // every "Lnnn" is answered "NOT FOUND"
  bool corrupt_prompt = false;  // KOVA-R5: the first run prompt reports a corrupt plan
  bool wrong_model = false;     // identifies as a foreign device, without "KOVA"
};

// Reads one "--fault" value: "silent", "stall=N", "garble", "not-found",
// "corrupt-prompt", "wrong-model". False for anything else.
bool ParseSimFault(const std::string& text, SimFaults& faults);

struct SimOptions {
  SimModel model = SimModel::k7100B;
  int tests = 5;  // stored tests at power-up
  uint32_t seed = 1;
  int plans = 3;  // plan slots filled at power-up (slots 1..plans)
  // Pause before each progress line of a run, and the measuring time of a tap.
  uint32_t step_ms = 0;
  SimFaults faults;
};

class SimInstrument {
 public:
  enum class State {
    kIdle,
    kCommandDigits,  // collecting the digits of "Lnnn", "xnnn", "rnnn", "T314"
    kReceivingImage,
    kPromptWait,   // KOVA-R5: waiting for CR after the second prompt
    kConnectWait,  // waiting for CR after a "CONNECT" line
    kMeasuring,    // progress lines on their way
  };

  explicit SimInstrument(const SimOptions& options);
  ~SimInstrument();

  // Bytes from the program at `now_ms`.
  void Receive(const uint8_t* data, size_t count, uint32_t now_ms);
  void Receive(const std::string& text, uint32_t now_ms) {
    Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size(), now_ms);
  }
  // Lets timed steps happen up to `now_ms`.
  void Advance(uint32_t now_ms);
  // When the next timed step is due, or -1 when none is scheduled.
  int64_t NextStepAt() const;

  // Reply bytes ready to go out, after faults.
  size_t OutputSize() const { return output_.size(); }
  size_t TakeOutput(uint8_t* dest, size_t max);
  std::string TakeAllOutput();

  // Faults can change at any time.
  void SetFaults(const SimFaults& faults) { options_.faults = faults; }
  const SimOptions& options() const { return options_; }
  SimModel model() const { return options_.model; }
  State state() const { return state_; }

  // --- stored data -------------------------------------------------------
  int StoredTestCount() const { return static_cast<int>(tests_.size()); }
  // Stored test n (1-based); null when there is none.
  const TestRecord* StoredTest(int number) const;
  // The plan image in slot n (1..128); empty when the slot is empty.
  const std::vector<uint8_t>& PlanSlot(int slot) const;
  bool StorePlan(int slot, const std::vector<uint8_t>& image);

  // --- what the program did, for tests -------------------------------------
  // Every command recognised, in order ("W", "L007", "T314", "ESC", "CR", ...).
  const std::vector<std::string>& Commands() const { return commands_; }
  // Every byte received.
  const std::string& Received() const { return received_; }
  // The images uploaded with "T314", in order.
  const std::vector<std::vector<uint8_t>>& RunImages() const { return run_images_; }
  int RunsCompleted() const { return runs_completed_; }
  int RunsCancelled() const { return runs_cancelled_; }
  bool PanelControl() const { return panel_control_; }
  // Output bytes produced so far (before a stall cut them).
  long BytesSent() const { return bytes_sent_; }

 private:
  struct Step;
  void HandleByte(uint8_t byte, uint32_t now);
  void StartCommand(uint8_t byte, uint32_t now);
  void FinishDigitsCommand(uint32_t now);
  void FinishImage(uint32_t now);
  void SendLine(const std::string& line);
  void SendText(const std::string& text);
  void Schedule(uint32_t at, const std::string& text, int action);
  void RunStep(const Step& step, uint32_t now);
  void StartRun(uint32_t now);
  void BeginTap(uint32_t now);
  void MeasureCurrentTap(uint32_t now);
  void FinishRun(uint32_t now);
  void CancelRun();
  void SendDirectory(bool plans);
  void SendPlan(int slot);
  std::vector<SimTapPlan> TapsOfImage(const std::vector<uint8_t>& image,
                                      SimTestHeader& header) const;
  std::string RunDateTime() const;

  SimOptions options_;
  CtModel ct_;
  State state_ = State::kIdle;
  std::string pending_;  // command letter and digits so far
  std::string image_hex_;
  size_t image_chars_ = 0;
  bool image_for_run_ = false;
  int image_slot_ = 0;
  std::vector<std::unique_ptr<TestRecord>> tests_;
  std::vector<std::vector<uint8_t>> slots_;
  int selected_ = 0;  // test of the next "R"; 0: the last one made
  std::deque<uint8_t> output_;
  std::deque<Step> steps_;
  std::vector<std::string> commands_;
  std::string received_;
  std::vector<std::vector<uint8_t>> run_images_;
  // The run in progress.
  std::vector<SimTapPlan> run_taps_;
  SimTestHeader run_header_;
  size_t run_tap_ = 0;
  int runs_completed_ = 0;
  int runs_cancelled_ = 0;
  bool panel_control_ = false;
  long bytes_sent_ = 0;
  uint32_t garble_counter_ = 0;
  uint32_t run_counter_ = 0;
};

}  // namespace kova
