// kova thumb ...
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"

namespace kova {

void AddThumbCommands(CLI::App&, CliContext&) {}

}  // namespace kova
