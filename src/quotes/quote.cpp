#include "quotes/quote.h"

#include "common/leading_int.h"
#include "quotes/extract.h"

namespace tickora {

namespace {
Quote QuoteOfFields(QuoteFields f) {
    std::string mark = RiseFallMark(f[4]);
    return {std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]),
            std::move(f[4]), std::move(f[5]), std::move(mark)};
}
}  // namespace

std::optional<Quote> RowQuote(std::string_view result) {
    if (result.empty()) return std::nullopt;
    return QuoteOfFields(SplitQuoteResult(result));
}

Quote EntryQuote(std::string_view result) {
    QuoteFields f = SplitQuoteResult(result);
    if (LeadingInt(f[2]) > 0) return QuoteOfFields(std::move(f));
    const std::string none = "no data";
    return {none, none, none, none, none, none, none};
}

}  // namespace tickora
