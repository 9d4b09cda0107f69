#include "gui/plan_run.h"

#include <QApplication>

#include "app/run_session.h"
#include "base/prompter.h"
#include "device/rud_device.h"
#include "gui/device/transfer_dialog.h"
#include "records/test_record.h"

namespace kova {

bool RunPlanOnInstrument(RudDevice& device, kvTestPlan& plan, TestRecord& result) {
  // One run at a time on the one connection: a request that arrives while
  // a run is under way (a click delivered to Edit Test past the modal
  // transfer window) starts nothing. Only the window's thread gets here.
  static bool running = false;
  if (running) return false;
  running = true;
  struct Done {
    ~Done() { running = false; }
  } done;
  // The run goes through the transfer window, modal over the dialog that
  // asked for it (Edit Test): that dialog can be neither used nor closed
  // while the instrument measures, and Abort and Continue are at hand.
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = QApplication::activeWindow();
  TransferDialog transfer(parent);
  RunSession run(device, plan, transfer);
  run.saveresult = false;
  transfer.BindRun(run);
  if (transfer.Run() != QDialog::Accepted) return false;
  result = run.record();
  return true;
}

int ConnectedModelBehindWait(RudDevice& device, Prompter& prompter) {
  int code = -1;
  device.ResetCancel();
  prompter.RunWaiting("Looking for the instrument ...\r\rPlease wait.", [&] {
    code = device.QuietModelProbe();
    return code >= 0;
  });
  return code;
}

}  // namespace kova
