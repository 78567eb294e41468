#pragma once
// The HTTP side of the quote host: routes, fault modes and the request log.

#include <memory>
#include <optional>

#include "market.h"
#include "request_log.h"

namespace tickora::quotehost {

class QuoteServer {
  public:
    // On a fixed clock every quote is that of one moment (and /move steps from its day); without
    // one, quotes follow the wall clock.
    explicit QuoteServer(RequestLog& log, std::optional<MarketClock> clock = std::nullopt);
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
