#pragma once
// The fleet page's query: the filters, order and page the URL asks for,
// read strictly (a value out of range is refused with words that say so),
// and the links that keep them while paging or sorting.

#include <string>

#include "library/fleet.h"
#include "web/web_text.h"

namespace kova {

enum class WebFormat { kHtml, kCsv, kJson };

// "html" (or nothing), "csv", "json"; false for another word.
bool ParseWebFormat(const std::string& text, WebFormat& format);

struct FleetRequest {
  FleetFilter filter;
  WebFormat format = WebFormat::kHtml;
};

constexpr int kMaxFleetLimit = 1000;
constexpr int kMaxFleetOffset = 10000000;
constexpr int kMaxDueWithinDays = 36500;

// search, station, circuit, manufacturer, state, overdue, due-within, sort,
// desc, limit, offset and format. False with `why` for a parameter this
// page does not know or a value it cannot take.
bool ParseFleetRequest(const QueryParams& params, FleetRequest& out, std::string& why);

// The query (without "?") asking for `filter` at `offset`: only what
// differs from the defaults, so links stay short.
std::string FleetQueryText(const FleetFilter& filter, int offset);

}  // namespace kova
