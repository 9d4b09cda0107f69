#pragma once
// The versions of the database libraries the record library runs with.

#include <string>
#include <utility>
#include <vector>

namespace kova {

std::vector<std::pair<std::string, std::string>> StoreLibraryVersions();

}  // namespace kova
