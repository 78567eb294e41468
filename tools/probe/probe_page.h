#pragma once
// A quote page as the program reads it, and as much more of the body as a person needs to
// see why a pattern fails: fetched as a refresh pass fetches it, or read from a saved file.

#include <cstddef>
#include <string>

#include "quotes/fetch.h"
#include "reading/page_charset.h"

namespace tickora::probe {

struct ProbePage {
    std::string source;  // the URL, or the file's path (UTF-8)
    bool fromFile = false;
    ResponseInfo response;  // a file has status 0 and no Content-Type
    CharsetDeclaration declared;
    PageCoding coding = PageCoding::kEucJp;
    int pieces = 0;             // pieces the program reads
    std::size_t bodyBytes = 0;  // body bytes those pieces hold
    bool bodyGoesOn = false;    // the body has more than the read pieces
    std::string text;           // CP932: what the extraction reads
    std::string whole;          // CP932: the whole body (up to kMaxWholeBytes), read alike
    std::string raw;            // the body as sent, up to what the rules read
};

// The whole body is kept up to this size; the program itself reads at most 202 pieces.
inline constexpr std::size_t kMaxWholeBytes = 32u << 20;

// url in code page 932, as the program holds it. Throws HttpError on a transport failure, as
// the program's fetch does.
ProbePage FetchProbePage(const std::string& url);
// Throws std::runtime_error when the file cannot be read.
ProbePage ReadProbePage(const std::string& path);

}  // namespace tickora::probe
