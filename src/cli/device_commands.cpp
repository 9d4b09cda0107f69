// kova device [--port NAME | --usb] [--baud 19200|115200] [--no-detect]
//             ping | identify | ports | <transfer commands>
//
// The link is built for each command on the real serial ports and USB. With
// neither --port nor --usb the stored settings decide where the instrument
// is, and the search (when "DeviceAutoDetect" is on) looks on USB and every
// serial port, the configured extra names included, and stores where it
// found it.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>

#include "app/app_settings.h"
#include "base/codepage.h"
#include "base/format.h"
#include "cli/cli_context.h"
#include "cli/device_transfer_commands.h"
#include "device/command_set.h"
#include "device/rud_device.h"
#include "platform/platform_device_stack.h"

namespace kova {
namespace {

struct DeviceOptions {
  std::string port;
  bool usb = false;
  int baud = 0;
  bool no_detect = false;
};

// A naming of the place overrides the settings for this run only; an
// explicit place is never searched away from.
void ApplyOptions(const DeviceOptions& opts, CliContext& ctx) {
  if (!opts.port.empty()) {
    ctx.info.comportname = opts.port;
    ctx.info.usbactive = 0;
    ctx.settings.DeviceAutoDetect = 0;
  }
  if (opts.usb) {
    ctx.info.usbactive = 1;
    ctx.settings.DeviceAutoDetect = 0;
  }
  if (opts.baud != 0) {
    ctx.info.baud = opts.baud;
    ctx.info.comspeed = opts.baud == 19200 ? 0 : 1;
  }
  if (opts.no_detect) ctx.settings.DeviceAutoDetect = 0;
}

int RunWithDevice(CliContext& ctx, const DeviceOptions& opts, Prompter& prompter,
                  const DeviceBody& body) {
  ApplyOptions(opts, ctx);
  PlatformDeviceStack stack(ctx.info, ctx.settings, *ctx.store, prompter);
  const int code = body(stack.device());
  ctx.store->Flush();
  return code;
}

std::string Where(RudDevice& device) {
  if (device.UsbActive()) return "USB";
  return Format("%s at %d bit/s", SystemNameToCp1252(device.serial().DeviceName()).c_str(),
                device.serial().baud);
}

int Ping(RudDevice& device) {
  if (!device.EnsureConnected(true)) return 1;
  std::cout << "Instrument answered on " << Cp1252ToUtf8(Where(device)) << '\n';
  return 0;
}

int Identify(RudDevice& device) {
  std::string reply;
  if (!device.EnsureConnected(true)) return 1;  // the link has said why
  if (!device.Identify(reply, false)) {
    PrintError(kNoIdentification);
    return 1;
  }
  std::cout << "Identification: " << Cp1252ToUtf8(reply) << '\n'
            << "Model:          " << Cp1252ToUtf8(ModelDisplayName(device.modelcode())).substr(1)
            << " (code " << device.modelcode() << ")\n"
            << "Connection:     " << Cp1252ToUtf8(Where(device)) << '\n';
  return 0;
}

int Ports(RudDevice& device) {
  std::vector<std::string> names;
  if (!device.serial().EnumeratePorts(names)) {
    PrintError("The serial ports cannot be listed");
    return 1;
  }
  for (const std::string& name : names) std::cout << SystemNameToUtf8(name) << '\n';
  for (const std::string& extra : device.preferences().ExtraPortNames()) {
    if (std::find(names.begin(), names.end(), extra) == names.end()) {
      std::cout << SystemNameToUtf8(extra) << "  (configured)\n";
    }
  }
  return 0;
}

}  // namespace

void AddDeviceCommands(CLI::App& app, CliContext& ctx) {
  auto opts = std::make_shared<DeviceOptions>();
  CLI::App* device = app.add_subcommand("device", "The instrument over a serial port or USB");
  device->require_subcommand(1);
  CLI::Option* port = device->add_option("--port", opts->port,
                                         "Serial port name or device path (a kova-sim link too)");
  CLI::Option* usb = device->add_flag("--usb", opts->usb, "Reach the instrument over USB");
  port->excludes(usb);
  device->add_option("--baud", opts->baud, "Line speed")->check(CLI::IsMember({19200, 115200}));
  device->add_flag("--no-detect", opts->no_detect, "Never search for the instrument");

  auto with_device = [&ctx, opts](Prompter& prompter, const DeviceBody& body) {
    return RunWithDevice(ctx, *opts, prompter, body);
  };
  auto simple = [&ctx, with_device](CLI::App* sub, int (*body)(RudDevice&)) {
    sub->callback([&ctx, with_device, body] {
      ctx.exit_code = with_device(*ctx.prompter, [body](RudDevice& d) { return body(d); });
    });
  };
  simple(device->add_subcommand("ping", "Check that the instrument answers"), &Ping);
  simple(device->add_subcommand("identify", "Show the instrument's identification and model"),
         &Identify);
  simple(device->add_subcommand("ports", "List the serial ports the search tries"), &Ports);
  RegisterDeviceTransferCommands(*device, ctx, with_device);
}

}  // namespace kova
