#pragma once
// A plain libcurl GET that keeps everything the host sent (status, headers, raw bytes,
// how they arrived), unlike the program's fetch which cuts the body into lines.

#include <curl/curl.h>

#include <string>

namespace tickora::test {

struct ProbeOptions {
    long timeoutMs = 10'000;
    std::size_t maxBytes = 0;  // stop after this many body bytes (0 = read everything)
    std::string userAgent = "tickora-probe";
};

struct ProbeResult {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string contentType;
    std::string location;
    curl_off_t contentLength = -1;
    int deliveries = 0;  // how many times body bytes arrived
    long elapsedMs = 0;
};

// Does not follow redirects.
ProbeResult Probe(const std::string& url, const ProbeOptions& options = {});

}  // namespace tickora::test
