#pragma once
// A quote as the program passes it around: the QuoteResult a page is read into
// ('F1_F2_F3_F4_F5_F6_', empty, or the text of a failed fetch), its six fields, the rise/fall
// mark of its ratio, and what a row, the entry row and the index band make of it. CP932.

#include <optional>
#include <string>
#include <string_view>

#include "common/figures.h"

namespace tickora {

struct Quote {
    std::string name, time, price, change, ratio, volume, mark;
    bool operator==(const Quote&) const = default;
};

// "例外が発生しました。\r\nエラー: " (CP932): how the result of a failed fetch begins.
const std::string& FetchErrorHead();

// Splits a QuoteResult at '_' into its six fields; missing fields are empty, and the result
// of a failed fetch gives six empty fields whatever its message says.
FigureTexts SplitQuoteResult(std::string_view result);

// "△ " for a ratio holding '+', else "▼ " for one holding '-', else "－ ".
const std::string& RiseFallMark(std::string_view ratio);
const std::string& RiseMark();
const std::string& FallMark();
const std::string& FlatMark();

// Whether a page gave its quote: the result is neither empty nor a failed fetch's text.
bool ReadWell(std::string_view result);

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
