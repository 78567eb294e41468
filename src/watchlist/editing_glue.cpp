// Watch-list editing on the main window: the entry row's preview.

#include <algorithm>

#include "app/quote_dlg.h"
#include "quotes/gateway_refresh_view.h"

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
    GatewayRefreshView view(m_gateway, *m_pModel, m_arrResults,
                            [this](int id, const std::string& text) { SetControlText(id, text); });
    // This fetch holds the window while the user types, so a silent host gets seconds,
    // not the half minute a worker's fetch may wait.
    RefreshConfig config = MakeRefreshConfig();
    config.fetch.connectTimeoutMs = std::min(config.fetch.connectTimeoutMs, 5'000L);
    config.fetch.stallSeconds = std::min(config.fetch.stallSeconds, 5L);
    config.fetch.totalSeconds = std::min(config.fetch.totalSeconds, 10L);
    tickora::RefreshEntryRow(view, config);
}

}  // namespace tickora
