#include "web/web_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include "base/format.h"

namespace kova {

namespace {

using Clock = std::chrono::steady_clock;

// When the request at hand reached the site (the pre-routing handler); a
// request httplib refused itself never did.
thread_local Clock::time_point t_started;
thread_local bool t_routed = false;

}  // namespace

std::string LoggedPath(const std::string& target) {
  std::string out;
  for (char c : target) {
    const auto u = static_cast<unsigned char>(c);
    if (out.size() >= 200) {
      out += "...";
      break;
    }
    if (u < 0x20 || u >= 0x7F || c == '\\')
      out += Format("\\x%02X", u);
    else
      out += c;
  }
  return out;
}

struct WebServer::Impl {
  httplib::Server server;
  std::function<void(const std::string&)> log;
  std::atomic<bool> stopping{false}, running{false};
};

WebServer::WebServer(WebSite& site, const ServerLimits& limits,
                     std::function<void(const std::string&)> log)
    : impl_(std::make_unique<Impl>()) {
  impl_->log = log ? std::move(log) : [](const std::string& line) { std::cerr << line << '\n'; };
  httplib::Server& s = impl_->server;
  const int threads = limits.threads;
  s.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  s.set_read_timeout(limits.read_seconds, 0);
  s.set_write_timeout(limits.write_seconds, 0);
  s.set_keep_alive_timeout(limits.keep_alive_seconds);
  s.set_keep_alive_max_count(static_cast<size_t>(limits.requests_per_connection));
  s.set_payload_max_length(limits.max_body_bytes);
  // Reuse the address after a restart, but never share the port with a
  // second server (httplib's own default also sets SO_REUSEPORT).
  s.set_socket_options([](socket_t sock) {
    const int yes = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  s.set_pre_routing_handler([&site, limits](const httplib::Request& req, httplib::Response& res) {
    t_started = Clock::now();
    t_routed = true;
    size_t header_bytes = 0;
    for (const auto& [name, value] : req.headers) header_bytes += name.size() + value.size() + 4;
    WebResponse answer;
    if (req.headers.size() > limits.max_headers || header_bytes > limits.max_headers_bytes) {
      answer.status = 431;
      answer.content_type = "text/plain; charset=utf-8";
      answer.body = "Request header fields too large\n";
    } else {
      answer = site.Answer({req.method, req.target});
    }
    res.status = answer.status;
    for (const auto& [name, value] : answer.headers) res.set_header(name, value);
    res.set_content(std::move(answer.body), answer.content_type.c_str());
    return httplib::Server::HandlerResponse::Handled;
  });
  auto* impl = impl_.get();
  s.set_logger([impl](const httplib::Request& req, const httplib::Response& res) {
    const long long ms =
        t_routed ? std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t_started)
                       .count()
                 : 0;
    t_routed = false;
    impl->log(Format("%s %s %d %lld ms", LoggedPath(req.method).c_str(),
                     LoggedPath(req.target.empty() ? req.path : req.target).c_str(), res.status,
                     ms));
  });
}

WebServer::~WebServer() = default;

bool WebServer::Bind(ListenAddress& address, std::string& why) {
  httplib::Server& s = impl_->server;
  if (address.port == 0) {
    const int port = s.bind_to_any_port(address.host);
    if (port > 0) {
      address.port = port;
      return true;
    }
  } else if (s.bind_to_port(address.host, address.port)) {
    return true;
  }
  why = "Cannot listen on " + ListenUrl(address) +
        " (the address is not this computer's, or another program uses the port)";
  return false;
}

bool WebServer::Run() {
  impl_->running = true;
  const bool ok = !impl_->stopping && impl_->server.listen_after_bind();
  impl_->running = false;
  return ok || impl_->stopping;
}

void WebServer::Stop() {
  impl_->stopping = true;
  // httplib only stops a server whose loop has begun: a Stop that comes
  // right after Run began is told again until the loop has ended.
  while (impl_->running) {
    impl_->server.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace kova
