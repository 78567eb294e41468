#include "quotes/dialog_refresh_view.h"

#include "app/quote_dlg.h"
#include "app/watch_list_model.h"

namespace tickora {

bool DialogRefreshView::Alive() {
    return !gateway_.IsClosed();
}

int DialogRefreshView::RowCount() {
    int count = 0;
    gateway_.Call([&] { count = dlg_.RowCount(); });
    return count;
}

std::string DialogRefreshView::CellText(int row, int column) {
    std::string text;
    gateway_.Call([&] {
        if (dlg_.m_pModel) text = dlg_.m_pModel->Cell(row, column);
    });
    return text;
}

void DialogRefreshView::SetCellText(int row, int column, const std::string& text) {
    gateway_.Call([&] {
        if (dlg_.m_pModel) dlg_.m_pModel->SetCell(row, column, text);
    });
}

void DialogRefreshView::SetRowCells(int row, const CellWrites& cells) {
    gateway_.Call([&] {
        if (dlg_.m_pModel) dlg_.m_pModel->SetCells(row, cells);
    });
}

int DialogRefreshView::ResultSlotCount() {
    int count = 0;
    gateway_.Call([&] { count = static_cast<int>(dlg_.m_arrResults.size()); });
    return count;
}

void DialogRefreshView::SetResultSlot(int row, const std::string& result) {
    gateway_.Call([&] {
        if (row >= 0 && row < static_cast<int>(dlg_.m_arrResults.size()))
            dlg_.m_arrResults[static_cast<std::size_t>(row)] = result;
    });
}

void DialogRefreshView::SetControlText(int id, const std::string& text) {
    gateway_.Call([&] { dlg_.SetControlText(id, text); });
}

}  // namespace tickora
