#include "web/listen_address.h"

#include <charconv>

namespace kova {

bool ParseListenAddress(const std::string& text, ListenAddress& out, std::string& why) {
  why = "\"" + text + "\" is no address and port (e.g. " + kDefaultListen + " or [::1]:8470)";
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
  std::string host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string::npos) {
    return false;  // an IPv6 address needs its brackets
  }
  for (char c : host)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
          c == ':' || c == '-'))
      return false;
  int port = -1;
  const std::string digits = text.substr(colon + 1);
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || port < 0 || port > 65535)
    return false;
  out.host = host;
  out.port = port;
  why.clear();
  return true;
}

std::string ListenUrl(const ListenAddress& a) {
  const bool v6 = a.host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + a.host + "]" : a.host) + ":" + std::to_string(a.port);
}

}  // namespace kova
