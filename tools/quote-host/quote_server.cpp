#include "quote_server.h"

#include <arpa/inet.h>
#include <errno.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "answers.h"
#include "compression.h"
#include "pages.h"

namespace tickora::quotehost {

namespace {

constexpr long kMaxDelayMs = 60'000;
constexpr long kStallMs = 120'000;
constexpr std::size_t kTrickleChunk = 128;
constexpr long kTrickleGapMs = 100;
constexpr std::size_t kHugeFillerBytes = 64u << 20;
constexpr std::size_t kBombFillerMiB = 4096;  // 4 GiB inflated, some 4 MB on the wire
constexpr int kBombSendBuffer = 64 << 10;
constexpr std::size_t kWriteBlock = 64u << 10;

// httplib does not hand the connection's socket to a handler; find it by its two ends.
int ConnectionSocket(int localPort, int remotePort) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        int fd = -1;
        const std::string name = entry.path().filename().string();
        std::from_chars(name.data(), name.data() + name.size(), fd);
        sockaddr_in local{}, peer{};
        socklen_t n = sizeof local;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &n) != 0 ||
            local.sin_family != AF_INET)
            continue;
        n = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &n) != 0) continue;
        if (ntohs(local.sin_port) == localPort && ntohs(peer.sin_port) == remotePort) return fd;
    }
    return -1;
}

bool PeerGone(int fd) {
    if (fd < 0) return false;
    char c;
    const ssize_t r = recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (r == 0) return true;
    return r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

// A reset, not an orderly close: linger 0, then disconnect the socket, which sends RST
// at once and leaves the descriptor for httplib to close.
void ResetConnection(int fd) {
    if (fd < 0) return;
    linger l{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    sockaddr unspec{};
    unspec.sa_family = AF_UNSPEC;
    connect(fd, &unspec, sizeof unspec);
}

// The log's entry of an answer to req, before its body and its coding are known.
LoggedRequest EntryOf(const httplib::Request& req) {
    LoggedRequest e;
    e.method = req.method;
    e.target = req.target;
    e.agent = req.get_header_value("User-Agent");
    e.acceptEncoding = req.get_header_value("Accept-Encoding");
    return e;
}

struct Stream {
    LoggedRequest entry;
    std::string mode;
    std::string body;
    int localPort = -1, remotePort = -1;
    std::size_t fillerAt = 0;     // huge: where the filler stands
    std::size_t fillerBytes = 0;  // huge: how much of it
    std::unique_ptr<const GzipBomb> bomb;
    std::atomic<long long> sent{0};
    std::atomic<bool> completed{false};

    std::size_t Size() const { return bomb ? bomb->Size() : body.size() + fillerBytes; }
};

// The next block of the huge page from offset: head, filler, tail.
std::string HugePart(const Stream& s, std::size_t offset) {
    if (offset < s.fillerAt)
        return s.body.substr(offset, std::min(kWriteBlock, s.fillerAt - offset));
    if (offset >= s.fillerAt + s.fillerBytes) {
        const std::size_t tail = offset - s.fillerBytes;
        return s.body.substr(tail, kWriteBlock);
    }
    const std::string_view line = HugeFillerLine();
    std::string block;
    const std::size_t n = std::min(kWriteBlock, s.fillerAt + s.fillerBytes - offset);
    block.reserve(n + line.size());
    std::size_t at = (offset - s.fillerAt) % line.size();
    while (block.size() < n) {
        block.append(line.substr(at, n - block.size()));
        at = 0;
    }
    return block;
}

// Whether the mode sends its body bit by bit (see Provide) rather than whole.
bool Streams(std::string_view mode) {
    return mode == "reset" || mode == "stall" || mode == "trickle" || mode == "huge" ||
           mode == "short" || mode == "bomb";
}

// The answer of a mode sent whole, from a, the normal answer of the path without the fault.
Answer WholeAnswer(std::string_view mode, const std::string& normalTarget,
                   const std::string& target, Answer a) {
    if (mode.empty() || mode == "lowershiftjis" || ReshapeBody(mode, a.body)) return a;
    if (mode == "404" || mode == "500") {
        a = Answer{};
        a.status = mode == "404" ? 404 : 500;
        a.body = SitePage(mode == "404" ? "404 Not Found" : "500 Internal Server Error",
                          "<p>エラーが発生しました。</p>\n");
    } else if (mode == "redirect") {
        a = Answer{.status = 302, .body = SitePage("移動しました", ""), .location = normalTarget};
    } else if (mode == "redirectloop") {
        a = Answer{.status = 302, .body = SitePage("移動しました", ""), .location = target};
    } else if (mode == "empty") {
        a = Answer{};
    } else if (mode == "garbage") {
        a = Answer{};
        a.body = GarbageBody(Hash(target, 1));
    } else {
        a = Answer{};
        a.status = 404;
        a.body = SitePage("不明な障害モード", "<p>" + SafeSymbol(mode) + "</p>\n");
    }
    return a;
}

}  // namespace

struct QuoteServer::Impl {
    Impl(RequestLog& l, std::optional<MarketClock> c) : log(l), fixedClock(c) {}

    RequestLog& log;
    const std::optional<MarketClock> fixedClock;  // none: the wall clock
    httplib::Server server;
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> stopping{false};
    std::atomic<long long> moves{0};  // requests under /move so far

    // Sleeps up to ms; false when the server began to stop meanwhile.
    bool Pause(long ms) {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping.load(); });
    }

    void Handle(const httplib::Request& req, httplib::Response& res);
    void Send(const httplib::Request& req, httplib::Response& res, const Answer& a);
    void StreamOut(const httplib::Request& req, httplib::Response& res, std::string mode, Answer a);
    bool Provide(Stream& s, std::size_t offset, httplib::DataSink& sink);
};

