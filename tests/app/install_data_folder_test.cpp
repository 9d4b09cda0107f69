#include "app/install_data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "base/path.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Each case lays out a folder tree (files below the case's root), names
// the program's folder in it and says which folder holds the data.
struct Layout {
  const char* name;
  std::vector<const char*> files;
  const char* program_dir;
  const char* data_dir;
};

TEST(InstallDataFolder, FindsTheDataBesideTheProgramOrInTheSystemLayout) {
  const std::vector<Layout> layouts = {
      {"build_tree", {"bin/kova", "bin/kovatest.xsd"}, "bin/", "bin/"},
      {"system", {"usr/bin/kova", "usr/share/kova/kovatest.xsd"}, "usr/bin/", "usr/share/kova/"},
      {"beside_wins",
       {"usr/bin/kovatest.xsd", "usr/share/kova/kovatest.xsd"},
       "usr/bin/",
       "usr/bin/"},
      {"no_trailing_separator", {"usr/share/kova/kovatest.xsd"}, "usr/bin", "usr/share/kova/"},
      {"nowhere", {"usr/bin/kova"}, "usr/bin/", "usr/bin/"},
      // Only a program in a bin folder looks in the share folder beside it.
      {"not_bin", {"opt/app/kova", "opt/share/kova/kovatest.xsd"}, "opt/app/", "opt/app/"},
  };
  for (const Layout& l : layouts) {
    const std::string root = TempFolder(std::string("data_folder_") + l.name) + "/";
    for (const char* f : l.files) {
      std::filesystem::create_directories(std::filesystem::path(root + f).parent_path());
      ASSERT_TRUE(WriteFileAtomically(root + f, std::string("x")));
    }
    // The folder ends with a separator, the system's own where one was added.
    std::string found = InstallDataFolder(root + l.program_dir);
    ASSERT_FALSE(found.empty()) << l.name;
    EXPECT_TRUE(IsPathSeparator(found.back())) << l.name;
    found.pop_back();
    const std::string wanted = root + l.data_dir;
    EXPECT_EQ(found, wanted.substr(0, wanted.size() - 1)) << l.name;
  }
}

}  // namespace
}  // namespace kova
