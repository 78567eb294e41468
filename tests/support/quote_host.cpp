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

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tickora::test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        parts.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return parts;
}

// Waits for the child to end, at most timeoutMs; true when it has been reaped.
bool Reap(pid_t pid, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < end);
    return false;
}

}  // namespace

std::string QuoteHostBinary() {
    // The environment may name another build of the host; the default is this build's.
    const char* bin = std::getenv("TICKORA_QUOTE_HOST_BIN");
    if (bin != nullptr && *bin != '\0') return bin;
    return TICKORA_QUOTE_HOST_DEFAULT_BIN;
}

QuoteHost::QuoteHost() {
    const std::string bin = QuoteHostBinary();
    const std::string log = dir_.file("requests.log");

    int out[2];
    int in[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    if (pipe2(in, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> args{bin, "--port", "0", "--log", log, "--exit-with-stdin"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, bin.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    lifeline_ = in[1];
    if (rc != 0) {
        close(out[0]);
        close(lifeline_);
        throw std::runtime_error("cannot start " + bin);
    }

    // Read the first line, bounded.
    std::string line;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos && Clock::now() < end) {
        pollfd p{out[0], POLLIN, 0};
        const int left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        if (poll(&p, 1, left > 0 ? left : 0) <= 0) continue;
        char buffer[256];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) == 0) port_ = std::atoi(line.c_str() + prefix.size());
    if (port_ <= 0) {
        Stop();
        throw std::runtime_error("quote host did not start: '" + line + "'");
    }
}

QuoteHost::~QuoteHost() {
    Stop();
}

void QuoteHost::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        if (!Reap(pid_, 5000)) {
            kill(pid_, SIGKILL);
            Reap(pid_, 5000);
        }
        pid_ = -1;
    }
    if (lifeline_ >= 0) {
        close(lifeline_);
        lifeline_ = -1;
    }
}

std::string QuoteHost::Url(std::string_view pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

std::vector<HostRequest> QuoteHost::Requests() const {
    std::ifstream in(dir_.file("requests.log"), std::ios::binary);
    std::vector<HostRequest> requests;
    std::string line;
    // Only whole lines: the host may be writing the next one.
    while (std::getline(in, line)) {
        if (in.eof()) break;
        const std::vector<std::string> f = SplitTabs(line);
        if (f.size() < 3) continue;
        HostRequest r{f[0], f[1], f[2]};
        if (f.size() >= 5) {
            r.bytesSent = std::atoll(f[3].c_str());
            r.completed = f[4] == "complete";
        }
        requests.push_back(std::move(r));
    }
    return requests;
}

bool QuoteHost::WaitForRequests(std::size_t n, int timeoutMs) const {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        if (Requests().size() >= n) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int FreeClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) throw std::runtime_error("socket failed");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t n = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) != 0) {
        close(s);
        throw std::runtime_error("bind failed");
    }
    close(s);
    return ntohs(a.sin_port);
}

}  // namespace tickora::test
