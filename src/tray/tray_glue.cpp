// The tray icon of the main window: its life, its tooltip and image, its mouse events,
// and the ways out of the tray.

#include <QSystemTrayIcon>

#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/sjis.h"
#include "ui/plain_text.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

bool CQuoteDlg::TrayIconHosted() const {
    return m_bTrayIcon == 1 && m_trayHostKind != TrayHostKind::None;
}

void CQuoteDlg::AddTrayIcon(std::string_view tip) {
    m_bTrayIcon = 1;
    m_trayHostKind = m_services.trayHost->Kind();
    // One icon object at a time, so repeated trips to the tray collect nothing.
    if (!m_pTrayIcon) {
        m_pTrayIcon = new QSystemTrayIcon(this);
        connect(m_pTrayIcon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { OnTrayNotify(reason); });
    }
    m_strTrayTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    m_trayIconKind.reset();
    m_pTrayIcon->setIcon(m_hIcon);
    m_pTrayIcon->setToolTip(PlainToolTip(m_strTrayTip));
    if (m_trayHostKind != TrayHostKind::None) m_pTrayIcon->show();
}

void CQuoteDlg::DeleteTrayIcon() {
    m_bTrayIcon = 0;
    m_trayHostKind = TrayHostKind::None;
    if (!m_pTrayIcon) return;
    m_pTrayIcon->hide();
    // Not deleted at once: this may run inside the icon's own activation signal.
    m_pTrayIcon->deleteLater();
    m_pTrayIcon = nullptr;
}

void CQuoteDlg::UpdateTrayIcon(std::string_view tip, int change) {
    if (m_bTrayIcon == 0 || !m_pTrayIcon) return;
    m_strTrayTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    m_trayIconKind = TrayIconFor(change);
    const QIcon& icon = *m_trayIconKind == TrayIconKind::Up     ? m_hIconUp
                        : *m_trayIconKind == TrayIconKind::Down ? m_hIconDown
                                                                : m_hIconFlat;
    m_pTrayIcon->setIcon(icon);
    m_pTrayIcon->setToolTip(PlainToolTip(m_strTrayTip));
}

void CQuoteDlg::RefreshTrayTip() {
    // A row that does not exist reads as empty cells.
    const RowCells cells = m_pModel ? m_pModel->Row(m_nSelectedItem) : RowCells{};
    UpdateTrayIcon(FormatTrayTip(cells), LeadingInt(cells[ids::kColChange]));
}

void CQuoteDlg::OnTrayTipTick() {
    const int rows = RowCount();
    if (rows == 0) return;
    m_nSelectedItem = ClampTrayRow(m_nSelectedItem, rows);
    RefreshTrayTip();
}

void CQuoteDlg::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger: {
            const int rows = RowCount();
            if (rows == 0) return;
            m_nSelectedItem = NextTrayRow(m_nSelectedItem, rows);
            RefreshTrayTip();
            break;
        }
        case QSystemTrayIcon::DoubleClick:
            RestoreFromTray();
            break;
        case QSystemTrayIcon::Context:
            // The tray menu attaches here.
            break;
        default:
            break;
    }
}

void CQuoteDlg::RestoreFromTray() {
    KillTimer(ids::kTimerTip);
    DeleteTrayIcon();
    m_nSelectedItem = RestoredTrayRow(m_nSelectedItem);
    SelectRow(m_nSelectedItem);
    showNormal();
    raise();
    activateWindow();
}

void CQuoteDlg::OnOpenMain() {
    KillTimer(ids::kTimerTip);
    DeleteTrayIcon();
    showNormal();
    raise();
    activateWindow();
    SelectRow(m_nSelectedItem);
}

}  // namespace tickora
