#include "quotes/gateway_refresh_view.h"

#include "watchlist/quote_places.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

bool GatewayRefreshView::Alive() {
    return !gateway_.IsClosed();
}

RowRead GatewayRefreshView::ReadRow(int row) {
    return gateway_.IsClosed() ? RowRead{} : targets_.rows->Read(row);
}

void GatewayRefreshView::StoreRowResult(int row, const RowKey& key, const std::string& result,
                                        const std::optional<Quote>& quote) {
    gateway_.Post(
        [&model = *targets_.model, &results = *targets_.resultSlots, row, key, result, quote] {
            if (row < 0 || row >= static_cast<int>(results.size())) return;
            if (RowKey{model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)} != key)
                return;
            results[static_cast<std::size_t>(row)] = result;
            if (quote) model.SetCells(row, CellsOf(*quote));
        });
    // The stock counts as read in this pass only where its row still holds it.
    if (targets_.rowRead)
        gateway_.Post(
            [&model = *targets_.model, read = targets_.rowRead, row, key, ok = ReadWell(result)] {
                if (RowKey{model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)} == key)
                    read(key, ok);
            });
}

void GatewayRefreshView::ShowIndex(std::size_t index, const IndexTexts& texts) {
    gateway_.Post([show = targets_.showIndex, index, texts] { show(index, texts); });
}

void GatewayRefreshView::ShowEntryQuote(const std::string& code, int market, const Quote& quote) {
    gateway_.Post(
        [show = targets_.showEntryQuote, code, market, quote] { show(code, market, quote); });
}

void GatewayRefreshView::PassEnded() {
    // Nothing follows it: the window hears of the pass's end, and all before it, at once.
    gateway_.Post([ended = targets_.passEnded] { ended(); }, true);
}

}  // namespace tickora
