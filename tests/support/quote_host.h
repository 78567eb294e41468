#pragma once
// The loopback quote host (tools/quote-host) as a test fixture: its server, run in the test's
// own process on a free port of 127.0.0.1 and stopped when the object goes. Fetches reach it
// over real sockets, as they reach any host. Its market clock stands still, so that what a test
// sees does not depend on the time of day it runs at.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "market.h"

namespace tickora::test {

// The host's moment unless a test asks for another: 13:34 on 10 April 2024. On every layout's page
// of the stocks and indices the tests name (8058.t 7203.t 6758.t 4611.q 9984.t 6502.t 2432.t
// 3765.t 998407 998405 23337), no price, change, ratio, volume or time of the quote stands a
// second time as another stock's or index's figure, beyond the places every page has it.
inline constexpr quotehost::MarketClock kHostClock{.day = 2024'100, .minute = 13 * 60 + 34};

// A moment when a figure coincides: at 11:31 on 14 April 2024 the ratio of 8058.t (+0.62%) equals
// that of 1302.t, the first entry of the /v2 page's ranking, which stands before the quote; no
// other figure of 8058.t stands twice there.
inline constexpr quotehost::MarketClock kRatioMeetsRankingClock{.day = 2024'104,
                                                                .minute = 11 * 60 + 31};

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
    explicit QuoteHost(const quotehost::MarketClock& clock = kHostClock);
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
