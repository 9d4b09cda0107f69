#include "platform/library_versions.h"

#include <hidapi.h>
#include <libxml/xmlversion.h>
#include <xlsxwriter.h>

#include <QtGlobal>

namespace kova {

std::vector<std::pair<std::string, std::string>> PlatformLibraryVersions() {
  return {
      {"Qt", qVersion()},
      {"hidapi", hid_version_str()},
      {"libxlsxwriter", LXW_VERSION},
      {"libxml2", LIBXML_DOTTED_VERSION},
  };
}

}  // namespace kova
