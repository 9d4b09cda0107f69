// The program's one version: the version of the build (the top
// CMakeLists.txt) is the one the code knows and the one `kova --version`
// prints.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/program_version.h"
#include "support/cli_fixture.h"
#include "support/files.h"

namespace kova {
namespace {

std::string ProjectVersion() {
  const std::string cmake = Slurp(std::string(KOVA_SOURCE_DIR) + "/CMakeLists.txt");
  std::smatch m;
  if (!std::regex_search(cmake, m, std::regex(R"(project\(kova VERSION ([0-9][0-9.]*))")))
    return "";
  return m[1].str();
}

class VersionCli : public KovaCliTest {};

TEST_F(VersionCli, TheBuildsVersionIsTheProgramsAndKovaPrintsIt) {
  const std::string project = ProjectVersion();
  ASSERT_FALSE(project.empty()) << "no project(kova VERSION ...) in CMakeLists.txt";
  EXPECT_EQ(std::string(kProgramVersion), project);
  const ProgramResult r = Kova({"--version"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, project + "\n");
}

}  // namespace
}  // namespace kova
