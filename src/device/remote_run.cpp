#include "device/remote_run.h"

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include "analysis/compute_derived.h"
#include "analysis/read_record.h"
#include "base/format.h"
#include "base/prompter.h"
#include "device/command_set.h"
#include "device/line_text.h"
#include "device/record_reply.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "plans/test_plan.h"
#include "records/test_record.h"

namespace kova {
namespace {

// A reply that broke off or does not decode.
const DeviceStatus kReadError = DeviceStatus::With(DeviceCode::kGarbled, "device");

// A KOVA-R5 record holds one test block per run: 212 bytes at 174.
constexpr size_t kR5BlockOffset = 174;
constexpr size_t kR5BlockSize = 212;
// The KOVA-R5 plan image: 32-byte tap blocks from 128; the test flags are
// byte 5 of a block, bit 1 the winding-resistance test.
constexpr size_t kPlanTapBase = 128;
constexpr size_t kR5PlanTapBlock = 32;
constexpr size_t kPlanTestFlags = kPlanTapBase + 5;
constexpr uint8_t kResistanceFlag = 0x02;

}  // namespace

struct RemoteRun::KeptTap {
  std::array<uint8_t, kR5BlockSize> block{};
  std::array<GraphPoint, kGraphPointsPerTap> graph{};
};

RemoteRun::RemoteRun(RudDevice& device, kvTestPlan& plan, TransferObserver& observer)
    : pause([](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      device_(device),
      plan_(plan),
      observer_(observer),
      record_(std::make_unique<TestRecord>()) {}

RemoteRun::~RemoteRun() = default;

void RemoteRun::Abort() {
  abort_ = true;
  device_.Cancel();
}

void RemoteRun::Continue() {
  // waiting() is false at once, so a second press is not taken for the next
  // prompt; the run answers the instrument on its own thread.
  if (!waiting_) return;
  continued_ = true;
  waiting_ = false;
}

bool RemoteRun::Fail(Outcome outcome) {
  outcome_ = outcome;
  return false;
}

bool RemoteRun::RunTest() {
  device_.ResetCancel();  // a new operation: an old Abort is spent
  abort_ = false;
  waiting_ = false;
  continued_ = false;
  outcome_ = Outcome::kNone;
  kept_.clear();

  // The model is asked once per connection. A KOVA-R5 run keeps layout 1,
  // as the instrument's program always stored it.
  const int code = device_.ModelCode();
  const bool r5 = code == kModelR5;
  if (device_.ForeignDevice()) return Fail(Outcome::kUploadFailed);  // already said
  if (!r5) record_->deviceversion = DeviceVersionOf(ModelFromCodeOr7100(code));

  // A KOVA-R5 measures one tap per run: the plan goes out once per tap with
  // that tap's block in the first place.
  const int taps = plan_.numtests;
  const bool join = r5 && taps >= 1;
  const int runs = join ? taps : 1;
  if (join) {
    plan_.numtests = 1;
    plan_.image[0] = 1;
  }

  bool ok = true;
  runs_ = runs;
  for (int i = 0; i < runs && ok; ++i) {
    run_ = i;
    ok = RunOnce(i, r5, join);
  }
  if (!ok) {
    if (abort_) AbortEnding();
    return false;
  }

  if (join) JoinTaps();
  record_->passfail = plan_.passfail;
  record_->resistance = plan_.resistance;
  record_->classsettings = plan_.classsettings;
  record_->taporder = plan_.taporder;
  // The joined taps and the plan's settings change the derived figures.
  ComputeDerived(*record_);
  if (!Keep(*record_)) return Fail(Outcome::kWriteFailed);
  outcome_ = Outcome::kSuccess;
  return true;
}

bool RemoteRun::RunOnce(int run, bool r5, bool join) {
  text_.clear();
  if (join) {
    observer_.SetStatusText(Format("Executing test #%d", run + 1));
    observer_.Refresh();
    if (run >= 1) {
      std::memmove(plan_.image + kPlanTapBase,
                   plan_.image + kPlanTapBase + kR5PlanTapBlock * static_cast<size_t>(run),
                   kR5PlanTapBlock);
      // Only the first tap keeps its winding-resistance test.
      plan_.image[kPlanTestFlags] &= static_cast<uint8_t>(~kResistanceFlag);
      plan_.image[0] = 1;
    }
  }
  if (!device_.UploadPlan(plan_, kRunCommand))
    return Fail(abort_ ? Outcome::kAborted : Outcome::kUploadFailed);
  if (r5 && !ReadPrompts()) return false;
  if (!ReadProgress()) return false;
  if (!ReadData()) return false;
  if (abort_) return Fail(Outcome::kAborted);
  TextParseOptions parse;
  parse.single_test = r5;
  if (!ReadRecordText(*record_, text_, defaults, parse)) {
    device_.Report(kReadError);
    return Fail(Outcome::kGarbled);
  }
  if (join) {
    KeptTap kept;
    std::memcpy(kept.block.data(), record_->rawrecord + kR5BlockOffset, kR5BlockSize);
    for (int p = 0; p < kGraphPointsPerTap; ++p) kept.graph[p] = record_->taps[0].graph[p];
    kept_.push_back(kept);
  }
  return true;
}

bool RemoteRun::ReadPrompts() {
  Prompter& prompter = device_.prompter();
  std::string first;
  if (!device_.ReadDeviceLine(first, kReplyLineCapacity, kUploadLineTimeoutMs)) {
    abort_ = true;
    device_.Report(DeviceStatus::Numbered(DeviceCode::kPromptUnread, 1));
    return Fail(Outcome::kAborted);
  }
  if (first.find("CORRUPT") != std::string::npos) {
    abort_ = true;
    // The instrument's own words about its plan memory.
    prompter.Message(kDeviceCaption, first);
    return Fail(Outcome::kAborted);
  }
  std::string second;
  if (!device_.ReadDeviceLine(second, kReplyLineCapacity, kUploadLineTimeoutMs)) {
    abort_ = true;
    device_.Report(DeviceStatus::Numbered(DeviceCode::kPromptUnread, 2));
    return Fail(Outcome::kAborted);
  }
  if (prompter.Message(kDeviceCaption, second, Buttons::OkCancel) != Answer::Ok) {
    abort_ = true;
    return Fail(Outcome::kAborted);
  }
  // SendBytes has said why when the answer cannot go out.
  if (!device_.SendText("\r")) return Fail(Outcome::kLineMissing);
  return true;
}

bool RemoteRun::ReadProgress() {
  waiting_ = false;
  if (abort_) return Fail(Outcome::kAborted);
  for (;;) {
    std::string line;
    bool have_line = true;
    if (waiting_ || continued_) {
      // The user connects the cables: wait in short real sleeps; Continue
      // and Abort come from the window's thread.
      if (!continued_) pause(kWaitSliceMs);
      have_line = continued_.exchange(false);  // Continue pressed: an empty line
      if (have_line) {
        observer_.ShowContinue(false);
        if (!device_.SendText("\r")) return Fail(Outcome::kLineMissing);
        observer_.SetPromptText("");
        observer_.Refresh();
      }
    } else if (!device_.ReadDeviceLine(line, kReplyLineCapacity, kProgressTimeoutMs)) {
      device_.Report(kReadError);
      return Fail(abort_ ? Outcome::kAborted : Outcome::kLineMissing);
    }
    if (have_line) {
      if (EqualsNoCase(line, "DATA")) return true;
      const bool connect = StartsWithNoCase(line, "CONNECT");
      observer_.SetLineText(line + "\r\n");
      if (connect) {
        // The button comes last: the window works on another thread, and a
        // Continue shown before its line and prompt would ask for nothing.
        waiting_ = true;
        observer_.SetPromptText(kConnectPrompt);
        observer_.ShowContinue(true);
      }
      observer_.Refresh();
    }
    if (abort_) return Fail(Outcome::kAborted);
  }
}

bool RemoteRun::ReadData() {
  if (abort_) return Fail(Outcome::kAborted);
  TransferProgress progress;
  progress.item = static_cast<size_t>(run_);
  progress.items = static_cast<size_t>(runs_);
  switch (ReadRecordReply(device_, text_, &observer_, progress, [this] { return !abort_; })) {
    case ReplyEnd::kDone:
      return true;
    case ReplyEnd::kStopped:
      return Fail(Outcome::kAborted);
    case ReplyEnd::kLineMissing:
      if (abort_) return Fail(Outcome::kAborted);
      device_.Report(kReadError);
      return Fail(Outcome::kLineMissing);
    case ReplyEnd::kTooLong:
      device_.Report(kReadError);
      return Fail(Outcome::kGarbled);
  }
  return Fail(Outcome::kLineMissing);
}

void RemoteRun::JoinTaps() {
  TestRecord& rec = *record_;
  const int n = static_cast<int>(kept_.size());
  rec.numtests = n;
  rec.rawrecord[4] = static_cast<uint8_t>(n);
  for (int i = 0; i < n; ++i) {
    std::memcpy(rec.rawrecord + kR5BlockOffset + kR5BlockSize * static_cast<size_t>(i),
                kept_[i].block.data(), kR5BlockSize);
    for (int p = 0; p < kGraphPointsPerTap; ++p) rec.taps[i].graph[p] = kept_[i].graph[p];
  }
  // The named fields of every tap, as reading the record file back gives them.
  rec.DecodeRawRecord(rec.rawrecord, RecordDefaults());
}

void RemoteRun::AbortEnding() {
  observer_.SetWaitCursor(true);
  const uint8_t esc = 0x1B;
  // The ESC goes out whatever the token says; then the token is cleared so
  // the reconnect below can talk to the instrument again.
  device_.SendBytes(&esc, 1);
  device_.ResetCancel();
  pause(kAbortPauseMs);
  device_.Reconnect();
  observer_.SetWaitCursor(false);
  outcome_ = Outcome::kAborted;
}

}  // namespace kova
