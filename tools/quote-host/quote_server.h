#pragma once
// The HTTP side of the quote host: routes, fault modes and the request log.

#include <memory>

#include "request_log.h"

namespace tickora::quotehost {

class QuoteServer {
  public:
    explicit QuoteServer(RequestLog& log);
    ~QuoteServer();
    QuoteServer(const QuoteServer&) = delete;
    QuoteServer& operator=(const QuoteServer&) = delete;

    // Binds 127.0.0.1:port (0 = any free port); the bound port, or -1.
    int Bind(int port);
    // Serves until Stop; false when serving could not start.
    bool Run();
    // Ends Run from any thread; requests held by delay, stall or trickle end early.
    void Stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tickora::quotehost
