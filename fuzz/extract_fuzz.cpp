// Any page, and any pattern table read from a hand-edited settings file, must be cut
// without a crash, whatever charset the page and its header declare; the result is either
// empty or six fields each followed by '_'.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/sjis.h"
#include "quotes/fetch.h"
#include "reading/extract.h"
#include "reading/extraction_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first bytes up to a NUL-separated block of seven patterns, the rest is the page.
    std::array<std::string, tickora::kPatternCount> texts;
    std::size_t pos = 0;
    for (auto& t : texts) {
        const auto end = input.find('\0', pos);
        if (end == std::string_view::npos) break;
        t = std::string(input.substr(pos, end - pos));
        pos = end + 1;
    }
    const std::string_view page = pos <= input.size() ? input.substr(pos) : std::string_view{};
    const bool custom = !texts[0].empty();
    const auto table = custom ? tickora::MakePatternTable(texts) : tickora::DefaultPatterns();
    tickora::FetchedPage fetched;
    fetched.bytes = std::string(page);
    fetched.response.contentType = page.substr(0, 40);  // a header made of the same bytes
    const std::string result = tickora::QuoteOfPage(std::move(fetched), table);
    if (!result.empty() && result.back() != '_') std::abort();
    (void)tickora::SplitQuoteResult(result);
    return 0;
}
