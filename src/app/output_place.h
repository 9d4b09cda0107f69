#pragma once
// Checks the place of one named output file before any work starts (a test
// run on the instrument takes minutes; its record must not be lost at the
// end because the folder is missing): the folder exists and takes files,
// and an existing file is replaced only when the user said so.

#include <string>

namespace kova {

// True when `path` can be written. Otherwise `why` (Windows-1252) says why,
// for instance "\"r.test\" exists; give --overwrite to replace it".
bool CheckOutputFile(const std::string& path, bool overwrite, std::string& why);

}  // namespace kova
