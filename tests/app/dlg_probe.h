#pragma once
// The one door tests have into the main window's private state.

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>

#include "app/list_tool_tip.h"
#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "watchlist/watch_list_model.h"

namespace tickora::test {

class DlgProbe {
  public:
    explicit DlgProbe(CQuoteDlg& dlg) : d_(dlg) {}

    WatchListModel& Model() { return *d_.m_pModel; }
    std::vector<std::string>& Results() { return d_.m_arrResults; }
    QWidget* Control(int id) { return d_.Control(id); }
    std::string Text(int id) { return d_.ControlText(id); }
    std::string Cell(int row, int column) { return d_.m_pModel->Cell(row, column); }
    int RowCount() { return d_.RowCount(); }
    int SelectedRow() { return d_.SelectedRow(); }
    // -1 selects nothing.
    void SelectRow(int row) {
        if (row < 0) d_.m_pList->clearSelection();
        d_.SelectRow(row);
    }
    QTableView* List() { return d_.m_pList; }
    QComboBox* Market() { return d_.m_cboMarket; }
    QSpinBox* Interval() { return d_.m_spinInterval; }
    QLabel* HomeLink() { return d_.m_stcLink; }
    ListToolTip* ToolTip() { return d_.m_tooltip; }

    int& Connected() { return d_.m_bConnected; }
    int& SelectedItem() { return d_.m_nSelectedItem; }
    int& ChkGoTask() { return d_.m_nChkGoTask; }
    int& ChkOpenUrl() { return d_.m_nChkOpenUrl; }
    int TrayIcon() const { return d_.m_bTrayIcon; }
    int LinkHover() const { return d_.m_nLinkHover; }
    std::string& BaseUrl() { return d_.m_strBaseUrl; }
    std::string& StockUrl() { return d_.m_strStockUrl; }
    std::string& NikkeiUrl() { return d_.m_strNikkeiUrl; }
    std::string& StockLabel() { return d_.m_strStockLabel; }
    std::string& NikkeiLabel() { return d_.m_strNikkeiLabel; }
    QMenu* TrayMenu() { return d_.m_pTrayMenu; }
    FetchOptions& FetchLimits() { return d_.m_fetchLimits; }
    const std::string& TrayTip() const { return d_.m_strTrayTip; }
    std::optional<TrayIconKind> TrayIconImage() const { return d_.m_trayIconKind; }
    bool TrayIconObject() const { return d_.m_pTrayIcon != nullptr; }
    bool Destroyed() const { return d_.m_bDestroyed != 0; }

    bool TimerRunning(int id) const { return const_cast<CQuoteDlg&>(d_).TimerOf(id).isActive(); }
    int TimerInterval(int id) const {
        return id == ids::kTimerRefresh ? d_.m_timerRefresh.interval() : d_.m_timerTip.interval();
    }
    std::size_t Workers() { return d_.m_workers.Running() + d_.m_sideWorkers.Running(); }
    bool PreviewPending() const { return d_.m_nPreviewAnswered != d_.m_nPreviewRequest; }
    std::string& ChartUrl() { return d_.m_strChartUrl; }
    bool Dragging() const { return d_.m_bDragging != 0; }
    bool GatewayClosed() const { return d_.m_gateway.IsClosed(); }

    void Timer(int id) { d_.OnTimer(id); }
    void Minimize() { d_.OnMinimize(); }
    void TrayNotify(QSystemTrayIcon::ActivationReason reason) { d_.OnTrayNotify(reason); }
    void UpdateTrayIcon(std::string_view tip, int change) { d_.UpdateTrayIcon(tip, change); }
    // The entry row as a finished preview leaves it.
    void SetPreview(const std::string& code, const std::string& price) {
        const QSignalBlocker quiet(d_.Control(ids::kCodeEdit));
        d_.SetControlText(ids::kCodeEdit, code);
        d_.SetControlText(ids::kPriceEdit, price);
        d_.m_nPreviewAnswered = d_.m_nPreviewRequest;
    }
    // A drag from one row's centre dropped on another's (the benchmark's drop).
    void Drop(int from, int to) {
        auto centre = [&](int row) {
            return d_.m_pList->visualRect(d_.m_pModel->index(row, 1)).center();
        };
        d_.m_pList->scrollToTop();
        d_.OnBeginDrag(centre(from));
        d_.OnLButtonUp(d_.m_pList->viewport()->mapToGlobal(centre(to)));
    }

  private:
    CQuoteDlg& d_;
};

}  // namespace tickora::test
