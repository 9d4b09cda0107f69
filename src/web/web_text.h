#pragma once
// Text on the web's edge: record texts (Windows-1252, any byte) made safe
// HTML in UTF-8, and the pieces of a URL read and written strictly.

#include <string>
#include <utility>
#include <vector>

namespace kova {

// UTF-8 text escaped for HTML content and quoted attribute values: & < > "
// and ' become references; control characters other than tab and newline,
// and bytes that are not UTF-8, become U+FFFD.
std::string HtmlEscape(const std::string& utf8);
// A record's text (Windows-1252) as escaped UTF-8.
std::string HtmlText(const std::string& cp1252);

// Every byte but the unreserved ones (letters, digits, - . _ ~) as %XX.
std::string PercentEncode(const std::string& bytes);
// %XX decoded ('+' is a blank in a query, kept as it is in a path); false
// for a '%' not followed by two hex digits.
bool PercentDecode(const std::string& text, bool plus_is_blank, std::string& out);

// The query of a URL as name-value pairs, decoded. False with `why` for a
// bad encoding, more than `max_params` pairs or a value of more than
// `max_value` bytes.
using QueryParams = std::vector<std::pair<std::string, std::string>>;
bool ParseQuery(const std::string& query, QueryParams& out, std::string& why,
                size_t max_params = 32, size_t max_value = 512);
// The last value given for `name`; `found` false when none was.
std::string QueryValue(const QueryParams& params, const std::string& name, bool* found = nullptr);
// Pairs encoded as a query ("a=1&b=x%20y"), without the "?".
std::string EncodeQuery(const QueryParams& params);

// A CT's place in the URL: its key (manufacturer and serial number,
// normalised) percent-encoded, stable as long as the CT is the same.
std::string CtUrlId(const std::string& ct_key);
// Back to the key; false for text that is no such id.
bool CtKeyFromUrlId(const std::string& id, std::string& ct_key);

// True for a record's content hash as the library keeps it: 64 hex digits
// in small letters.
bool IsContentHash(const std::string& text);

}  // namespace kova
