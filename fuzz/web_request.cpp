// A request target as a browser or anyone else sends it to kova serve:
// the query read strictly, the fleet's parameters, a CT's id, and any
// bytes escaped for a page.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/codepage.h"
#include "web/fleet_request.h"
#include "web/web_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string target(reinterpret_cast<const char*>(data), size);
  const size_t q = target.find('?');
  kova::QueryParams params;
  std::string why;
  if (kova::ParseQuery(q == std::string::npos ? "" : target.substr(q + 1), params, why)) {
    kova::FleetRequest request;
    if (kova::ParseFleetRequest(params, request, why)) {
      // The links the page makes read back as the same filter.
      kova::QueryParams again;
      kova::FleetRequest back;
      if (!kova::ParseQuery(kova::FleetQueryText(request.filter, request.filter.offset), again,
                            why) ||
          !kova::ParseFleetRequest(again, back, why) ||
          kova::FleetQueryText(back.filter, back.filter.offset) !=
              kova::FleetQueryText(request.filter, request.filter.offset))
        std::abort();
    } else if (why.empty()) {
      std::abort();  // a refusal always says why
    }
  } else if (why.empty()) {
    std::abort();
  }
  std::string key;
  if (kova::CtKeyFromUrlId(target.substr(0, q), key)) {
    std::string round;
    if (!kova::CtKeyFromUrlId(kova::CtUrlId(key), round) || round != key) std::abort();
  }
  // Escaped text is UTF-8 without a character that could open markup.
  const std::string html = kova::HtmlEscape(target) + kova::HtmlText(target);
  if (!kova::IsUtf8(html) || html.find_first_of("<>\"'") != std::string::npos) std::abort();
  return 0;
}
