#include "quote_host.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tickora::test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const auto tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

bool PollUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

QuoteHost::QuoteHost() {
    const std::string bin = TICKORA_QUOTE_HOST_BIN;
    int out[2], in[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> args{
        bin, "--port", "0", "--log", dir_.file("requests.log"), "--exit-with-stdin"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, bin.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    lifeline_ = in[1];
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    while (rc == 0 && line.find('\n') == std::string::npos && poll(&p, 1, 10'000) > 0) {
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
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
    if (lifeline_ >= 0) close(lifeline_);  // the host stops at the end of its input
    lifeline_ = -1;
    if (pid_ <= 0) return;
    int status = 0;
    if (!PollUntil([&] { return waitpid(pid_, &status, WNOHANG) != 0; }, 5000)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

std::string QuoteHost::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<std::vector<std::string>> QuoteHost::LogLines() const {
    std::ifstream in(dir_.file("requests.log"), std::ios::binary);
    std::vector<std::vector<std::string>> lines;
    // Only whole lines: the host may be writing the next one.
    for (std::string line; std::getline(in, line) && !in.eof();) lines.push_back(SplitTabs(line));
    return lines;
}

std::vector<HostRequest> QuoteHost::Requests() const {
    std::vector<HostRequest> requests;
    for (const auto& f : LogLines()) {
        if (f.size() < 3 || f[0] == "+") continue;
        HostRequest r{f[0], f[1], f[2]};
        if (f.size() >= 5) {
            r.bytesSent = std::atoll(f[3].c_str());
            r.completed = f[4] == "complete";
        }
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
