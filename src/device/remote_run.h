#pragma once
// A remote test run: the plan goes to the instrument with "T314", the
// instrument runs it at once, its progress lines and prompts reach the user
// through the observer (with the Continue button after each "CONNECT" line),
// and the measured record text becomes the run's record, which Keep() hands
// to the layer that saves it (as "RunTest.test", app/run_session.h). A KOVA-R5 measures one tap per
// run: a plan of N taps is run N times, one tap block at a time, and the results are joined into
// one record.
//
// Abort works in every state that waits. It ends the run with ESC to the
// instrument, a 3 s pause and a reconnect; no record file is written.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/transfer_observer.h"
#include "records/test_record.h"

namespace kova {

class RudDevice;
class kvTestPlan;
struct TestRecord;

// Texts the run shows.
constexpr const char* kConnectPrompt =
    "** Press continue after connecting cables\r*** Press abort to cancel test and discard data";
constexpr const char* kRunResultFile = "RunTest.test";
constexpr const char* kRunCommand = "T314";

class RemoteRun {
 public:
  static constexpr int kProgressTimeoutMs = 180000;  // per byte of a progress line
  static constexpr uint32_t kAbortPauseMs = 3000;

  // Why the run ended the way it did.
  enum class Outcome {
    kNone,  // not run yet
    kSuccess,
    kUploadFailed,  // the upload's message was shown
    kAborted,       // Abort, Cancel at the prompt, or a missing or corrupt prompt
    kLineMissing,   // the instrument stopped talking ("Error reading data from device")
    kGarbled,       // the record text did not decode
    kWriteFailed,   // the record file could not be written (nothing shown)
  };

  // `plan` belongs to the caller; for a KOVA-R5 the run changes its image and
  // number of taps.
  RemoteRun(RudDevice& device, kvTestPlan& plan, TransferObserver& observer);
  virtual ~RemoteRun();
  RemoteRun(const RemoteRun&) = delete;
  RemoteRun& operator=(const RemoteRun&) = delete;

  // Runs the plan; true when the record arrived (and Keep took it).
  bool RunTest();

  // The Abort button (any thread): stops the read in progress and the run.
  void Abort();
  // The Continue button (any thread): the cables are connected. The run
  // answers the instrument on its own thread.
  void Continue();
  bool waiting() const { return waiting_; }
  bool aborted() const { return abort_; }

  TestRecord& record() { return *record_; }
  RudDevice& device() { return device_; }
  Outcome outcome() const { return outcome_; }

  // A real sleep: the slices of the wait for Continue and the pause of the
  // abort ending. Tests replace it; the default wakes early on Abort in the
  // wait for Continue.
  std::function<void(uint32_t ms)> pause;

  // The user's preferences the record is decoded with.
  RecordDefaults defaults;

 protected:
  // The finished record; false when it could not be kept (the run then
  // ends with kWriteFailed). The run itself keeps it in record().
  virtual bool Keep(TestRecord& rec) {
    (void)rec;
    return true;
  }

 private:
  bool RunOnce(int run, bool r5, bool join);
  bool ReadPrompts();
  bool ReadProgress();
  bool ReadData();
  void JoinTaps();
  void AbortEnding();
  bool Fail(Outcome outcome);

  RudDevice& device_;
  kvTestPlan& plan_;
  TransferObserver& observer_;
  std::unique_ptr<TestRecord> record_;
  struct KeptTap;  // a KOVA-R5 run's result for one tap
  std::vector<KeptTap> kept_;
  std::string text_;
  std::atomic<bool> abort_{false};
  std::atomic<bool> continued_{false};
  int run_ = 0, runs_ = 1;
  std::atomic<bool> waiting_{false};
  Outcome outcome_ = Outcome::kNone;
};

}  // namespace kova
