// The entry row: the code edit and the market selector preview the typed stock.

#include <QComboBox>

#include "app/quote_dlg.h"
#include "quotes/dialog_refresh_view.h"

namespace tickora {

void CQuoteDlg::OnChangeCode() {
    UpdateData();
    if (m_strEntryCode.size() >= 4) RefreshEntryRow();
}

void CQuoteDlg::OnSelchangeMarket() {
    UpdateData();
    if (m_strEntryCode.size() >= 4) RefreshEntryRow();
}

void CQuoteDlg::RefreshEntryRow() {
    // On the UI thread the gateway runs each call at once, so this writes the edits directly.
    DialogRefreshView view(*this, m_gateway);
    // This fetch holds the window while the user types, so a silent host gets seconds,
    // not the half minute a worker's fetch may wait.
    RefreshConfig config = MakeRefreshConfig();
    config.fetch.connectTimeoutMs = 5'000;
    config.fetch.stallSeconds = 5;
    config.fetch.totalSeconds = 10;
    tickora::RefreshEntryRow(view, config);
}

}  // namespace tickora
