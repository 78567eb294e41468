// The main window's side of base_data.ini: read once at start, written once at the end.

#include "app/quote_dlg.h"
#include "app/watch_list_model.h"
#include "common/control_ids.h"
#include "watchlist/settings_file.h"

namespace tickora {

void CQuoteDlg::LoadSettings() {
    const SettingsData data = LoadSettingsData(SettingsPath(m_strProgramFolder));
    m_patterns = MakePatternTable(data.patternTexts);
    m_nChkOpenUrl = data.chkOpenUrl;
    m_nChkGoTask = data.chkGoTask;
    m_nSelectedItem = data.selectedItem;
    for (std::size_t d = 0; d < data.rows.size(); ++d) {
        m_pModel->InsertRow(static_cast<int>(d), data.rows[d].code, data.rows[d].market);
        m_arrResults.emplace_back();
    }
    m_strBaseUrl = data.baseUrl;
    m_strStockUrl = data.stockUrl;
    m_strNikkeiUrl = data.nikkeiUrl;
    m_strStockLabel = data.stockLabel;
    m_strNikkeiLabel = data.nikkeiLabel;
    m_szSuffix = data.suffixes;
}

void CQuoteDlg::SaveSettings() {
    // A window that never finished its initialisation has nothing worth writing.
    if (!m_pModel) return;
    SettingsData data;
    for (int d = 0; d < m_pModel->RowCount(); ++d)
        data.rows.push_back({m_pModel->Cell(d, ids::kColCode), m_pModel->Cell(d, ids::kColMarket)});
    data.chkOpenUrl = m_nChkOpenUrl;
    data.chkGoTask = m_nChkGoTask;
    data.selectedItem = m_nSelectedItem;
    data.baseUrl = m_strBaseUrl;
    data.stockUrl = m_strStockUrl;
    data.nikkeiUrl = m_strNikkeiUrl;
    data.stockLabel = m_strStockLabel;
    data.nikkeiLabel = m_strNikkeiLabel;
    data.suffixes = m_szSuffix;
    SaveSettingsData(SettingsPath(m_strProgramFolder), data);
}

}  // namespace tickora
