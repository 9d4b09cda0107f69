#pragma once
// Where the installation data is read from (the default of "InstallDir"):
// the report template, the schemas, the wait animation, the colour swatches,
// the logo and the report generator. The programs only ever read there.

#include <string>

namespace kova {

// `program_dir` (the running program's folder, with a trailing separator)
// when the data is beside the program: the build tree, an unpacked folder,
// a Windows installation. Otherwise "<prefix>/share/kova/" when the program
// sits in "<prefix>/bin/" of a system installation (the Debian packages put
// it in /usr/bin and the data in /usr/share/kova) and the data is there.
// When neither holds the data, `program_dir`, so messages name the folder
// a user would look in first. Always ends with a separator.
std::string InstallDataFolder(const std::string& program_dir);

}  // namespace kova
