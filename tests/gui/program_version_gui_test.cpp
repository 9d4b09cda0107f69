// `kova-gui --version` prints the program's version and ends before any
// window, settings or instrument.

#include <gtest/gtest.h>

#include "base/program_version.h"
#include "support/run_program.h"

namespace kova {
namespace {

TEST(GuiProgram, VersionIsPrintedWithoutAWindow) {
  // No display platform at all: a window would fail to start.
  const ProgramResult r = RunProgram(BuiltProgram("kova-gui"), {"--version"},
                                     {"QT_QPA_PLATFORM=none-such", "KOVA_SETTINGS=/nonexistent"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, std::string(kProgramVersion) + "\n");
}

}  // namespace
}  // namespace kova
