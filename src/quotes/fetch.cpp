#include "quotes/fetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "common/codepage.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "quotes/page_reader.h"

namespace tickora {

namespace {

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    PageReader reader;
    const std::atomic<bool>* cancel = nullptr;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    // Returning less than n stops the transfer once the last piece is in.
    return t->reader.Feed(std::string_view(data, n)) ? n : 0;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* t = static_cast<Transfer*>(user);
    return t->cancel != nullptr && t->cancel->load(std::memory_order_relaxed) ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* s) const { curl_slist_free_all(s); }
};

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

std::string FetchPage(const std::string& url, const FetchOptions& options) {
    InitCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) throw HttpError(CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT));
    CURL* c = curl.get();

    Transfer transfer;
    transfer.cancel = options.cancel;
    char errorText[CURL_ERROR_SIZE] = {};
    std::unique_ptr<curl_slist, SlistDeleter> headers(
        curl_slist_append(curl_slist_append(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache"));
    const std::string wire = WireUrl(url);

    curl_easy_setopt(c, CURLOPT_URL, wire.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, options.totalSeconds);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode rc = curl_easy_perform(c);
    const bool stoppedByUs = rc == CURLE_WRITE_ERROR && transfer.reader.Full();
    if (rc != CURLE_OK && !stoppedByUs)
        throw HttpError(rc, errorText[0] != '\0' ? errorText : curl_easy_strerror(rc));
    transfer.reader.Finish();
    return transfer.reader.TakePage();
}

std::string FormatFetchError(int code, std::string_view message) {
    static const std::string head = Sj("例外が発生しました。\r\nエラー: ");
    return head + std::to_string(code) + "\r\n" + CutToBytes(UpToNul(message), 511);
}

std::string FetchQuote(const std::string& url, const PatternTable& patterns,
                       const FetchOptions& options) {
    std::string page;
    try {
        page = FetchPage(url, options);
    } catch (const HttpError& e) {
        return FormatFetchError(e.code(), e.what());
    }
    return ExtractFields(page, patterns);
}

}  // namespace tickora
