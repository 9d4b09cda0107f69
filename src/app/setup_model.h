#pragma once
// The "Application Setup" dialog's values and rules: copied from the two
// settings objects when the dialog opens, applied and stored only at OK.
// The dialog itself only shows these values and hands them back.

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/auto_export.h"  // kReportTemplateName
#include "app/settings_store.h"

namespace kova {

constexpr const char* kSetupFrequencies[] = {"60 Hz", "50 Hz"};
constexpr const char* kSetupDateFormats[] = {"(US) MM/DD/YY", "(EU) DD/MM/YY"};
constexpr const char* kSetupSpeeds[] = {"19200", "115200"};
constexpr const char* kLogoHint = "Image Size (1000 x 100 pixels) BMP file only";
constexpr const char* kUsbHint = "For KOVA-7100C, Always disable USB and select COM Port";

struct SetupValues {
  std::vector<std::string> ports;  // the "COM Port:" list
  int portindex = 0;
  int comspeed = 1;  // shown, not editable
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

// The "COM Port:" list. Where ports are numbered (Windows) "COM1:" to
// "COM100:"; elsewhere the system's serial ports followed by the configured
// extra names, each once.
std::vector<std::string> SetupPortList(bool numbered_ports, const std::vector<std::string>& system,
                                       const std::vector<std::string>& extra);

// The dialog's values from the settings. The selected port is the one the
// serial link would use next: its name when one is stored, else the number.
// A current port missing from a named list is put at its top.
SetupValues LoadSetup(const AppSettings& settings, const CAppInfo& info,
                      std::vector<std::string> ports, bool numbered_ports);

struct SetupResult {
  bool template_touched = false;
  int orientation = 0;  // the printer default to set
};

// OK: takes the values back into the settings objects, stores them, and
// renews the report template's modification time when the logo changed.
// The chosen port is what the link uses next: a port name learnt by an
// earlier search does not win over it. The caller then closes the serial
// port so that it reopens with the new settings, and makes `filepath` the
// current folder.
SetupResult ApplySetup(const SetupValues& values, bool numbered_ports, AppSettings& settings,
                       CAppInfo& info, SettingsStore& store);

// Rewrites the first byte of the report template below `install_dir` so
// that its modification time changes; false (silently) when it cannot.
bool TouchReportTemplate(const std::string& install_dir);

}  // namespace kova
