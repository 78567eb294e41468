#include "quotes/fetch.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "common/codepage.h"
#include "common/sjis.h"
#include "quotes/curl_api.h"
#include "reading/extract.h"
#include "reading/page_charset.h"
#include "reading/page_reader.h"

namespace tickora {

namespace {

// libcurl's functions, once FetchBody has loaded them.
const CurlApi& Curl() {
    return *LoadCurl();
}

using Clock = std::chrono::steady_clock;

// Host names whose lookup outlived the fetch that started it. libcurl leaves such a lookup's
// thread and descriptor behind; while one is outstanding, a fetch of that name fails at once
// instead of leaving one more of each behind, for as long as the name server stays silent.
class OutstandingLookups {
  public:
    static OutstandingLookups& Instance() {
        static auto* lookups = new OutstandingLookups;  // watchers may outlive main
        return *lookups;
    }

    // Whether any is outstanding: while none is, a fetch need not find its own name.
    bool Any() const { return outstanding_.load(std::memory_order_acquire) != 0; }

    bool Holds(const std::string& host) {
        std::lock_guard lock(mutex_);
        return hosts_.count(host) != 0;
    }

    // One watcher per name looks the name up again and lets it go once a lookup returns.
    void Add(const std::string& host) {
        {
            std::lock_guard lock(mutex_);
            if (!hosts_.insert(host).second) return;
            outstanding_.store(hosts_.size(), std::memory_order_release);
        }
        std::thread([this, host] {
            addrinfo hints{};
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* found = nullptr;
            if (getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0) freeaddrinfo(found);
            std::lock_guard lock(mutex_);
            hosts_.erase(host);
            outstanding_.store(hosts_.size(), std::memory_order_release);
        }).detach();
    }

  private:
    std::mutex mutex_;
    std::set<std::string> hosts_;
    std::atomic<std::size_t> outstanding_{0};
};

// The name a fetch of url looks up; empty for an address literal, which needs no lookup.
std::string LookupName(const std::string& url) {
    CURLU* u = Curl().url();
    char* part = nullptr;
    std::string host;
    if (u && Curl().url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        Curl().url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
        host = part;
        Curl().free(part);
    }
    Curl().url_cleanup(u);
    unsigned char address[sizeof(in6_addr)];
    const std::string bare = host.starts_with('[') ? host.substr(1, host.size() - 2) : host;
    if (inet_pton(AF_INET, bare.c_str(), address) == 1 ||
        inet_pton(AF_INET6, bare.c_str(), address) == 1)
        return {};
    return host;
}

struct Transfer {
    CURL* curl = nullptr;
    BodySink* sink = nullptr;
    Clock::time_point lastByte = Clock::now();
    bool responded = false;    // the final response's headers are in
    bool sawLocation = false;  // in the header block now arriving
    bool stopped = false;      // the sink wanted no more: not a failure

    bool Respond() {
        if (responded) return true;
        responded = true;
        return !sink->onResponse || sink->onResponse();
    }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastByte = Clock::now();
    // Returning less than n stops the transfer.
    if (!t->Respond() || !t->sink->onBody(std::string_view(data, n))) {
        t->stopped = true;
        return 0;
    }
    return n;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastByte = Clock::now();
    const std::string_view line(data, n);
    if (line.size() >= 9 && (line[0] == 'L' || line[0] == 'l') &&
        Curl().strnequal(line.data(), "Location:", 9))
        t->sawLocation = true;
    if (line != "\r\n" && line != "\n") return n;
    // The end of a header block: an interim answer or a redirect that is followed does not
    // count as the response.
    long status = 0;
    Curl().easy_getinfo(t->curl, CURLINFO_RESPONSE_CODE, &status);
    const bool interim = status / 100 == 1 || (status / 100 == 3 && t->sawLocation);
    t->sawLocation = false;
    if (interim) return n;
    if (!t->Respond()) {
        t->stopped = true;
        return 0;
    }
    return n;
}

struct CurlDeleter {
    void operator()(CURL* c) const { Curl().easy_cleanup(c); }
};
using EasyHandle = std::unique_ptr<CURL, CurlDeleter>;
struct SlistDeleter {
    void operator()(curl_slist* s) const { Curl().slist_free_all(s); }
};

// What a worker thread keeps between its fetches: the multi handle that drives them, with
// its wake-up descriptors, a share of name lookups, and the easy handle of its last fetch
// that ended well. No connection is kept: every fetch asks for a fresh one and the fetch's
// end closes it (see FetchBody).
class ThreadCurl {
  public:
    static ThreadCurl& Get() {
        thread_local ThreadCurl curl;
        return curl;
    }
    ThreadCurl(const ThreadCurl&) = delete;
    ThreadCurl& operator=(const ThreadCurl&) = delete;
    ~ThreadCurl() {
        easy_.reset();
        if (multi_) Curl().multi_cleanup(multi_);
        if (share_) Curl().share_cleanup(share_);
    }

