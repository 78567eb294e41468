// The hidden button 1026: one chart image saved beside the program. The download runs on a
// worker so the window never waits for the chart host.

#include "app/quote_dlg.h"
#include "chart/chart_snapshot.h"

namespace tickora {

void CQuoteDlg::OnChartButton() {
    if (m_bDestroyed) return;
    FetchOptions options = m_fetchLimits;
    options.cancel = &m_gateway.CancelFlag();
    m_sideWorkers.Start([this, folder = m_strProgramFolder, url = m_chart.m_strChartUrl, options] {
        // Snapshots of one day go to one file: one at a time, the later one last.
        std::lock_guard lock(m_chart.m_csChart);
        SaveChartSnapshot(folder, url, Today, options);
    });
}

}  // namespace tickora
