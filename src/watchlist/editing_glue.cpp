// Watch-list editing on the main window: the entry row's preview, adding, deleting and
// deleting all.

#include <QComboBox>
#include <QTableView>
#include <algorithm>

#include "app/message_boxes.h"
#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "watchlist/editing.h"
#include "watchlist/quote_places.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::OnChangeCode() {
    UpdateData();
    m_entry.m_bAddWaiting = 0;  // the user typed on: the add waited for another code
    if (m_entry.m_strEntryCode.size() >= 4) RefreshEntryRow();
}

void CQuoteDlg::OnSelchangeMarket() {
    OnChangeCode();  // another market is another stock to preview, as another code is
}

void CQuoteDlg::RefreshEntryRow() {
    if (m_bDestroyed) return;
    if (m_entry.m_previewCancel)
        *m_entry.m_previewCancel = true;  // the older request's answer is not wanted
    m_entry.m_previewCancel = std::make_shared<std::atomic<bool>>(false);
    const int request = ++m_entry.m_nPreviewRequest;
    // The same fetch as a pass's, with its limits: the preview waits on a worker, and the
    // window paints meanwhile.
    RefreshConfig config = MakeRefreshConfig();
    config.fetch.cancel = m_entry.m_previewCancel.get();
    m_sideWorkers.Start([this, request, config, cancel = m_entry.m_previewCancel] {
        const Quote quote = FetchEntryQuote(config);
        m_gateway.Call([&] { OnPreviewArrived(request, quote); });
    });
}

void CQuoteDlg::OnPreviewArrived(int request, const Quote& quote) {
    if (request != m_entry.m_nPreviewRequest) return;  // a late answer for an older text
    m_entry.m_nPreviewAnswered = request;
    ShowEntryQuote(quote);
    if (m_entry.m_bAddWaiting) {
        m_entry.m_bAddWaiting = 0;
        OnAddToList();
    }
    emit PreviewArrived();
}

void CQuoteDlg::ShowEntryQuote(const std::string& code, int market, const Quote& quote) {
    if (code != m_entry.m_strEntryCode || market != m_cboMarket->currentIndex()) return;
    ShowEntryQuote(quote);
}

void CQuoteDlg::ShowEntryQuote(const Quote& quote) {
    for (const QuotePlace& place : kQuotePlaces)
        SetControlText(place.entryEdit, quote.*place.field);
}

void CQuoteDlg::ShowMessage(const std::string& text) {
    m_services.messageBoxes->Show(this, Utf8ToCp932(m_strProgramName), text);
}

void CQuoteDlg::OnAddToList() {
    UpdateData();
    auto preview = [this](int id) { return CutToBytes(ControlText(id), kPreviewTextBytes); };
    const AddCheck check = CheckAdd(m_entry.m_strEntryCode, RowCount(), preview(ids::kPriceEdit));
    if (check == AddCheck::Ignore) return;
    if (check == AddCheck::TooMany) {
        ShowMessage(TooManyRowsText());
        return;
    }
    // The price must be the current code's: while its preview is on its way, the add
    // completes when it arrives, and the window paints meanwhile.
    if (m_entry.m_nPreviewAnswered != m_entry.m_nPreviewRequest) {
        m_entry.m_bAddWaiting = 1;
        return;
    }
    if (check == AddCheck::NoData) {
        ShowMessage(NoDataText());
        return;
    }
    StopRefresh();
    const int row = InsertPosition(SelectedRow(), RowCount());
    RowCells cells;
    cells[ids::kColCode] = CutToBytes(m_entry.m_strEntryCode, kPreviewTextBytes);
    cells[ids::kColMarket] = ControlText(ids::kMarketCombo);
    for (const QuotePlace& place : kQuotePlaces) cells[place.column] = preview(place.entryEdit);
    m_arrResults.emplace_back();
    m_pModel->InsertAt(row, cells);
    // The new row becomes the list's current one; the keyboard stays where the user types.
    SelectRow(row);
    StartRefresh();
    m_entry.m_strEntryCode.clear();
    SetControlText(ids::kCodeEdit, m_entry.m_strEntryCode);
    ShowEntryQuote(Quote{});
}

void CQuoteDlg::OnDeleteItem() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (row < static_cast<int>(m_arrResults.size())) m_arrResults.erase(m_arrResults.begin() + row);
    m_arrResults.shrink_to_fit();
    m_pModel->RemoveAt(row);
    SelectRow(SelectionAfterDelete(row, RowCount()));
}

void CQuoteDlg::OnDeleteAll() {
    // The timers stop, but the connected state and its buttons stay: the next add restarts
    // the refresh.
    KillTimer(ids::kTimerRefresh);
    KillTimer(ids::kTimerTip);
    if (RowCount() == 0 || SelectedRow() < 0) return;
    m_arrResults.clear();
    m_arrResults.shrink_to_fit();
    m_pModel->Clear();
}

}  // namespace tickora
