#include "app/setup_model.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

}  // namespace

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
  if (numbered_ports) {
    v.portindex = std::min(std::max(info.comport - 1, 0), static_cast<int>(ports.size()) - 1);
  } else {
    const std::string current =
        info.comportname.empty() ? NamedPortOf(info.comport) : info.comportname;
    auto it = std::find(ports.begin(), ports.end(), current);
    if (it == ports.end()) it = ports.insert(ports.begin(), current);
    v.portindex = static_cast<int>(it - ports.begin());
  }
  v.ports = std::move(ports);
  return v;
}

SetupResult ApplySetup(const SetupValues& v, bool numbered_ports, AppSettings& settings,
                       CAppInfo& info, SettingsStore& store) {
  SetupResult result;
  const bool have_port = v.portindex >= 0 && static_cast<size_t>(v.portindex) < v.ports.size();
  if (numbered_ports) {
    if (have_port) info.comport = v.portindex + 1;
    info.comportname.clear();  // the number chosen here is what the link uses
  } else if (have_port) {
    const std::string& name = v.ports[static_cast<size_t>(v.portindex)];
    const int number = NumberOfNamedPort(name);
    if (number > 0) {
      info.comport = number;
      info.comportname.clear();
    } else {
      info.comportname = name;
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
