#pragma once
// The loopback quote host (tools/quote-host) as a test fixture: started on a free port with a
// request log in a temporary folder, stopped when the object goes.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "temp_dir.h"

namespace tickora::test {

// One answered request of the host's log; bytesSent and completed are set for streamed bodies.
struct HostRequest {
    std::string method, target, userAgent;
    long long bytesSent = -1;
    bool completed = true;
};

class QuoteHost {
  public:
    // Starts the host on port 0 and waits (at most 10 s) for its "listening on" line;
    // throws std::runtime_error on failure. The host also stops if this process dies.
    QuoteHost();
    ~QuoteHost();
    QuoteHost(const QuoteHost&) = delete;
    QuoteHost& operator=(const QuoteHost&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" + pathAndQuery.
    std::string Url(std::string_view pathAndQuery) const;
    // Requests answered so far, in the order of their answers.
    std::vector<HostRequest> Requests() const;
    // Targets of the requests that have arrived, answered or not.
    std::vector<std::string> Arrivals() const;
    // Poll the log until it holds at least n answers (arrivals) or timeoutMs passes.
    bool WaitForRequests(std::size_t n, int timeoutMs) const;
    bool WaitForArrivals(std::size_t n, int timeoutMs) const;

  private:
    void Stop();
    std::vector<std::vector<std::string>> LogLines() const;

    TempDir dir_;
    pid_t pid_ = -1;
    int lifeline_ = -1;  // write end of the host's stdin: the host stops when it closes
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
