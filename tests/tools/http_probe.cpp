#include "http_probe.h"

#include <chrono>
#include <memory>

namespace tickora::test {

namespace {

struct Sink {
    ProbeResult* result;
    std::size_t maxBytes;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* s = static_cast<Sink*>(user);
    const size_t n = size * count;
    s->result->body.append(data, n);
    ++s->result->deliveries;
    return s->maxBytes != 0 && s->result->body.size() >= s->maxBytes ? 0 : n;
}

}  // namespace

ProbeResult Probe(const std::string& url, const ProbeOptions& options) {
    ProbeResult r;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    CURL* c = curl.get();
    Sink sink{&r, options.maxBytes};
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_USERAGENT, options.userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, options.timeoutMs);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    const auto start = std::chrono::steady_clock::now();
    r.code = curl_easy_perform(c);
    r.elapsedMs = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &r.status);
    char* type = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr)
        r.contentType = type;
    char* location = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location != nullptr) {
        r.location = location;
    }
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &r.contentLength);
    return r;
}

}  // namespace tickora::test
