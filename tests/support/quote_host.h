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

// One line of the host's request log. bytesSent and completed are set for streamed bodies.
struct HostRequest {
    std::string method, target, userAgent;
    long long bytesSent = -1;
    bool completed = true;
};

class QuoteHost {
  public:
    // Starts the binary named by TICKORA_QUOTE_HOST_BIN on port 0 and waits (at most 10 s)
    // for its "listening on" line; throws std::runtime_error on failure.
    QuoteHost();
    // SIGTERM, a bounded wait, then SIGKILL.
    ~QuoteHost();
    QuoteHost(const QuoteHost&) = delete;
    QuoteHost& operator=(const QuoteHost&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // "http://127.0.0.1:PORT" + pathAndQuery.
    std::string Url(std::string_view pathAndQuery) const;
    // The request log as far as it is written.
    std::vector<HostRequest> Requests() const;
    // Polls the log until it holds at least n requests or timeoutMs passes.
    bool WaitForRequests(std::size_t n, int timeoutMs) const;

  private:
    void Stop();

    TempDir dir_;
    pid_t pid_ = -1;
    int lifeline_ = -1;  // write end of the host's stdin: the host stops if we die
    int port_ = 0;
};

// A port on 127.0.0.1 with nothing listening on it.
int FreeClosedPort();

// Path of the quote-host binary: TICKORA_QUOTE_HOST_BIN, else the one built with the tests.
std::string QuoteHostBinary();

}  // namespace tickora::test
