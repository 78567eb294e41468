#pragma once
// Shared helpers of the quote host tests.

#include <string>
#include <string_view>

#include "common/sjis.h"
#include "quotes/extract.h"
#include "quotes/extraction_pattern.h"

namespace tickora::test {

inline constexpr std::string_view kAnchor = "</tr><tr align=right>";

inline QuoteFields Fields(std::string_view page) {
    return SplitQuoteResult(ExtractFields(page, DefaultPatterns()));
}

inline std::size_t CountOf(std::string_view text, char c) {
    std::size_t n = 0;
    for (const char ch : text) n += ch == c ? 1 : 0;
    return n;
}

}  // namespace tickora::test
