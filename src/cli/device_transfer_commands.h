#pragma once
// The transfer commands of "kova device": dir, download, resend, get-plan,
// put-plan, run, panel.

#include <functional>

namespace CLI {
class App;
}

namespace kova {

class Prompter;
class RudDevice;
struct CliContext;

// Runs `body` on a device link built with `prompter` (the link's waits pump
// it) and returns the body's exit code, or a failure code of its own when
// the link cannot be built.
using DeviceBody = std::function<int(RudDevice&)>;
using DeviceSessionRunner = std::function<int(Prompter& prompter, const DeviceBody& body)>;

// Registers the commands under `device`; each sets ctx.exit_code.
void RegisterDeviceTransferCommands(CLI::App& device, CliContext& ctx,
                                    const DeviceSessionRunner& with_device);

}  // namespace kova