    CURLM* multi() const { return multi_; }
    // The easy handle of the last fetch that ended well, or a new one; either way set up
    // with what every fetch asks for alike.
    EasyHandle TakeEasy() {
        if (easy_) return std::move(easy_);
        EasyHandle easy(Curl().easy_init());
        if (easy) SetCommonOptions(easy.get());
        return easy;
    }
    // Only a handle whose fetch ended well comes back, made to point at nothing of that
    // fetch. One that failed, a name lookup it gave up on perhaps, is cleaned up instead,
    // without waiting for the lookup.
    void KeepEasy(EasyHandle easy) {
        CURL* c = easy.get();
        Curl().easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
        Curl().easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
        Curl().easy_setopt(c, CURLOPT_HEADERDATA, nullptr);
        easy_ = std::move(easy);
    }

  private:
    ThreadCurl()
        : multi_(Curl().multi_init()),
          share_(Curl().share_init()),
          headers_(Curl().slist_append(Curl().slist_append(nullptr, "Cache-Control: no-cache"),
                                       "Pragma: no-cache")) {
        // Used by this thread alone, so it needs no lock functions.
        if (share_) Curl().share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        // One closed connection at most waits in the cache for libcurl to let it go.
        if (multi_) Curl().multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 1L);
    }

    // The request and its handling, the same for every fetch. A handle keeps them from one
    // fetch to the next; FetchBody adds the URL, the limits and the fetch's own state.
    void SetCommonOptions(CURL* c) const {
        Curl().easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
        Curl().easy_setopt(c, CURLOPT_HTTPHEADER, headers_.get());
        Curl().easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
        Curl().easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        Curl().easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        Curl().easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
        Curl().easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        // The thread's multi handle outlives the fetch, and so does its connection cache: the
        // fetch opens a connection of its own, as with a multi handle of its own (a followed
        // redirect still goes on over it), and Perform closes it at the end. The option
        // changes no byte of the request.
        Curl().easy_setopt(c, CURLOPT_FRESH_CONNECT, 1L);
        Curl().easy_setopt(c, CURLOPT_SHARE, share_);
        // A name lookup that never answers must not hold the end of a fetch: the resolver's
        // thread is left to finish on its own instead of being waited for.
        Curl().easy_setopt(c, CURLOPT_QUICK_EXIT, 1L);
        Curl().easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
        Curl().easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
    }

    CURLM* multi_;
    CURLSH* share_;
    std::unique_ptr<curl_slist, SlistDeleter> headers_;
    EasyHandle easy_;
};

// A connection libcurl keeps for reuse after a transfer is ended at once, as the cleanup of
// a multi handle of the fetch's own ended it: the host sees it close when the fetch ends.
// libcurl finds it dead and closes its descriptor when it next looks at its cache, which
// holds at most one (ThreadCurl).
void CloseKeptConnection(CURL* c) {
    curl_socket_t fd = CURL_SOCKET_BAD;
    if (Curl().easy_getinfo(c, CURLINFO_ACTIVESOCKET, &fd) == CURLE_OK && fd != CURL_SOCKET_BAD)
        shutdown(fd, SHUT_RDWR);
}

// Drives one transfer, waking every 100 ms to honour the cancel flag and the stall limit
// (no byte for stallSeconds), so a shut-down never waits on a silent host.
CURLcode Perform(CURL* c, Transfer& transfer, const FetchOptions& options, std::string& message) {
    CURLM* multi = ThreadCurl::Get().multi();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    Curl().multi_add_handle(multi, c);
    CURLcode result = CURLE_OK;
    const auto stall = std::chrono::seconds(options.stallSeconds);
    for (int running = 1;;) {
        if (Curl().multi_perform(multi, &running) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* msg = Curl().multi_info_read(multi, &left))
                if (msg->msg == CURLMSG_DONE) result = msg->data.result;
            CloseKeptConnection(c);
            break;
        }
        if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
            result = CURLE_ABORTED_BY_CALLBACK;
            message = "Transfer cancelled";
            break;
        }
        if (Clock::now() - transfer.lastByte > stall) {
            result = CURLE_OPERATION_TIMEDOUT;
            message = "No data received for " + std::to_string(options.stallSeconds) + " seconds";
            break;
        }
        Curl().multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    Curl().multi_remove_handle(multi, c);
    return result;
}

// What this fetch alone asks for, on top of the options every fetch shares: the URL, the
// limits, the encodings and the fetch's own state, which KeepEasy unsets again.
void SetFetchOptions(CURL* c, const std::string& wire, const FetchOptions& options, char* errorText,
                     Transfer& transfer) {
    Curl().easy_setopt(c, CURLOPT_URL, wire.c_str());
    // Set on every fetch, as the handle goes from one kind of fetch to the other: "" offers
    // every encoding this libcurl decodes, and decodes them; nullptr sends no Accept-Encoding
    // and leaves a body that comes encoded anyway as it came.
    Curl().easy_setopt(c, CURLOPT_ACCEPT_ENCODING, transfer.sink->compressed ? "" : nullptr);
    Curl().easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    Curl().easy_setopt(c, CURLOPT_TIMEOUT, options.totalSeconds);
    Curl().easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    Curl().easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    Curl().easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
}

}  // namespace

