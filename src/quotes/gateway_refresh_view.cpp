#include "quotes/gateway_refresh_view.h"

#include "watchlist/watch_list_model.h"

namespace tickora {

bool GatewayRefreshView::Alive() {
    return !gateway_.IsClosed();
}

RowRead GatewayRefreshView::ReadRow(int row) {
    RowRead read;
    gateway_.Call([&] {
        const WatchListModel& model = *targets_.model;
        read.exists = row >= 0 && row < model.RowCount();
        if (!read.exists) return;
        read.key = {model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)};
        read.hasSlot = row < static_cast<int>(targets_.resultSlots->size());
    });
    return read;
}

void GatewayRefreshView::StoreRowResult(int row, const RowKey& key, const std::string& result,
                                        const CellWrites& cells) {
    gateway_.Call([&] {
        WatchListModel& model = *targets_.model;
        std::vector<std::string>& results = *targets_.resultSlots;
        if (row < 0 || row >= static_cast<int>(results.size())) return;
        if (RowKey{model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)} != key) return;
        results[static_cast<std::size_t>(row)] = result;
        model.SetCellsSoon(row, cells);
    });
}

void GatewayRefreshView::SetControlText(int id, const std::string& text) {
    gateway_.Call([&] { targets_.writeControl(id, text); });
}

void GatewayRefreshView::WriteEntryRow(const std::string& code, int market,
                                       const ControlTexts& texts) {
    gateway_.Call([&] { targets_.writeEntryRow(code, market, texts); });
}

}  // namespace tickora
