#include "quotes/gateway_refresh_view.h"

#include "quotes/quote_places.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

bool GatewayRefreshView::Alive() {
    return !gateway_.IsClosed();
}

namespace {
// Runs on the UI thread.
RowRead ReadRowNow(const PassTargets& targets, int row) {
    RowRead read;
    const WatchListModel& model = *targets.model;
    read.exists = row >= 0 && row < model.RowCount();
    if (!read.exists) return read;
    read.key = {model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)};
    read.hasSlot = row < static_cast<int>(targets.resultSlots->size());
    return read;
}
}  // namespace

RowRead GatewayRefreshView::ReadRow(int row) {
    RowRead read;
    gateway_.Call([&] { read = ReadRowNow(targets_, row); });
    return read;
}

RowRead GatewayRefreshView::StoreRowResult(int row, const RowKey& key, const std::string& result,
                                           const std::optional<Quote>& quote) {
    RowRead next;
    gateway_.Call([&] {
        next = ReadRowNow(targets_, row + 1);
        WatchListModel& model = *targets_.model;
        std::vector<std::string>& results = *targets_.resultSlots;
        if (row < 0 || row >= static_cast<int>(results.size())) return;
        if (RowKey{model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)} != key) return;
        results[static_cast<std::size_t>(row)] = result;
        if (quote) model.SetCellsSoon(row, CellsOf(*quote));
    });
    return next;
}

void GatewayRefreshView::ShowIndex(std::size_t index, const IndexTexts& texts) {
    gateway_.Call([&] { targets_.showIndex(index, texts); });
}

void GatewayRefreshView::ShowEntryQuote(const std::string& code, int market, const Quote& quote) {
    gateway_.Call([&] { targets_.showEntryQuote(code, market, quote); });
}

void GatewayRefreshView::PassEnded() {
    gateway_.Call([&] { targets_.passEnded(); });
}

}  // namespace tickora
