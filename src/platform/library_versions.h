#pragma once
// The versions of the libraries the desktop program runs with (the Qt,
// hidapi, libxlsxwriter and libxml2 adapters), for "About".

#include <string>
#include <utility>
#include <vector>

namespace kova {

std::vector<std::pair<std::string, std::string>> PlatformLibraryVersions();

}  // namespace kova
