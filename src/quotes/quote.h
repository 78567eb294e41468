#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tickora {

// A quote as the window shows it: the six fields of a QuoteResult and the rise/fall mark of
// its ratio, CP932.
struct Quote {
    std::string name, time, price, change, ratio, volume, mark;
    bool operator==(const Quote&) const = default;
};

// The quote a row shows for a QuoteResult; nullopt for an empty result, which leaves the
// row as it was.
std::optional<Quote> RowQuote(std::string_view result);

// The quote the entry row shows: the fields and mark, or "no data" in each when the price
// is not a positive number.
Quote EntryQuote(std::string_view result);

// An index's two texts in the band above the list.
struct IndexTexts {
    std::string line;    // "日経平均 ( 15:00 ) 16,500.12"
    std::string change;  // " +123.45 "
    bool operator==(const IndexTexts&) const = default;
};

}  // namespace tickora
