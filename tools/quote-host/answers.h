#pragma once
// What the host answers, apart from the transport: the normal pages of every path and the
// body changes of the fault modes that only reshape a page.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "market.h"

namespace tickora::quotehost {

struct Answer {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    std::string location;  // for a redirect
};

using Query = std::multimap<std::string, std::string>;

// Byte i of the /blob?n=N body.
constexpr unsigned char BlobByte(std::size_t i) {
    return static_cast<unsigned char>((i * 131 + i / 251) & 0xFF);
}

// The answer for a path without fault prefix.
Answer NormalAnswer(std::string_view path, const Query& query, const MarketClock& clock);

// Where filler goes in a page: after the line of its <body> tag, so before the quote row.
std::size_t FillerPoint(std::string_view body);

// The page-reshaping faults; false for a mode that is not one of them.
//   longline      one line of more than 1023 bytes before the row
//   manylines     more than 202 lines before the row
//   crlf          CR LF line ends
//   nul           NUL bytes and bytes invalid in CP932 before the row
bool ReshapeBody(std::string_view mode, std::string& body);

// 4 KiB of random bytes, the same for the same seed.
std::string GarbageBody(std::uint64_t seed);

// One 64-byte filler line of the huge page.
std::string_view HugeFillerLine();

}  // namespace tickora::quotehost
