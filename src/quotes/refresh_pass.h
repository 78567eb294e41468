#pragma once
#include <string>

#include "quotes/extraction_pattern.h"
#include "quotes/fetch.h"
#include "quotes/quote_url.h"
#include "quotes/refresh_view.h"

namespace tickora {

// What a pass needs of the window's settings, copied on the UI thread when the pass is
// started, so the worker never reads members the UI thread may change.
struct RefreshConfig {
    std::string baseUrl;
    SuffixTable suffixes = DefaultSuffixes();
    PatternTable patterns = DefaultPatterns();
    std::string entryCode;  // text of the code edit
    int entryMarket = 0;    // selection of the market selector
    FetchOptions fetch;
};

// One pass: entry row (code of 4 bytes or more), the three indices, then every row in
// list order. Ends early when the view stops being alive.
void RunRefreshPass(RefreshView& view, const RefreshConfig& config);

// The entry row's preview: the seven edits get the quote, or "no data" each.
void RefreshEntryRow(RefreshView& view, const RefreshConfig& config);

// What one QuoteResult writes into its row: columns 1, 3-7 and the mark; nothing for an
// empty result, which leaves the row as it was.
CellWrites RowWrites(const std::string& result);

// The entry row's seven edits for a QuoteResult: its fields and mark, or "no data" in each
// when the price is not a positive number.
ControlTexts EntryRowTexts(const std::string& result);

// "データ取得中", the status text while a pass is pending or running.
const std::string& FetchingStatusText();

}  // namespace tickora
