#include "quote_host.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

namespace tickora::test {

namespace {

bool PollUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

QuoteHost::QuoteHost() {
    int in[2];
    if (pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    lifeline_ = in[1];
    const std::string log = dir_.file("requests.log"), out = dir_.file("stdout");
    pid_ = fork();
    if (pid_ == 0) {  // the host reads the lifeline; its stdout goes to a file polled below
        dup2(in[0], STDIN_FILENO);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), STDOUT_FILENO);
        execl(TICKORA_QUOTE_HOST_BIN, TICKORA_QUOTE_HOST_BIN, "--port", "0", "--log", log.c_str(),
              "--exit-with-stdin", nullptr);
        _exit(127);
    }
    close(in[0]);
    std::string line;
    PollUntil(
        [&] {
            line = dir_.Read("stdout");
            return pid_ < 0 || line.find('\n') != std::string::npos ||
                   waitpid(pid_, nullptr, WNOHANG) != 0;
        },
        10'000);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.starts_with(prefix)) port_ = std::atoi(line.c_str() + prefix.size());
    if (port_ <= 0) {
        Stop();
        throw std::runtime_error("quote host did not start: '" + line + "'");
    }
}

QuoteHost::~QuoteHost() {
    Stop();
}

void QuoteHost::Stop() {
    close(lifeline_);  // the host stops at the end of its input
    if (pid_ <= 0) return;
    if (!PollUntil([&] { return waitpid(pid_, nullptr, WNOHANG) != 0; }, 5000)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::string QuoteHost::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<std::vector<std::string>> QuoteHost::LogLines() const {
    std::ifstream in(dir_.file("requests.log"), std::ios::binary);
    std::vector<std::vector<std::string>> lines;
    // Only whole lines: the host may be writing the next one.
    for (std::string line; std::getline(in, line) && !in.eof();) {
        auto& fields = lines.emplace_back(1);
        for (const char c : line) {
            if (c == '\t')
                fields.emplace_back();
            else
                fields.back() += c;
        }
    }
    return lines;
}

std::vector<HostRequest> QuoteHost::Requests() const {
    std::vector<HostRequest> requests;
    for (const auto& f : LogLines()) {
        if (f.size() < 3 || f[0] == "+") continue;
        HostRequest r{f[0], f[1], f[2]};
        if (f.size() >= 5) r = {f[0], f[1], f[2], std::atoll(f[3].c_str()), f[4] == "complete"};
        requests.push_back(std::move(r));
    }
    return requests;
}

std::vector<std::string> QuoteHost::Arrivals() const {
    std::vector<std::string> targets;
    for (const auto& f : LogLines())
        if (f.size() == 3 && f[0] == "+") targets.push_back(f[2]);
    return targets;
}

bool QuoteHost::WaitForRequests(std::size_t n, int timeoutMs) const {
    return PollUntil([&] { return Requests().size() >= n; }, timeoutMs);
}

bool QuoteHost::WaitForArrivals(std::size_t n, int timeoutMs) const {
    return PollUntil([&] { return Arrivals().size() >= n; }, timeoutMs);
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
