// The bytes a second start of the desktop program hands to the first, and
// the tab names made from the paths it names.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/document_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto paths = kova::HandedOverPaths(bytes, 8, 4096);
  if (paths.size() > 8) std::abort();
  for (const std::string& p : paths)
    if (p.empty() || p.size() > 4096 || p.find('\n') != std::string::npos) std::abort();
  if (kova::DistinctTabNames(paths).size() != paths.size()) std::abort();
  return 0;
}
