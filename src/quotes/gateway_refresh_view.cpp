#include "quotes/gateway_refresh_view.h"

#include "watchlist/watch_list_model.h"

namespace tickora {

bool GatewayRefreshView::Alive() {
    return !gateway_.IsClosed();
}

int GatewayRefreshView::RowCount() {
    int count = 0;
    gateway_.Call([&] { count = model_.RowCount(); });
    return count;
}

std::string GatewayRefreshView::CellText(int row, int column) {
    std::string text;
    gateway_.Call([&] { text = model_.Cell(row, column); });
    return text;
}

void GatewayRefreshView::SetCellText(int row, int column, const std::string& text) {
    gateway_.Call([&] { model_.SetCell(row, column, text); });
}

void GatewayRefreshView::SetRowCells(int row, const CellWrites& cells) {
    gateway_.Call([&] { model_.SetCells(row, cells); });
}

int GatewayRefreshView::ResultSlotCount() {
    int count = 0;
    gateway_.Call([&] { count = static_cast<int>(slots_.size()); });
    return count;
}

void GatewayRefreshView::SetResultSlot(int row, const std::string& result) {
    gateway_.Call([&] {
        if (row >= 0 && row < static_cast<int>(slots_.size()))
            slots_[static_cast<std::size_t>(row)] = result;
    });
}

void GatewayRefreshView::SetControlText(int id, const std::string& text) {
    gateway_.Call([&] { writeControl_(id, text); });
}

}  // namespace tickora
