#pragma once
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "reading/extraction_pattern.h"
#include "reading/page_reading.h"

namespace tickora {

// A transport failure of the HTTP layer: libcurl's code and message.
class HttpError : public std::runtime_error {
  public:
    HttpError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

struct FetchOptions {
    long connectTimeoutMs = 20'000;
    long stallSeconds = 30;   // abort when no byte arrives for this long
    long totalSeconds = 120;  // a trickling host cannot hold a pass forever
    // Set from another thread to abort a running fetch (looked at every 100 ms).
    const std::atomic<bool>* cancel = nullptr;
};

inline constexpr const char* kUserAgent = "HTTP Get Test Application ver-1.00";

// Where the bytes of an answer go. The HTTP status is not looked at.
struct BodySink {
    // The final answer's headers are in (redirects followed); false stops the transfer.
    std::function<bool()> onResponse;
    // The next bytes of the body; false when no more are wanted.
    std::function<bool(std::string_view)> onBody;
    // Ask for the body compressed, in any encoding libcurl decodes; onBody gets it decoded, so
    // its false stops the decoding too. Otherwise the request names no encoding and a body
    // sent encoded all the same reaches onBody as sent.
    bool compressed = false;
};

// What the final answer said of its body.
struct ResponseInfo {
    long status = 0;
    std::string contentType;  // the Content-Type header as sent; empty without one
};

// GETs url into sink. A sink that stops the transfer is no failure; any transport failure
// throws HttpError.
ResponseInfo FetchBody(const std::string& url, const FetchOptions& options, BodySink& sink);

// A page as the program reads it off the wire, before any conversion.
struct FetchedPage {
    std::string bytes;  // the read pieces: CRs removed, each piece up to its first zero byte
    int pieces = 0;
    std::size_t bodyBytes = 0;  // the body bytes those pieces were cut from
    ResponseInfo response;
};

// GETs url and reads the body as PageReader cuts it; the status code is not looked at.
// Throws HttpError on any transport failure.
FetchedPage FetchPage(const std::string& url, const FetchOptions& options = {});

// The QuoteResult of a page as read: a page that declares UTF-8 is converted to CP932 and
// then read as Shift_JIS; any other page is read as its own text marks it.
std::string QuoteOfPage(FetchedPage page, const PatternTable& patterns);

// A page for the rules: the body, asked for compressed and decoded, up to kMaxRulePageBytes.
struct RawPage {
    std::string bytes;
    ResponseInfo response;
};
// Throws HttpError on any transport failure.
RawPage FetchRawPage(const std::string& url, const FetchOptions& options = {});

// The QuoteResult of url, read as reading says: FetchPage + QuoteOfPage, or FetchRawPage read by
// the rules. A transport failure gives the fixed error text instead.
std::string FetchQuote(const std::string& url, const PageReading& reading,
                       const FetchOptions& options = {});

// FetchErrorHead() + "<code>\r\n<message>", the message cut to 511 bytes.
std::string FormatFetchError(int code, std::string_view message);

// The URL as sent: bytes outside printable ASCII percent-encoded.
std::string WireUrl(std::string_view url);

}  // namespace tickora
