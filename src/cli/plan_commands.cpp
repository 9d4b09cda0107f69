// kova plan ...
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"

namespace kova {

void AddPlanCommands(CLI::App&, CliContext&) {}

}  // namespace kova
