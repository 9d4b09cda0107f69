#pragma once
// A remote test run whose record is saved, as the "Run Test" command and
// the transfer window in run mode want it: the run of the device layer, then
// the one save operation (record file, then the automatic export) into
// `result_path`, "RunTest.test" unless the caller names another file.

#include <string>

#include "device/remote_run.h"

namespace kova {

class RecordExporter;

class RunSession : public RemoteRun {
 public:
  RunSession(RudDevice& device, kvTestPlan& plan, TransferObserver& observer,
             RecordExporter* exporter = nullptr)
      : RemoteRun(device, plan, observer), exporter_(exporter) {}

  // Save the record at the end (default); when off, the caller takes
  // record().
  bool saveresult = true;
  std::string result_path = kRunResultFile;

 protected:
  bool Keep(TestRecord& rec) override;

 private:
  RecordExporter* exporter_;
};

}  // namespace kova
