// The quote-page settings command: the dialog works on copies of where quotes come from and
// how their pages are read, and OK puts them to use at once.

#include <QComboBox>
#include <cstdio>

#include "app/quote_dlg.h"
#include "common/market_table.h"
#include "quotepage/quote_page_dlg.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::OnQuotePageSettings() {
    CQuotePageDlg dlg(this, m_fetchLimits);
    dlg.m_settings = m_page;
    // The selected row is the stock to try, else the one typed in the entry row.
    if (const int row = SelectedRow(); row >= 0 && row < RowCount()) {
        dlg.m_strTestCode = m_pModel->Cell(row, ids::kColCode);
        dlg.m_nTestMarket = FindMarketByPrefix(m_pModel->Cell(row, ids::kColMarket));
    } else {
        UpdateData();
        dlg.m_strTestCode = m_entry.m_strEntryCode;
        dlg.m_nTestMarket = m_cboMarket ? m_cboMarket->currentIndex() : 0;
    }
    if (dlg.DoModal() != QDialog::Accepted) return;
    m_page = dlg.m_settings;
    const PageRules rules(m_page.m_arrRules);
    for (const RuleError& error : rules.Errors())
        std::fprintf(stderr, "tickora: [%s] %s\n", kRuleSection, DescribeRuleError(error).c_str());
    // The rows show the new reading now, not a minute later.
    if (m_refresh.m_bConnected == 1 && StartRefreshWorker()) SetStatusText(FetchingStatusText());
}

}  // namespace tickora
