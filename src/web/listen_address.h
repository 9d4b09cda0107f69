#pragma once
// Where the server listens: "127.0.0.1:8470", "[::1]:8470", "0.0.0.0:80";
// port 0 takes any free port.

#include <string>

namespace kova {

constexpr const char* kDefaultListen = "127.0.0.1:8470";

struct ListenAddress {
  std::string host;  // without brackets
  int port = 0;
};

// False with `why` for text that is no address and port.
bool ParseListenAddress(const std::string& text, ListenAddress& out, std::string& why);
// "http://127.0.0.1:8470", "http://[::1]:8470".
std::string ListenUrl(const ListenAddress& address);

}  // namespace kova