void QuoteServer::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
    log.Arrived(req.method, req.target);
    if (req.has_param("delay")) {
        long ms = std::atol(req.get_param_value("delay").c_str());
        Pause(std::clamp(ms, 0L, kMaxDelayMs));
    }

    std::string path = req.path;
    MarketClock clock = fixedClock ? *fixedClock : MarketClock::Now();
    if (path.starts_with("/move/")) {
        path.erase(0, 5);
        clock = MarketClock::Moving(clock, ++moves);
    }
    std::string mode;
    if (path.starts_with("/fault/")) {
        const auto slash = path.find('/', 7);
        mode = path.substr(7, slash == std::string::npos ? std::string::npos : slash - 7);
        path = slash == std::string::npos ? "/" : path.substr(slash);
    }
    const auto q = req.target.find('?');
    const std::string query = q == std::string::npos ? "" : req.target.substr(q);
    const Query params(req.params.begin(), req.params.end());

    Answer a;
    if (mode == "lowershiftjis" && path == "/q") {
        const auto s = params.find("s");
        a.body = QuotePage(s == params.end() ? "" : s->second, clock, {.lowerCaseShiftJis = true});
    } else {
        a = NormalAnswer(path, params, clock);
    }

    if (Streams(mode)) {
        StreamOut(req, res, mode, std::move(a));
        return;
    }
    Send(req, res, WholeAnswer(mode, path + query, req.target, std::move(a)));
}

void QuoteServer::Impl::Send(const httplib::Request& req, httplib::Response& res, const Answer& a) {
    res.status = a.status;
    if (!a.location.empty()) res.set_header("Location", a.location);
    LoggedRequest entry = EntryOf(req);
    Coding coding = Coding::kIdentity;
    if (Compressible(a.contentType)) {
        res.set_header("Vary", "Accept-Encoding");
        if (!a.body.empty()) coding = ChosenCoding(entry.acceptEncoding);
    }
    entry.contentEncoding = CodingName(coding);
    if (coding != Coding::kIdentity) res.set_header("Content-Encoding", entry.contentEncoding);
    auto body = std::make_shared<const std::string>(Encoded(a.body, coding));
    entry.bytesSent = static_cast<long long>(body->size());
    // httplib compresses a body it is given whole as it likes (brotli first), but leaves one
    // from a provider of known length as it is: the coding stays the host's own.
    if (body->empty()) {
        res.set_content("", a.contentType.c_str());
    } else {
        res.set_content_provider(
            body->size(), a.contentType.c_str(),
            [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                return sink.write(body->data() + offset, std::min(length, body->size() - offset));
            });
    }
    // Logged before the answer goes out, so one client's requests appear in its order.
    log.Answered(std::move(entry));
}

