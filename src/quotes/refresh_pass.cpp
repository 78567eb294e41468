#include "quotes/refresh_pass.h"

#include "common/codepage.h"
#include "common/market_table.h"
#include "quotes/index_panel.h"

namespace tickora {

const std::string& FetchingStatusText() {
    static const std::string text = Sj("データ取得中");
    return text;
}

namespace {
Quote EntryQuoteOf(const RefreshConfig& config, const PageReading& reading) {
    const std::string url = config.page.UrlOf(config.entryCode, config.entryMarket);
    return EntryQuote(FetchQuote(url, reading, config.fetch));
}
}  // namespace

Quote FetchEntryQuote(const RefreshConfig& config) {
    return EntryQuoteOf(config, config.page.Reading());
}

void RunRefreshPass(RefreshView& view, const RefreshConfig& config) {
    const PageReading reading = config.page.Reading();
    if (config.entryCode.size() >= 4)
        view.ShowEntryQuote(config.entryCode, config.entryMarket, EntryQuoteOf(config, reading));
    if (!view.Alive()) return;
    RefreshIndexPanel(view, config, reading);
    // The row count is read afresh for every row: the UI thread may add, delete or move
    // rows while the pass runs.
    for (int i = 0; view.Alive(); ++i) {
        const RowRead row = view.ReadRow(i);
        if (!row.exists) break;
        const RowKey& key = row.key;
        if (key.code.size() < 4) continue;
        const int market = FindMarketByPrefix(key.market);
        const std::string url = config.page.UrlOf(key.code, market);
        if (!row.hasSlot) break;
        const std::string result = FetchQuote(url, reading, config.fetch);
        view.StoreRowResult(i, key, result, RowQuote(result));
    }
    view.PassEnded();
}

}  // namespace tickora
