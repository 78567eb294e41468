// Price alerts on the main window: the list's alert command, the tooltip's line, checking the
// stocks a pass read, and where a fired alert goes.

#include <QDBusConnection>
#include <QSystemTrayIcon>
#include <QTableView>
#include <cstdio>

#include "alerts/alert_dlg.h"
#include "alerts/alert_notifier.h"
#include "app/list_tool_tip.h"
#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "ui/plain_text.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

namespace {

StockId StockOf(const WatchListModel& model, int row) {
    return {model.Cell(row, ids::kColCode), model.Cell(row, ids::kColMarket)};
}

std::set<StockId> Listed(const WatchListModel& model) {
    std::set<StockId> stocks;
    for (int row = 0; row < model.RowCount(); ++row) stocks.insert(StockOf(model, row));
    return stocks;
}

// The first row that holds the stock, -1 for none.
int RowOf(const WatchListModel& model, const StockId& stock) {
    for (int row = 0; row < model.RowCount(); ++row)
        if (StockOf(model, row) == stock) return row;
    return -1;
}

}  // namespace

void CQuoteDlg::InitAlerts() {
    // An alert belongs to its stock: moves keep it, and it goes with the stock's last row.
    const auto keepListed = [this] { m_alerts.KeepOnly(Listed(*m_pModel)); };
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, keepListed);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, keepListed);
}

void CQuoteDlg::OnAlertSettings() {
    const int row = SelectedRow();
    if (row < 0 || row >= RowCount()) return;
    const RowCells cells = m_pModel->Row(row);
    const StockId stock = StockOf(*m_pModel, row);
    CAlertDlg dlg(this);
    dlg.m_strStock = cells[ids::kColCode] + " " + cells[ids::kColName] + Sj("（") +
                     cells[ids::kColMarket] + Sj("）");
    if (const AlertLimits* limits = m_alerts.Find(stock)) dlg.m_limits = *limits;
    if (dlg.DoModal() != QDialog::Accepted) return;
    m_alerts.Set(stock, dlg.m_limits);
}

void CQuoteDlg::NoteRowRead(const RowKey& key) {
    m_alerts.NoteRead({key.code, key.market});
}

void CQuoteDlg::CheckAlerts() {
    for (const StockId& stock : m_alerts.TakeReads()) {
        const int row = RowOf(*m_pModel, stock);
        if (row < 0) continue;  // deleted since its quote came
        const RowCells cells = m_pModel->Row(row);
        for (const AlertFiring& firing :
             m_alerts.Check(stock, cells[ids::kColPrice], cells[ids::kColRatio]))
            SendAlert(NoticeFor(cells, firing));
    }
}

void CQuoteDlg::SendAlert(const AlertNotice& notice) {
    // Made at the first alert, so a window that never fires one never talks to the bus.
    if (!m_services.alertNotifier)
        m_services.alertNotifier =
            MakeDBusAlertNotifier(QDBusConnection::sessionBus(), m_hIcon.pixmap(32).toImage());
    m_services.alertNotifier->Notify(
        notice, this,
        [this] {
            if (!m_bDestroyed) OnOpenMain();
        },
        [this, notice] { ShowAlertElsewhere(notice); });
}

void CQuoteDlg::ShowAlertElsewhere(const AlertNotice& notice) {
    if (TrayIconHosted() && m_tray.m_pTrayIcon) {
        connect(m_tray.m_pTrayIcon, &QSystemTrayIcon::messageClicked, this, &CQuoteDlg::OnOpenMain,
                Qt::UniqueConnection);
        m_tray.m_pTrayIcon->showMessage(Shown(notice.summary), Shown(notice.body), m_hIcon);
        return;
    }
    std::fprintf(stderr, "tickora: %s: %s\n", Cp932ToUtf8(notice.summary).c_str(),
                 Cp932ToUtf8(notice.body).c_str());
}

QString CQuoteDlg::AlertTipAt(QPoint listPos) const {
    const int row = m_pList->indexAt(listPos).row();
    if (row < 0) return {};
    const AlertLimits* limits = m_alerts.Find(StockOf(*m_pModel, row));
    return limits ? Shown(AlertTipLine(*limits)) : QString();
}

}  // namespace tickora
