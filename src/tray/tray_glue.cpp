// The tray icon of the main window: its life, its tooltip and image, its mouse events, its
// menu, the tray's command steps, and the ways out of the tray.

#include <QApplication>
#include <QDateTime>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/leading_int.h"
#include "common/sjis.h"
#include "tray/menu_pictures.h"
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
        // Every host shows this menu itself on a right click (an XEmbed tray at the pointer,
        // a status-notifier host as it likes); it is filled afresh just before it shows.
        if (!m_pTrayMenu) {
            m_pTrayMenu = new QMenu(this);
            // An empty list shows its two separators side by side.
            m_pTrayMenu->setSeparatorsCollapsible(false);
            connect(m_pTrayMenu, &QMenu::aboutToShow, this, [this] { RefreshTrayMenu(); });
            connect(m_pTrayMenu, &QMenu::triggered, this,
                    [this](QAction* action) { OnCommand(action->data().toInt()); });
        }
        m_pTrayIcon->setContextMenu(m_pTrayMenu);
    }
    m_strTrayTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    m_trayIconKind.reset();
    m_pTrayIcon->setIcon(m_hIcon);
    ShowTrayTip();
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
    std::string newTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    const TrayIconKind kind = TrayIconFor(change);
    // The tip ticks every 2 s; the host hears of it only when something changed.
    if (kind != m_trayIconKind) {
        m_trayIconKind = kind;
        m_pTrayIcon->setIcon(kind == TrayIconKind::Up     ? m_hIconUp
                             : kind == TrayIconKind::Down ? m_hIconDown
                                                          : m_hIconFlat);
    }
    if (newTip == m_strTrayTip) return;
    m_strTrayTip = std::move(newTip);
    ShowTrayTip();
}

void CQuoteDlg::ShowTrayTip() {
    m_pTrayIcon->setToolTip(
        PlainToolTip(m_strTrayTip, m_trayHostKind == TrayHostKind::StatusNotifier));
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
            // A status-notifier host sends no double click: the second of two activations
            // within the interval makes one.
            if (m_trayHostKind == TrayHostKind::StatusNotifier &&
                m_trayActivations.SecondOfPair(QDateTime::currentMSecsSinceEpoch(),
                                               QApplication::doubleClickInterval())) {
                RestoreFromTray();
                return;
            }
            const int rows = RowCount();
            if (rows == 0) return;
            m_nSelectedItem = NextTrayRow(m_nSelectedItem, rows);
            RefreshTrayTip();
            break;
        }
        case QSystemTrayIcon::DoubleClick:
            RestoreFromTray();
            break;
        case QSystemTrayIcon::Context:  // the host shows the menu itself
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

void CQuoteDlg::RefreshTrayMenu() {
    TrayMenuState state;
    for (int row = 0; row < RowCount(); ++row) state.rows.push_back(m_pModel->Row(row));
    state.nikkeiLine = ControlText(ids::kNikkeiLine);
    state.nikkeiChange = ControlText(ids::kNikkeiChange);
    state.selectedItem = m_nSelectedItem;
    state.chkOpenUrl = m_nChkOpenUrl;
    state.chkGoTask = m_nChkGoTask;
    const std::vector<MenuEntry> entries = BuildTrayMenu(state);
    m_nSelectedItem = state.selectedItem;
    m_pTrayMenu->clear();
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            m_pTrayMenu->addSeparator();
            continue;
        }
        // A text from the network is no mnemonic.
        QAction* action = m_pTrayMenu->addAction(
            QString::fromStdString(Cp932ToUtf8(entry.text)).replace('&', "&&"));
        action->setData(entry.id);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        switch (entry.picture) {
            case MenuPicture::Up:
                action->setIcon(CheckableIcon(m_bmpUp, m_bmpUpChecked));
                break;
            case MenuPicture::Down:
                action->setIcon(CheckableIcon(m_bmpDown, m_bmpDownChecked));
                break;
            case MenuPicture::Flat:
                action->setIcon(CheckableIcon(m_bmpFlat, m_bmpFlatChecked));
                break;
            case MenuPicture::None:
                break;
        }
    }
}

void CQuoteDlg::RouteTrayCommand(int id) {
    const int rows = RowCount();
    if (rows > 0 && id >= ids::kCmdTrayStockFirst && id < ids::kCmdTrayStockFirst + rows) {
        m_nSelectedItem = id - ids::kCmdTrayStockFirst;
        RefreshTrayTip();
        if (m_nChkOpenUrl == 1) OpenRowLink(m_nSelectedItem);
    }
    if (id == ids::kCmdNikkei) OnNikkeiLink();
    if (id == ids::kCmdClickOpensLink) m_nChkOpenUrl = ToggledFlag(m_nChkOpenUrl);
    if (id == ids::kCmdStartInTray) m_nChkGoTask = ToggledFlag(m_nChkGoTask);
}

}  // namespace tickora
