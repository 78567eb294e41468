// The main window's side of base_data.ini: read once at start, written once at the end.

#include "app/quote_dlg.h"
#include "watchlist/settings_file.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::LoadSettings() {
    const SettingsData settings = LoadSettingsData(SettingsPath(m_strProgramFolder));
    m_patterns = MakePatternTable(settings.patternTexts);
    m_nChkOpenUrl = settings.chkOpenUrl;
    m_nChkGoTask = settings.chkGoTask;
    m_nSelectedItem = settings.selectedItem;
    for (std::size_t d = 0; d < settings.rows.size(); ++d) {
        RowCells cells;
        cells[ids::kColCode] = settings.rows[d].code;
        cells[ids::kColMarket] = settings.rows[d].market;
        m_pModel->InsertAt(static_cast<int>(d), cells);
        m_arrResults.emplace_back();
    }
    m_strBaseUrl = settings.baseUrl;
    m_strStockUrl = settings.stockUrl;
    m_strNikkeiUrl = settings.nikkeiUrl;
    m_strStockLabel = settings.stockLabel;
    m_strNikkeiLabel = settings.nikkeiLabel;
    m_szSuffix = settings.suffixes;
}

void CQuoteDlg::SaveSettings() {
    // A window that never finished its initialisation has nothing worth writing.
    if (!m_pModel) return;
    SettingsData settings;
    for (int d = 0; d < m_pModel->RowCount(); ++d)
        settings.rows.push_back(
            {m_pModel->Cell(d, ids::kColCode), m_pModel->Cell(d, ids::kColMarket)});
    settings.chkOpenUrl = m_nChkOpenUrl;
    settings.chkGoTask = m_nChkGoTask;
    settings.selectedItem = m_nSelectedItem;
    settings.baseUrl = m_strBaseUrl;
    settings.stockUrl = m_strStockUrl;
    settings.nikkeiUrl = m_strNikkeiUrl;
    settings.stockLabel = m_strStockLabel;
    settings.nikkeiLabel = m_strNikkeiLabel;
    settings.suffixes = m_szSuffix;
    SaveSettingsData(SettingsPath(m_strProgramFolder), settings);
}

}  // namespace tickora
