// The main window's side of base_data.ini: read once at start, written once at the end.

#include <cstdio>

#include "app/quote_dlg.h"
#include "watchlist/settings_file.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::LoadSettings() {
    const std::string path = SettingsPath(m_strProgramFolder);
    std::string notice;
    const SettingsData settings = LoadSettingsData(path, &m_strSaveRefusal, &notice);
    if (!m_strSaveRefusal.empty())
        std::fprintf(stderr,
                     "tickora: %s cannot be read (%s); it is left as it is and nothing is saved\n",
                     path.c_str(), m_strSaveRefusal.c_str());
    if (!notice.empty()) std::fprintf(stderr, "tickora: %s: %s\n", path.c_str(), notice.c_str());
    m_page = settings.page;
    // A rule that does not compile leaves every page without figures: say so once, here.
    const PageRules rules(m_page.m_arrRules);
    for (const RuleError& error : rules.Errors())
        std::fprintf(stderr, "tickora: %s [%s] %s\n", path.c_str(), kRuleSection,
                     DescribeRuleError(error).c_str());
    m_nChkOpenUrl = settings.chkOpenUrl;
    m_nChkGoTask = settings.chkGoTask;
    m_nSelectedItem = settings.selectedItem;
    for (std::size_t d = 0; d < settings.rows.size(); ++d) {
        RowCells cells;
        cells[ids::kColCode] = settings.rows[d].code;
        cells[ids::kColMarket] = settings.rows[d].market;
        m_arrResults.emplace_back();
        m_pModel->InsertAt(static_cast<int>(d), cells);
    }
    m_links.m_strStockUrl = settings.stockUrl;
    m_links.m_strNikkeiUrl = settings.nikkeiUrl;
    m_links.m_strStockLabel = settings.stockLabel;
    m_links.m_strNikkeiLabel = settings.nikkeiLabel;
    m_alerts.Load(settings.alerts);
}

void CQuoteDlg::SaveSettings() {
    // A window that never finished its initialisation has nothing worth writing, and a file
    // that could not be read is not overwritten with what little the window knows.
    if (!m_pModel || !m_strSaveRefusal.empty()) return;
    SettingsData settings;
    for (int d = 0; d < m_pModel->RowCount(); ++d)
        settings.rows.push_back(
            {m_pModel->Cell(d, ids::kColCode), m_pModel->Cell(d, ids::kColMarket)});
    settings.chkOpenUrl = m_nChkOpenUrl;
    settings.chkGoTask = m_nChkGoTask;
    settings.selectedItem = m_nSelectedItem;
    settings.stockUrl = m_links.m_strStockUrl;
    settings.nikkeiUrl = m_links.m_strNikkeiUrl;
    settings.stockLabel = m_links.m_strStockLabel;
    settings.nikkeiLabel = m_links.m_strNikkeiLabel;
    settings.page = m_page;
    settings.alerts = m_alerts.Table();
    const std::string path = SettingsPath(m_strProgramFolder);
    if (std::string why; !SaveSettingsData(path, settings, &why))
        std::fprintf(stderr, "tickora: the settings could not be saved to %s (%s)\n", path.c_str(),
                     why.c_str());
}

}  // namespace tickora
