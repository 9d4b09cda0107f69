#pragma once
// The "Application Setup" dialog's values and rules: copied from the two
// settings objects when the dialog opens, applied and stored only at OK.
// The dialog itself only shows these values and hands them back.

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/auto_export.h"  // kReportTemplateName
#include "app/settings_store.h"
#include "base/prompter.h"
#include "device/serial_backend.h"  // SystemPort

namespace kova {

constexpr const char* kSetupDateFormats[] = {"(US) MM/DD/YY", "(EU) DD/MM/YY"};
constexpr const char* kSetupSpeeds[] = {"19200", "115200"};
constexpr const char* kLogoHint = "Image Size (1000 x 100 pixels) BMP file only";
constexpr const char* kUsbHint = "For KOVA-7100C, Always disable USB and select COM Port";

struct SetupValues {
  std::vector<std::string> ports;  // the "COM Port:" list
  // What the list shows for each port: its name with the system's
  // description and USB ids where the system gives them (system names).
  std::vector<std::string> port_labels;
  int portindex = 0;
  // A port name typed by the user (a port the system does not list, such as
  // a pseudo-terminal); empty while the box shows the selection.
  std::string porttext;
  int comspeed = 1;  // index into kSetupSpeeds
  bool usb = true;
  bool autodetect = true;
  int orientation = 0;  // 0 landscape, 1 portrait
  int frequency = 0;
  int dateformat = 0;
  std::string filepath;
  std::string planpath;
  std::string logo;
  std::string taporder;
  bool exportxml = false;
  bool exportpdf = false;
  bool exportexcel = false;
};

// Which communication controls the user may change. A port name may always
// be typed (with Auto Detect on the link tries it first and searches only
// when nothing answers there). With Auto Detect on the search finds the
// speed, so it is only shown; with it off it is chosen.
struct CommControls {
  bool port_typed = false;
  bool speed = false;
};
CommControls CommControlsFor(bool autodetect);

// The longest port name taken (a device path or a Windows port name).
constexpr size_t kMaxPortNameChars = 260;

// The port the values name: the typed text without surrounding blanks where
// a port may be typed and some was given (the selection's label stands for
// its port), else the list's selection; "" when neither names one.
std::string ChosenPort(const SetupValues& values);

// Why OK cannot take the values, as the user is told; "" when it can. Only
// a typed port name can be wrong: missing, too long or holding control
// characters.
std::string SetupProblem(const SetupValues& values);

// OK with a record or plan folder that does not exist: each is offered to
// be made, and made on Yes. A folder left missing (No), one that cannot be
// made, an empty name or a file's name refuses OK; the user is told why.
enum class SetupFolder { kNone, kRecords, kPlans };
// The folder that keeps the dialog open (kNone: all are there now).
SetupFolder PrepareSetupFolders(const SetupValues& values, Prompter& prompter);

// The "COM Port:" list. Where ports are numbered (Windows) "COM1:" to
// "COM100:"; elsewhere the system's serial ports followed by the configured
// extra names, each once.
std::vector<std::string> SetupPortList(bool numbered_ports, const std::vector<std::string>& system,
                                       const std::vector<std::string>& extra);

// "/dev/ttyUSB0 - FT232R USB UART (USB 0403:6001)": a port as the list
// shows it; only the name where the system says nothing more.
std::string PortLabel(const SystemPort& port);
// The labels of `ports`, each from what the system says of it (`details`).
std::vector<std::string> SetupPortLabels(const std::vector<std::string>& ports,
                                         const std::vector<SystemPort>& details);

// The dialog's values from the settings. The selected port is the one the
// serial link would use next: its name when one is stored (a "COMn" name
// where ports are numbered stands for its number), else the number. A
// current port missing from the list is put at its top.
SetupValues LoadSetup(const AppSettings& settings, const CAppInfo& info,
                      std::vector<std::string> ports, bool numbered_ports);

struct SetupResult {
  bool template_touched = false;
  int orientation = 0;  // the printer default to set
};

// OK: takes the values back into the settings objects, stores them, and
// renews the report template's modification time when the logo changed.
// The chosen port (ChosenPort) and speed are what the link uses next: a
// port name learnt by an earlier search does not win over them. A "COMn"
// name (numbered ports) or "/dev/ttySn" (named ports) is kept as its
// number, any other name as the port name. The caller then closes the serial
// port so that it reopens with the new settings, and makes `filepath` the
// current folder.
SetupResult ApplySetup(const SetupValues& values, bool numbered_ports, AppSettings& settings,
                       CAppInfo& info, SettingsStore& store);

// Rewrites the first byte of the report template below `install_dir` so
// that its modification time changes; false (silently) when it cannot.
bool TouchReportTemplate(const std::string& install_dir);

}  // namespace kova
