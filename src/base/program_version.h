#pragma once
// The program's version, as the window title, the report footer, the XML
// export and the application's own version show it: changed here only.

#define KOVA_PROGRAM_VERSION "3.0"

namespace kova {

constexpr const char* kProgramVersion = KOVA_PROGRAM_VERSION;

}  // namespace kova
