#pragma once
#include <string>

#include "quotes/fetch.h"
#include "quotes/page_settings.h"
#include "quotes/refresh_view.h"

namespace tickora {

// What a pass needs of the window's settings, copied on the UI thread when the pass is
// started, so the worker never reads members the UI thread may change.
struct RefreshConfig {
    PageSettings page;
    std::string entryCode;  // text of the code edit
    int entryMarket = 0;    // selection of the market selector
    FetchOptions fetch;
};

// One pass: entry row (code of 4 bytes or more), the three indices, then every row in
// list order. Ends early when the view stops being alive.
void RunRefreshPass(RefreshView& view, const RefreshConfig& config);

// The entry row's quote for the code and market of config: one fetch, on the calling thread.
Quote FetchEntryQuote(const RefreshConfig& config);

// "データ取得中", the status text while a pass is pending or running.
const std::string& FetchingStatusText();

}  // namespace tickora
