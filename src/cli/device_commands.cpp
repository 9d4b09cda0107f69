// kova device ...
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"

namespace kova {

void AddDeviceCommands(CLI::App&, CliContext&) {}

}  // namespace kova