void QuoteServer::Impl::StreamOut(const httplib::Request& req, httplib::Response& res,
                                  std::string mode, Answer a) {
    auto s = std::make_shared<Stream>();
    s->entry = EntryOf(req);
    s->mode = std::move(mode);
    s->localPort = req.local_port;
    s->remotePort = req.remote_port;
    s->body = std::move(a.body);
    if (s->mode == "huge") {
        s->fillerAt = FillerPoint(s->body);
        s->fillerBytes = kHugeFillerBytes;
    } else if (s->mode == "bomb") {
        // Sent gzipped whatever the request asked for, as a hostile host would.
        const std::string_view page = s->body;
        const std::size_t at = FillerPoint(page);
        s->bomb = std::make_unique<GzipBomb>(page.substr(0, at), kBombFillerMiB, page.substr(at));
        s->entry.contentEncoding = "gzip";
        res.set_header("Content-Encoding", "gzip");
        // A send buffer of its own size, not one grown to megabytes: what the log counts as sent
        // is then what the client took, give or take its receive window.
        const int fd = ConnectionSocket(s->localPort, s->remotePort);
        const int bytes = kBombSendBuffer;
        if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    }
    res.status = a.status;
    res.set_content_provider(
        s->Size(), a.contentType.c_str(),
        [this, s](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            return Provide(*s, offset, sink);
        },
        [this, s](bool) {
            LoggedRequest entry = s->entry;
            entry.bytesSent = s->sent;
            entry.completed = s->completed;
            log.Answered(std::move(entry));
        });
}

bool QuoteServer::Impl::Provide(Stream& s, std::size_t offset, httplib::DataSink& sink) {
    const auto write = [&](const char* p, std::size_t n) {
        if (!sink.write(p, n)) return false;
        s.sent += static_cast<long long>(n);
        if (static_cast<std::size_t>(s.sent) == s.Size()) s.completed = true;
        return true;
    };
    const std::size_t half = s.body.size() / 2;
    if (s.mode == "short") {
        // The page less its tail, then an orderly close: fewer bytes than announced.
        write(s.body.data(), s.body.size() - std::min<std::size_t>(64, s.body.size()));
        return false;
    }

    if (s.mode == "reset" || s.mode == "stall") {
        if (!write(s.body.data(), half)) return false;
        const int fd = ConnectionSocket(s.localPort, s.remotePort);
        if (s.mode == "reset") {
            // Let the part arrive before the reset overtakes it.
            Pause(200);
            ResetConnection(fd);
            return false;
        }
        for (long waited = 0; waited < kStallMs && !PeerGone(fd); waited += 100) {
            if (!Pause(100)) break;
        }
        return false;
    }
    if (s.mode == "trickle") {
        const std::size_t n = std::min(kTrickleChunk, s.body.size() - offset);
        if (!write(s.body.data() + offset, n)) return false;
        return offset + n == s.body.size() || Pause(kTrickleGapMs);
    }
    // huge and bomb, in blocks; a host that stops ends them.
    if (stopping) return false;
    if (s.bomb) {
        const std::string_view part = s.bomb->At(offset, kWriteBlock);
        return write(part.data(), part.size());
    }
    const std::string part = HugePart(s, offset);
    return write(part.data(), part.size());
}

QuoteServer::QuoteServer(RequestLog& log, std::optional<MarketClock> clock)
    : impl_(std::make_unique<Impl>(log, clock)) {
    auto& svr = impl_->server;
    // Stalled and trickling requests each hold a worker; keep enough for parallel tests.
    svr.new_task_queue = [] { return new httplib::ThreadPool(48); };
    // httplib's default also sets SO_REUSEPORT, which would let two hosts share a port.
    svr.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    svr.set_keep_alive_timeout(1);
    svr.set_read_timeout(5);
    svr.set_write_timeout(5);
    const auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        impl_->Handle(req, res);
    };
    svr.Get(".*", handler);
    svr.Post(".*", handler);
}

QuoteServer::~QuoteServer() = default;

int QuoteServer::Bind(int port) {
    if (port == 0) return impl_->server.bind_to_any_port("127.0.0.1");
    return impl_->server.bind_to_port("127.0.0.1", port) ? port : -1;
}

bool QuoteServer::Run() {
    return impl_->server.listen_after_bind();
}

void QuoteServer::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    impl_->server.stop();
}

}  // namespace tickora::quotehost
