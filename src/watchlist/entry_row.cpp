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
    tickora::RefreshEntryRow(view, MakeRefreshConfig());
}

}  // namespace tickora
