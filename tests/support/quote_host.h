#pragma once
// The loopback quote host (tools/quote-host) as a test fixture: its server, run in the test's
// own process on a free port of 127.0.0.1 and stopped when the object goes. Fetches reach it
// over real sockets, as they reach any host.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tickora::test {

// One answered request of the host's log: the Accept-Encoding it came with, the coding of the
// answer (both empty for none) and the body bytes that went out.
struct HostRequest {
    std::string method, target, userAgent;
    std::string acceptEncoding, contentEncoding;
    long long bytesSent = -1;
    bool completed = true;
};

class QuoteHost {
  public:
    // Throws std::runtime_error when no port can be bound.
    QuoteHost();
    ~QuoteHost();
    QuoteHost(const QuoteHost&) = delete;
    QuoteHost& operator=(const QuoteHost&) = delete;

    // "http://127.0.0.1:PORT" + pathAndQuery.
    std::string Url(std::string_view pathAndQuery) const;
    // Requests answered so far, in the order of their answers.
    std::vector<HostRequest> Requests() const;
    // Targets of the requests that have arrived, answered or not.
    std::vector<std::string> Arrivals() const;
    // Waits until the log holds at least n answers (arrivals) or timeoutMs passes.
    bool WaitForRequests(std::size_t n, int timeoutMs) const;
    bool WaitForArrivals(std::size_t n, int timeoutMs) const;

  private:
    struct Running;
    std::unique_ptr<Running> running_;
    int port_ = 0;
};

// A port on 127.0.0.1 that refuses connections for as long as the object lives: bound, so
// nobody else can take it, but not listening.
class ClosedPort {
  public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    int port() const { return port_; }
    std::string Url(std::string_view pathAndQuery) const;

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace tickora::test