std::string WireUrl(std::string_view url) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 0x20 && c < 0x7F) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

ResponseInfo FetchBody(const std::string& url, const FetchOptions& options, BodySink& sink) {
    if (std::string why; LoadCurl(&why) == nullptr) throw HttpError(CURLE_FAILED_INIT, why);
    EasyHandle curl = ThreadCurl::Get().TakeEasy();
    if (!curl) throw HttpError(CURLE_FAILED_INIT, Curl().easy_strerror(CURLE_FAILED_INIT));
    CURL* c = curl.get();

    Transfer transfer;
    transfer.curl = c;
    transfer.sink = &sink;
    char errorText[CURL_ERROR_SIZE] = {};
    const std::string wire = WireUrl(url);
    OutstandingLookups& lookups = OutstandingLookups::Instance();
    if (lookups.Any()) {
        const std::string name = LookupName(wire);
        if (!name.empty() && lookups.Holds(name))
            throw HttpError(CURLE_COULDNT_RESOLVE_HOST,
                            "The name lookup of " + name + " has not returned yet");
    }

    SetFetchOptions(c, wire, options, errorText, transfer);
    std::string message;
    const CURLcode rc = Perform(c, transfer, options, message);
    const bool stoppedBySink = rc == CURLE_WRITE_ERROR && transfer.stopped;
    // A body that ends before its announced length is what the host sent: it is read as the
    // page. A reset or a time-out is still a failure.
    const bool endedEarly = rc == CURLE_PARTIAL_FILE;
    if (rc != CURLE_OK && !stoppedBySink && !endedEarly) {
        curl_off_t resolved = 0;
        Curl().easy_getinfo(c, CURLINFO_NAMELOOKUP_TIME_T, &resolved);
        if (resolved == 0 && (rc == CURLE_OPERATION_TIMEDOUT || rc == CURLE_ABORTED_BY_CALLBACK))
            if (const std::string name = LookupName(wire); !name.empty()) lookups.Add(name);
        throw HttpError(rc, !message.empty()       ? message
                            : errorText[0] != '\0' ? std::string(errorText)
                                                   : std::string(Curl().easy_strerror(rc)));
    }
    // An answer without a body still opened.
    if (!stoppedBySink) transfer.Respond();
    ResponseInfo info;
    Curl().easy_getinfo(c, CURLINFO_RESPONSE_CODE, &info.status);
    const char* type = nullptr;
    if (Curl().easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr)
        info.contentType = type;
    ThreadCurl::Get().KeepEasy(std::move(curl));
    return info;
}

FetchedPage FetchPage(const std::string& url, const FetchOptions& options) {
    PageReader reader;
    BodySink sink;
    sink.onBody = [&](std::string_view bytes) { return reader.Feed(bytes); };
    FetchedPage page;
    page.response = FetchBody(url, options, sink);
    reader.Finish();
    page.pieces = reader.Pieces();
    page.bodyBytes = reader.BodyBytes();
    page.bytes = reader.TakePage();
    return page;
}

std::string QuoteOfPage(FetchedPage page, const PatternTable& patterns) {
    const PageCoding coding = CodingOfPage(page.response.contentType, page.bytes);
    return ExtractFields(PageTextFor(std::move(page.bytes), coding), patterns,
                         coding != PageCoding::kEucJp);
}

std::string FormatFetchError(int code, std::string_view message) {
    return FetchErrorHead() + std::to_string(code) + "\r\n" + CutToBytes(UpToNul(message), 511);
}

RawPage FetchRawPage(const std::string& url, const FetchOptions& options) {
    RawPage page;
    BodySink sink;
    // Decoded 16 KiB at a time: the bound stops the decoding of a body that inflates without end.
    sink.compressed = true;
    sink.onBody = [&](std::string_view bytes) {
        page.bytes.append(bytes.substr(0, kMaxRulePageBytes - page.bytes.size()));
        return page.bytes.size() < kMaxRulePageBytes;
    };
    page.response = FetchBody(url, options, sink);
    return page;
}

std::string FetchQuote(const std::string& url, const PageReading& reading,
                       const FetchOptions& options) {
    try {
        if (!reading.ByRules()) return QuoteOfPage(FetchPage(url, options), reading.patterns);
        const RawPage page = FetchRawPage(url, options);
        return QuoteOfPageByRules(page.bytes, page.response.contentType, *reading.rules);
    } catch (const HttpError& e) {
        return FormatFetchError(e.code(), e.what());
    }
}

}  // namespace tickora
