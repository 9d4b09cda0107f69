// Hostile requests against a real server on a loopback port: each answered
// within its bound with the status it calls for, and the server still
// answering afterwards.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/format.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "platform/test_app.h"
#include "support/record_fixtures.h"
#include "web/web_server.h"
#include "web/web_site.h"

namespace kova {
namespace {

using Clock = std::chrono::steady_clock;

struct Reply {
  std::string text;  // all the server sent before it closed or went quiet
  double seconds = 0;
  int Status() const { return text.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(text.c_str() + 9) : 0; }
};

// Sends `bytes` (all at once) and reads until the server closes the
// connection or has been quiet for `quiet` seconds.
Reply Exchange(int port, const std::string& bytes, int quiet = 4) {
  Reply r;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval tv{quiet, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  const auto start = Clock::now();
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    char buf[65536];
    for (;;) {
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      r.text.append(buf, static_cast<size_t>(n));
      // One answer is enough: stop at the end of its body.
      const size_t head = r.text.find("\r\n\r\n");
      const size_t len = r.text.find("Content-Length: ");
      if (head != std::string::npos && len != std::string::npos && len < head &&
          r.text.size() >= head + 4 + std::stoul(r.text.substr(len + 16)))
        break;
    }
  }
  ::close(fd);
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return r;
}

class ServerTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    folder_ = TempFolder("web-server");
    StoreOutcome outcome;
    {
      auto store = OpenLibrary(folder_ + "/lib.sqlite", outcome, LibraryUse::kFile);
      ASSERT_TRUE(store) << outcome.detail;
      FillLibrary(*store, 20, 2, folder_, true);
    }
    reader_ = OpenLibrary(folder_ + "/lib.sqlite", outcome, LibraryUse::kReadOnly);
    ASSERT_TRUE(reader_) << outcome.detail;
    site_ = std::make_unique<WebSite>(*reader_, WebSiteOptions());
    ServerLimits limits;
    limits.read_seconds = 1;
    limits.write_seconds = 1;
    limits.keep_alive_seconds = 1;
    server_ = std::make_unique<WebServer>(*site_, limits, [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(log_mutex_);
      log_.push_back(line);
    });
    ListenAddress address{"127.0.0.1", 0};
    std::string why;
    ASSERT_TRUE(server_->Bind(address, why)) << why;
    port_ = address.port;
    thread_ = std::thread([this] { server_->Run(); });
  }
  void TearDown() override {
    if (server_) server_->Stop();
    if (thread_.joinable()) thread_.join();
  }

  std::string folder_;
  std::unique_ptr<SqlRecordStore> reader_;
  std::unique_ptr<WebSite> site_;
  std::unique_ptr<WebServer> server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex log_mutex_;
  std::vector<std::string> log_;
};

std::string Get(const std::string& target, const std::string& headers = "") {
  return "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + headers + "\r\n";
}

TEST_F(ServerTest, HostileRequestsAreAnsweredWithinTheirBoundsAndTheServerStaysUp) {
  std::string many_headers;
  for (int i = 0; i < 100; ++i)
    many_headers += Format("X-H%d: %s\r\n", i, std::string(150, 'v').c_str());
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<int> statuses;  // 0: the connection closed without an answer
  } cases[] = {
      {"a plain page", Get("/"), {200}},
      {"a head request", "HEAD / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {200}},
      {"a huge request line", Get("/?" + std::string(9000, 'a')), {414}},
      {"a huge header", Get("/", "X-Big: " + std::string(9000, 'h') + "\r\n"), {400, 431}},
      {"too many headers", Get("/", many_headers), {431}},
      {"a bad encoding", Get("/%zz"), {400}},
      {"a dot-dot path", Get("/../../etc/passwd"), {400}},
      {"an encoded dot-dot path", Get("/%2e%2e/%2E%2E/etc/passwd"), {400}},
      {"a record path out", Get("/record/..%2f..%2fetc%2fpasswd"), {400}},
      {"a NUL in the path", Get("/ct/a%00b"), {400}},
      {"an out-of-range query", Get("/?limit=99999999999"), {400}},
      {"a query not UTF-8", Get("/?search=%ff%fe"), {400}},
      {"a post",
       "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello",
       {405}},
      {"a delete", "DELETE / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {405}},
      {"a huge body", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999\r\n\r\n", {405, 413}},
      {"an unknown method", "BREW / HTTP/1.1\r\nHost: x\r\n\r\n", {400}},
      {"no version", "GET /\r\n\r\n", {400, 0}},
      {"binary bytes", std::string("\x00\xff\xfe\x16\x03\x01\r\n\r\n", 10), {400, 0}},
      {"a half request line, then silence", "GET / HT", {0, 400, 408}},
      {"a header never ended", "GET / HTTP/1.1\r\nHost: x\r\nX-A: b", {0, 400, 408}},
  };
  for (const Case& c : cases) {
    const Reply r = Exchange(port_, c.bytes);
    EXPECT_NE(std::find(c.statuses.begin(), c.statuses.end(), r.Status()), c.statuses.end())
        << c.what << ": " << r.text.substr(0, 200);
    // The read time-out (1 s here) bounds every exchange.
    EXPECT_LT(r.seconds, 3.5) << c.what;
  }
  const Reply head = Exchange(port_, "HEAD / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(head.text.find("<html"), std::string::npos);
  const Reply after = Exchange(port_, Get("/"));
  EXPECT_EQ(after.Status(), 200);
  EXPECT_NE(after.text.find("20 CTs:"), std::string::npos);
  EXPECT_NE(after.text.find("Content-Security-Policy: default-src 'none'"), std::string::npos);
  // A log line a request: method, path, status, milliseconds.
  std::lock_guard<std::mutex> lock(log_mutex_);
  // (A refused request may be logged after a later one: its time-out ends later.)
  ASSERT_FALSE(log_.empty());
  bool logged_escape = false, logged_page = false;
  for (const std::string& line : log_) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(line.substr(line.size() - 3), " ms") << line;
    logged_page |= line.rfind("GET / 200 ", 0) == 0;
    logged_escape |= line.find("/%2e%2e/%2E%2E/etc/passwd 400") != std::string::npos;
  }
  EXPECT_TRUE(logged_escape);
  EXPECT_TRUE(logged_page);
}

TEST_F(ServerTest, ASecondServerCannotTakeThePort) {
  WebServer other(*site_, ServerLimits(), [](const std::string&) {});
  ListenAddress taken{"127.0.0.1", port_};
  std::string why;
  EXPECT_FALSE(other.Bind(taken, why));
  EXPECT_NE(why.find("Cannot listen on http://127.0.0.1:" + std::to_string(port_)),
            std::string::npos);
}

}  // namespace
}  // namespace kova
