#pragma once
// The main window's instrument commands: "Retrieve Test Record From
// Device..." (Ctrl+D), "Resend-Test", "Return Device to Panel Control",
// "Run", and the plan slots' "Upload to Device" and "Download from Device".
// Each connects, shows the dialogs that bind the core's objects, and opens
// the record that came as a document.

#include <QObject>
#include <functional>
#include <string>

namespace kova {

class CAppInfo;
class MainWindow;
class Prompter;
class RecordExporter;
class RudDevice;

constexpr const char* kPlanFileFilter = "Test Plan (*.plan) |*.plan||";
constexpr const char* kUnableToLoadPlanFile = "Unable to load test plan file";

class DeviceCommands : public QObject {
  Q_OBJECT
 public:
  // Adds the commands to `window`; the object lives as the window's child.
  // `exporter` (may be null) runs after each record file written.
  static DeviceCommands* Install(MainWindow& window, RudDevice& device, Prompter& prompter,
                                 CAppInfo& info, RecordExporter* exporter = nullptr);

  void OnTestDirectory();
  void OnResendTest();
  void OnReturnToPanel();
  void OnRunTest();
  void OnUploadPlan();
  void OnDownloadPlan();

 private:
  DeviceCommands(MainWindow& window, RudDevice& device, Prompter& prompter, CAppInfo& info,
                 RecordExporter* exporter);
  // The plan file dialog and loading; false (with the message) when none
  // was loaded.
  bool ChoosePlan(class kvTestPlan& plan, std::string& path);
  void OpenResult(const std::string& path);
  // Runs an exchange with the instrument on a worker behind the wait window.
  bool Talk(const std::function<bool()>& exchange);
  // Asks before "RunTest.test" is replaced while it holds a result of this
  // session that was not saved elsewhere; true when it may be replaced.
  bool MayReplaceResult();

  MainWindow& window_;
  RudDevice& device_;
  Prompter& prompter_;
  CAppInfo& info_;
  RecordExporter* exporter_;
  // A resend or run of this session wrote "RunTest.test".
  bool result_unsaved_ = false;
};

}  // namespace kova
