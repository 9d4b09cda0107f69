#pragma once
// The HTTP server around the web site: cpp-httplib's thread-pool server
// (packaged by Debian, maintained, with read and write time-outs and
// payload limits), bounded in what it takes from a client, one log line a
// request. It only carries bytes: every answer comes from WebSite.

#include <functional>
#include <memory>
#include <string>

#include "web/listen_address.h"
#include "web/web_site.h"

namespace kova {

struct ServerLimits {
  int read_seconds = 10;   // a client that sends nothing this long is dropped
  int write_seconds = 30;  // a client that takes nothing this long is dropped
  int keep_alive_seconds = 2;
  // httplib keeps a thread for each kept-alive connection: more threads
  // than the clients of a team at once, and a connection gives its thread
  // up after a few requests, so a client beyond them waits for one request,
  // not for a whole keep-alive.
  int threads = 64;
  int requests_per_connection = 10;
  size_t max_headers_bytes = 16 * 1024;  // every header together: 431 past it
  size_t max_headers = 64;               // 431 past it
  size_t max_body_bytes = 64 * 1024;     // a GET has none; 413 past it
};

class WebServer {
 public:
  // `log` takes one line a request (method, path, status, milliseconds);
  // standard error when null.
  WebServer(WebSite& site, const ServerLimits& limits,
            std::function<void(const std::string&)> log = nullptr);
  ~WebServer();
  // False with `why` when the address cannot be listened on. With port 0
  // the port taken is in `address` afterwards.
  bool Bind(ListenAddress& address, std::string& why);
  // Answers until Stop (from another thread or a signal's watcher).
  bool Run();
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A request line's path fit for a log line: at most 200 characters, every
// byte that is not printable ASCII as \xNN.
std::string LoggedPath(const std::string& target);

}  // namespace kova
