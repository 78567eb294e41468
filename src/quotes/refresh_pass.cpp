#include "quotes/refresh_pass.h"

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/market_table.h"
#include "quotes/extract.h"
#include "quotes/index_panel.h"

namespace tickora {

const std::string& FetchingStatusText() {
    static const std::string text = Sj("データ取得中");
    return text;
}

CellWrites RowWrites(const std::string& result) {
    if (result.empty()) return {};
    QuoteFields f = SplitQuoteResult(result);
    const std::string mark = RiseFallMark(f[4]);
    return {{ids::kColName, std::move(f[0])},
            {ids::kColTime, std::move(f[1])},
            {ids::kColPrice, std::move(f[2])},
            {ids::kColChange, std::move(f[3])},
            {ids::kColRatio, std::move(f[4])},
            {ids::kColVolume, std::move(f[5])},
            {ids::kColMark, mark}};
}

ControlTexts EntryRowTexts(const std::string& result) {
    const QuoteFields f = SplitQuoteResult(result);
    if (LeadingInt(f[2]) <= 0) {
        ControlTexts texts;
        for (const int id : {ids::kNameEdit, ids::kPriceEdit, ids::kTimeEdit, ids::kChangeEdit,
                             ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit})
            texts.emplace_back(id, "no data");
        return texts;
    }
    return {{ids::kNameEdit, f[0]},
            {ids::kTimeEdit, f[1]},
            {ids::kPriceEdit, f[2]},
            {ids::kChangeEdit, f[3]},
            {ids::kRatioEdit, f[4]},
            {ids::kVolumeEdit, f[5]},
            {ids::kMarkEdit, RiseFallMark(f[4])}};
}

void RefreshEntryRow(RefreshView& view, const RefreshConfig& config) {
    const std::string url =
        ExpandQuoteUrl(config.baseUrl, config.suffixes, config.entryCode, config.entryMarket);
    view.WriteEntryRow(config.entryCode, config.entryMarket,
                       EntryRowTexts(FetchQuote(url, config.patterns, config.fetch)));
}

void RunRefreshPass(RefreshView& view, const RefreshConfig& config) {
    if (config.entryCode.size() >= 4) RefreshEntryRow(view, config);
    if (!view.Alive()) return;
    RefreshIndexPanel(view, config);
    // The row count is read afresh for every row: the UI thread may add, delete or move
    // rows while the pass runs.
    for (int i = 0; view.Alive(); ++i) {
        const RowRead row = view.ReadRow(i);
        if (!row.exists) break;
        const RowKey& key = row.key;
        if (key.code.size() < 4) continue;
        const int market = FindMarketByPrefix(key.market);
        const std::string url = ExpandQuoteUrl(config.baseUrl, config.suffixes, key.code, market);
        if (!row.hasSlot) break;
        const std::string result = FetchQuote(url, config.patterns, config.fetch);
        view.StoreRowResult(i, key, result, RowWrites(result));
    }
    view.SetControlText(ids::kStatus, "");
}

}  // namespace tickora
