#include "app/setup_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"

namespace kova {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

// The system name of a numbered port where ports have names.
std::string NamedPortOf(int number) { return Format("/dev/ttyS%d", std::max(number - 1, 0)); }

// "/dev/ttySn" back to its port number n + 1; 0 for any other name.
int NumberOfNamedPort(const std::string& name) {
  const char* prefix = "/dev/ttyS";
  const size_t n = std::strlen(prefix);
  if (name.compare(0, n, prefix) != 0 || name.size() == n || name.size() > n + 3) return 0;
  int value = 0;
  for (size_t i = n; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    value = value * 10 + (name[i] - '0');
  }
  return value + 1;
}

// "COMn" or "COMn:" (any case) back to n; 0 for any other name.
int NumberOfComName(const std::string& name) {
  std::string text = name;
  if (!text.empty() && text.back() == ':') text.pop_back();
  if (text.size() < 4 || text.size() > 7) return 0;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return 0;
  int value = 0;
  for (size_t i = 3; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// The port number a name stands for where ports are numbered or named this
// way; 0 when the name is kept as a name.
int NumberOfPort(const std::string& name, bool numbered_ports) {
  return numbered_ports ? NumberOfComName(name) : NumberOfNamedPort(name);
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

CommControls CommControlsFor(bool autodetect) {
  CommControls c;
  c.port_typed = true;
  c.speed = !autodetect;
  return c;
}

std::string ChosenPort(const SetupValues& v) {
  const bool selected = v.portindex >= 0 && static_cast<size_t>(v.portindex) < v.ports.size();
  const size_t index = selected ? static_cast<size_t>(v.portindex) : 0;
  if (CommControlsFor(v.autodetect).port_typed) {
    const std::string typed = Trimmed(v.porttext);
    const bool label = selected && index < v.port_labels.size() && typed == v.port_labels[index];
    if (!typed.empty() && !label) return typed;
  }
  return selected ? v.ports[index] : "";
}

std::string SetupProblem(const SetupValues& v) {
  if (!CommControlsFor(v.autodetect).port_typed) return "";
  const std::string port = ChosenPort(v);
  if (port.empty()) return "Please enter the name of the port the instrument is connected to.";
  if (port.size() > kMaxPortNameChars)
    return Format("The port name is too long (at most %d characters).",
                  static_cast<int>(kMaxPortNameChars));
  for (const char c : port)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
      return "The port name holds a control character; please type it again.";
  return "";
}

namespace {

// True when `folder` is there now; else the user has been told why not.
bool FolderReady(const std::string& folder, const char* what, Prompter& prompter) {
  if (folder.empty()) {
    prompter.Message(kDeviceCaption, Format("Please choose the folder for the %s.", what),
                     Buttons::Ok, Icon::Warning);
    return false;
  }
  if (FolderExists(folder)) return true;
  const std::string name = SystemNameToCp1252(folder);
  if (FileExists(folder)) {
    prompter.Message(kDeviceCaption,
                     Format("%s is a file, not a folder; please choose the folder for the %s.",
                            name.c_str(), what),
                     Buttons::Ok, Icon::Warning);
    return false;
  }
  if (prompter.Message(
          kDeviceCaption,
          Format("The folder for the %s, %s, does not exist. Create it?", what, name.c_str()),
          Buttons::YesNo, Icon::Question) != Answer::Yes)
    return false;
  if (MakeFolders(folder) && FolderExists(folder)) return true;
  prompter.Message(kDeviceCaption,
                   Format("The folder %s could not be created. Check the name and that you may "
                          "write there, or choose another folder.",
                          name.c_str()),
                   Buttons::Ok, Icon::Warning);
  return false;
}

}  // namespace

SetupFolder PrepareSetupFolders(const SetupValues& values, Prompter& prompter) {
  if (!FolderReady(values.filepath, "test records", prompter)) return SetupFolder::kRecords;
  if (!FolderReady(values.planpath, "test plans", prompter)) return SetupFolder::kPlans;
  return SetupFolder::kNone;
}

std::vector<std::string> SetupPortList(bool numbered_ports, const std::vector<std::string>& system,
                                       const std::vector<std::string>& extra) {
  std::vector<std::string> ports;
  if (numbered_ports) {
    for (int i = 1; i <= 100; ++i) ports.push_back(Format("COM%d:", i));
    return ports;
  }
  for (const auto& list : {system, extra})
    for (const std::string& name : list)
      if (!name.empty() && !Contains(ports, name)) ports.push_back(name);
  return ports;
}

std::string PortLabel(const SystemPort& port) {
  std::string label = port.name;
  std::string about = port.description;
  if (!port.manufacturer.empty() && about.find(port.manufacturer) == std::string::npos)
    about += (about.empty() ? "" : ", ") + port.manufacturer;
  if (port.vendor_id >= 0 && port.product_id >= 0) {
    about += Format("%sUSB %04x:%04x", about.empty() ? "" : " (", port.vendor_id & 0xffff,
                    port.product_id & 0xffff);
    if (!port.description.empty() || !port.manufacturer.empty()) about += ")";
  }
  if (!about.empty()) label += " - " + about;
  return label;
}

std::vector<std::string> SetupPortLabels(const std::vector<std::string>& ports,
                                         const std::vector<SystemPort>& details) {
  std::vector<std::string> labels;
  for (const std::string& name : ports) {
    auto it = std::find_if(details.begin(), details.end(),
                           [&name](const SystemPort& p) { return p.name == name; });
    labels.push_back(it == details.end() ? name : PortLabel(*it));
  }
  return labels;
}

SetupValues LoadSetup(const AppSettings& settings, const CAppInfo& info,
                      std::vector<std::string> ports, bool numbered_ports) {
  SetupValues v;
  v.usb = info.usbactive != 0;
  v.orientation = info.orientation;
  v.filepath = info.filepath;
  v.planpath = info.planpath;
  v.comspeed = info.comspeed;
  v.frequency = info.frequency;
  v.dateformat = info.dateformat;
  v.taporder = info.taporder;
  v.logo = settings.AppLogo;
  v.exportexcel = settings.AutoExportExcel != 0;
  v.exportxml = settings.AutoExportXml != 0;
  v.exportpdf = settings.AutoExportPdf != 0;
  v.autodetect = settings.DeviceAutoDetect != 0;
  // A "COMn" name stored where ports are numbered stands for its number.
  const bool use_name =
      !info.comportname.empty() && NumberOfPort(info.comportname, numbered_ports) == 0;
  std::string current = use_name         ? info.comportname
                        : numbered_ports ? Format("COM%d:", std::max(info.comport, 1))
                                         : NamedPortOf(info.comport);
  auto it = std::find(ports.begin(), ports.end(), current);
  if (it == ports.end()) it = ports.insert(ports.begin(), current);
  v.portindex = static_cast<int>(it - ports.begin());
  v.ports = std::move(ports);
  v.port_labels = v.ports;
  v.porttext.clear();  // nothing typed yet: the selection is the current port
  return v;
}

SetupResult ApplySetup(const SetupValues& v, bool numbered_ports, AppSettings& settings,
                       CAppInfo& info, SettingsStore& store) {
  SetupResult result;
  const std::string port = ChosenPort(v);
  if (!port.empty()) {
    const int number = NumberOfPort(port, numbered_ports);
    if (number > 0) {
      info.comport = number;
      info.comportname.clear();  // the number chosen here is what the link uses
    } else {
      info.comportname = port;
    }
  }
  info.orientation = OrientationFromCode(v.orientation);
  info.filepath = v.filepath;
  info.planpath = v.planpath;
  info.usbactive = v.usb ? 1 : 0;
  info.comspeed = v.comspeed;
  info.baud = SpeedFromSelector(v.comspeed);
  info.frequency = FrequencyFromCode(v.frequency);
  info.dateformat = DateOrderFromCode(v.dateformat);
  info.taporder = v.taporder;
  info.logofile = v.logo;

  const std::string old_logo = settings.AppLogo;
  settings.AppLogo = v.logo;
  if (old_logo != settings.AppLogo)
    result.template_touched = TouchReportTemplate(settings.InstallDir);

  settings.AutoExportXml = v.exportxml ? 1 : 0;
  settings.AutoExportExcel = v.exportexcel ? 1 : 0;
  settings.AutoExportPdf = v.exportpdf ? 1 : 0;
  settings.ComPort = info.comport;
  result.orientation = info.orientation;

  info.Save(store);
  settings.DeviceAutoDetect = v.autodetect ? 1 : 0;
  SaveAppSettings(settings, store);
  store.Flush();
  return result;
}

bool TouchReportTemplate(const std::string& install_dir) {
  const std::string path = PathJoin(install_dir, kReportTemplateName);
  // In-place update of one byte on purpose: only the modification time is
  // meant to change, the template's content stays as it is.
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (f == nullptr) return false;
  unsigned char first = 0;
  bool ok = std::fread(&first, 1, 1, f) == 1;
  if (ok) ok = std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(&first, 1, 1, f) == 1;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace kova
