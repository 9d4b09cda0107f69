#include "gui/plan_run.h"

#include <QTimer>

#include "app/run_session.h"
#include "base/prompter.h"
#include "device/transfer_observer.h"
#include "records/test_record.h"

namespace kova {

bool RunPlanOnInstrument(RudDevice& device, Prompter& prompter, kvTestPlan& plan,
                         TestRecord& result) {
  TransferObserver quiet;
  RunSession run(device, plan, quiet);
  run.saveresult = false;
  // The run pumps the window's events while it waits for the cables; the
  // timer asks the user from there, one question at a time.
  bool asking = false;
  QTimer poll;
  poll.setInterval(100);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (asking || !run.waiting() || run.aborted()) return;
    asking = true;
    const Answer a =
        prompter.Message(kDeviceCaption, kConnectPrompt, Buttons::OkCancel, Icon::Information);
    if (a == Answer::Ok) {
      run.Continue();
    } else {
      run.Abort();
    }
    asking = false;
  });
  poll.start();
  const bool ok = run.RunTest();
  poll.stop();
  if (ok) result = run.record();
  return ok;
}

}  // namespace kova
