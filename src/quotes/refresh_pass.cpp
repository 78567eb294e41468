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

void WriteRowResult(RefreshView& view, int row, const std::string& result) {
    if (result.empty()) return;
    QuoteFields f = SplitQuoteResult(result);
    const std::string mark = RiseFallMark(f[4]);
    view.SetRowCells(row, {{ids::kColName, std::move(f[0])},
                           {ids::kColTime, std::move(f[1])},
                           {ids::kColPrice, std::move(f[2])},
                           {ids::kColChange, std::move(f[3])},
                           {ids::kColRatio, std::move(f[4])},
                           {ids::kColVolume, std::move(f[5])},
                           {ids::kColMark, mark}});
}

void RefreshEntryRow(RefreshView& view, const RefreshConfig& config) {
    const std::string url =
        ExpandQuoteUrl(config.baseUrl, config.suffixes, config.entryCode, config.entryMarket);
    const QuoteFields f = SplitQuoteResult(FetchQuote(url, config.patterns, config.fetch));
    if (LeadingInt(f[2]) <= 0) {
        static const std::string noData = "no data";
        for (const int id : {ids::kNameEdit, ids::kPriceEdit, ids::kTimeEdit, ids::kChangeEdit,
                             ids::kRatioEdit, ids::kVolumeEdit, ids::kMarkEdit})
            view.SetControlText(id, noData);
        return;
    }
    view.SetControlText(ids::kNameEdit, f[0]);
    view.SetControlText(ids::kTimeEdit, f[1]);
    view.SetControlText(ids::kPriceEdit, f[2]);
    view.SetControlText(ids::kChangeEdit, f[3]);
    view.SetControlText(ids::kRatioEdit, f[4]);
    view.SetControlText(ids::kVolumeEdit, f[5]);
    view.SetControlText(ids::kMarkEdit, RiseFallMark(f[4]));
}

void RunRefreshPass(RefreshView& view, const RefreshConfig& config) {
    if (config.entryCode.size() >= 4) RefreshEntryRow(view, config);
    if (!view.Alive()) return;
    RefreshIndexPanel(view, config);
    // The row count is read afresh for every row: the UI thread may add or delete rows
    // while the pass runs, and a row that has gone is simply not written.
    for (int i = 0; view.Alive() && i < view.RowCount(); ++i) {
        const std::string code = view.CellText(i, ids::kColCode);
        if (code.size() < 4) continue;
        const int market = FindMarketByPrefix(view.CellText(i, ids::kColMarket));
        const std::string url = ExpandQuoteUrl(config.baseUrl, config.suffixes, code, market);
        if (i >= view.ResultSlotCount()) break;
        const std::string result = FetchQuote(url, config.patterns, config.fetch);
        view.SetResultSlot(i, result);
        WriteRowResult(view, i, result);
    }
    view.SetControlText(ids::kStatus, "");
}

}  // namespace tickora
