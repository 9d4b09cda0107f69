#pragma once
// What the empty document area offers while no document is open: the
// first things to do, each one of the window's commands, the recent files
// and where the records are kept.

#include <string>
#include <vector>

#include "app/main_commands.h"

namespace kova {

constexpr const char* kStartPageTitle = "What would you like to do?";

struct StartAction {
  const char* text;
  CommandId command;  // offered while the window has this command
};
const std::vector<StartAction>& StartActions();

constexpr const char* kStartRecentTitle = "Recent files";
constexpr const char* kStartNoRecent = "No test has been opened yet.";

// The line on where records are kept: the record folder, and the library
// when one is set.
std::string RecordsKeptText(const std::string& record_folder, const std::string& library);

}  // namespace kova
