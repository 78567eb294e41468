#include "quote_host.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "quote_server.h"

namespace tickora::test {

struct QuoteHost::Running {
    explicit Running(const quotehost::MarketClock& clock) : server(log, clock) {}
    quotehost::RequestLog log;
    quotehost::QuoteServer server;
    std::thread thread;
};

QuoteHost::QuoteHost(const quotehost::MarketClock& clock)
    : running_(std::make_unique<Running>(clock)) {
    // Bound before serving: connections wait in the backlog until the server takes them.
    port_ = running_->server.Bind(0);
    if (port_ <= 0) throw std::runtime_error("the quote host cannot bind a loopback port");
    running_->thread = std::thread([this] { running_->server.Run(); });
}

QuoteHost::~QuoteHost() {
    running_->server.Stop();
    running_->thread.join();
}

std::string QuoteHost::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<HostRequest> QuoteHost::Requests() const {
    std::vector<HostRequest> requests;
    for (const auto& e : running_->log.Entries())
        if (!e.arrived)
            requests.push_back({e.method, e.target, e.agent, e.acceptEncoding, e.contentEncoding,
                                e.bytesSent, e.completed});
    return requests;
}

std::vector<std::string> QuoteHost::Arrivals() const {
    std::vector<std::string> targets;
    for (const auto& e : running_->log.Entries())
        if (e.arrived) targets.push_back(e.target);
    return targets;
}

bool QuoteHost::WaitForRequests(std::size_t n, int timeoutMs) const {
    return running_->log.WaitForCount(false, n, timeoutMs);
}

bool QuoteHost::WaitForArrivals(std::size_t n, int timeoutMs) const {
    return running_->log.WaitForCount(true, n, timeoutMs);
}

ClosedPort::ClosedPort() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    port_ = ntohs(a.sin_port);
}

ClosedPort::~ClosedPort() {
    close(fd_);
}

std::string ClosedPort::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

}  // namespace tickora::test
