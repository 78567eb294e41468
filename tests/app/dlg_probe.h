#pragma once
// The main window's state that no widget, model, signal or file shows. Everything else
// tests read from the window itself (see window_fixture.h).

#include <QSignalBlocker>

#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "watchlist/watch_list_model.h"

namespace tickora::test {

class DlgProbe {
  public:
    explicit DlgProbe(CQuoteDlg& dlg) : d_(dlg) {}

    // Threads show nowhere: whether the window's workers have all ended.
    std::size_t Workers() { return d_.m_workers.Running() + d_.m_sideWorkers.Running(); }
    // The rows' last results, kept apart from the cells they were written to.
    std::vector<std::string>& Results() { return d_.m_arrResults; }
    // Connected is a state of its own: with an empty list both buttons stay enabled.
    int& Connected() { return d_.m_refresh.m_bConnected; }
    // The tray row: in the tray no widget shows it, and files may hold any value.
    int& SelectedItem() { return d_.m_nSelectedItem; }
    // The options as the file gives them, any value; their menu items show only 1 or not 1.
    int& ChkGoTask() { return d_.m_nChkGoTask; }
    int& ChkOpenUrl() { return d_.m_nChkOpenUrl; }
    // Whether the window counts itself in the tray; without a notification area it stays
    // visible (minimised) while it does.
    int TrayIcon() const { return d_.m_tray.m_bTrayIcon; }
    // The tip before it is made plain or escaped for the host, and the kind of image.
    const std::string& TrayTip() const { return d_.m_tray.m_strTrayTip; }
    std::optional<TrayIconKind> TrayIconImage() const { return d_.m_tray.m_trayIconKind; }
    // Settings with no widget, changed by tests between requests.
    std::string& BaseUrl() { return d_.m_page.m_strBaseUrl; }
    FigureTexts& Rules() { return d_.m_page.m_arrRules; }
    std::string& StockUrl() { return d_.m_links.m_strStockUrl; }
    std::string& NikkeiUrl() { return d_.m_links.m_strNikkeiUrl; }
    std::string& StockLabel() { return d_.m_links.m_strStockLabel; }
    std::string& NikkeiLabel() { return d_.m_links.m_strNikkeiLabel; }
    std::string& ChartUrl() { return d_.m_chart.m_strChartUrl; }
    // Limits a test shortens or lengthens; a user cannot.
    FetchOptions& FetchLimits() { return d_.m_fetchLimits; }
    // Whether the newest preview is still on its way; the edits may show an older one.
    bool PreviewPending() const {
        return d_.m_entry.m_nPreviewAnswered != d_.m_entry.m_nPreviewRequest;
    }
    // A drag shows only as a floating image.
    bool Dragging() const { return d_.m_drag.m_bDragging != 0; }

    // A tick now, rather than a whole period later.
    void Timer(int id) { d_.OnTimer(id); }
    // The entry row as an answered preview leaves it, without a fetch.
    void SetPreview(const std::string& code, const std::string& price) {
        const QSignalBlocker quiet(d_.Control(ids::kCodeEdit));
        d_.SetControlText(ids::kCodeEdit, code);
        d_.SetControlText(ids::kPriceEdit, price);
        d_.m_entry.m_nPreviewAnswered = d_.m_entry.m_nPreviewRequest;
    }

  private:
    CQuoteDlg& d_;
};

}  // namespace tickora::test
