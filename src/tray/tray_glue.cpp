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
#include "tray/menus.h"
#include "ui/plain_text.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

bool CQuoteDlg::TrayIconHosted() const {
    return m_tray.m_bTrayIcon == 1 && m_tray.m_trayHostKind != TrayHostKind::None;
}

void CQuoteDlg::AddTrayIcon(std::string_view tip) {
    m_tray.m_bTrayIcon = 1;
    m_tray.m_trayHostKind = m_services.trayHost->Kind();
    // One icon object at a time, so repeated trips to the tray collect nothing.
    if (!m_tray.m_pTrayIcon) {
        m_tray.m_pTrayIcon = new QSystemTrayIcon(this);
        connect(m_tray.m_pTrayIcon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { OnTrayNotify(reason); });
        // Every host shows this menu itself on a right click (an XEmbed tray at the pointer,
        // a status-notifier host as it likes); it is filled afresh just before it shows.
        if (!m_tray.m_pTrayMenu) {
            m_tray.m_pTrayMenu = new QMenu(this);
            m_tray.m_pTrayMenu->setAccessibleName(QString::fromUtf8("タスクトレイのメニュー"));
            // An empty list shows its two separators side by side.
            m_tray.m_pTrayMenu->setSeparatorsCollapsible(false);
            connect(m_tray.m_pTrayMenu, &QMenu::aboutToShow, this, [this] { RefreshTrayMenu(); });
        }
        m_tray.m_pTrayIcon->setContextMenu(m_tray.m_pTrayMenu);
    }
    m_tray.m_strTrayTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    m_tray.m_trayIconKind.reset();
    m_tray.m_pTrayIcon->setIcon(m_hIcon);
    ShowTrayTip();
    if (m_tray.m_trayHostKind != TrayHostKind::None) m_tray.m_pTrayIcon->show();
}

void CQuoteDlg::DeleteTrayIcon() {
    m_tray.m_bTrayIcon = 0;
    m_tray.m_trayHostKind = TrayHostKind::None;
    if (!m_tray.m_pTrayIcon) return;
    m_tray.m_pTrayIcon->hide();
    // Not deleted at once: this may run inside the icon's own activation signal.
    m_tray.m_pTrayIcon->deleteLater();
    m_tray.m_pTrayIcon = nullptr;
}

void CQuoteDlg::UpdateTrayIcon(std::string_view tip, int change) {
    if (m_tray.m_bTrayIcon == 0 || !m_tray.m_pTrayIcon) return;
    std::string newTip = CutToBytes(UpToNul(tip), kTrayTipBytes);
    const TrayIconKind kind = TrayIconFor(change);
    // The tip ticks every 2 s; the host hears of it only when something changed.
    if (kind != m_tray.m_trayIconKind) {
        m_tray.m_trayIconKind = kind;
        m_tray.m_pTrayIcon->setIcon(kind == TrayIconKind::Up     ? m_tray.m_hIconUp
                                    : kind == TrayIconKind::Down ? m_tray.m_hIconDown
                                                                 : m_tray.m_hIconFlat);
    }
    if (newTip == m_tray.m_strTrayTip) return;
    m_tray.m_strTrayTip = std::move(newTip);
    ShowTrayTip();
}

void CQuoteDlg::ShowTrayTip() {
    m_tray.m_pTrayIcon->setToolTip(
        PlainToolTip(m_tray.m_strTrayTip, m_tray.m_trayHostKind == TrayHostKind::StatusNotifier));
}

void CQuoteDlg::RefreshTrayTip() {
    // A row that does not exist reads as empty cells.
    const RowCells cells = m_pModel ? m_pModel->Row(m_nSelectedItem) : RowCells{};
    // While no page reads, the tip says so before the row's figures, which are old.
    const auto stopped = m_refresh.m_watch.StoppedSince();
    UpdateTrayIcon(
        (stopped ? ReadFailingText(*stopped) + "\n" : std::string()) + FormatTrayTip(cells),
        LeadingInt(cells[ids::kColChange]));
}

void CQuoteDlg::OnTrayTipTick() {
    const int row = m_nSelectedItem;
    const std::string tip = m_tray.m_strTrayTip;
    const std::optional<TrayIconKind> kind = m_tray.m_trayIconKind;
    if (const int rows = RowCount(); rows > 0) SetTrayRow(ClampTrayRow(m_nSelectedItem, rows));
    // The tick is there so that the tip follows the refreshes. A tick that finds nothing new
    // puts it to sleep until the list changes, so an idle tray never wakes the program.
    if (row == m_nSelectedItem && tip == m_tray.m_strTrayTip && kind == m_tray.m_trayIconKind)
        KillTimer(ids::kTimerTip);
}

void CQuoteDlg::WakeTrayTipOnChanges() {
    const auto wake = [this] {
        if (m_tray.m_bTrayIcon == 1 && !TimerOf(ids::kTimerTip).isActive())
            SetTimer(ids::kTimerTip, ids::kTipPeriodMs);
    };
    connect(m_pModel, &QAbstractItemModel::dataChanged, this, wake);
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, wake);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, wake);
    connect(m_pModel, &QAbstractItemModel::rowsMoved, this, wake);
}

void CQuoteDlg::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger: {
            // A status-notifier host sends no double click: the second of two activations
            // within the interval makes one.
            if (m_tray.m_trayHostKind == TrayHostKind::StatusNotifier &&
                m_tray.m_trayActivations.SecondOfPair(QDateTime::currentMSecsSinceEpoch(),
                                                      QApplication::doubleClickInterval())) {
                RestoreFromTray();
                return;
            }
            if (const int rows = RowCount(); rows > 0)
                SetTrayRow(NextTrayRow(m_nSelectedItem, rows));
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
    m_nSelectedItem = RestoredTrayRow(m_nSelectedItem);
    OnOpenMain();
}

void CQuoteDlg::OnOpenMain() {
    KillTimer(ids::kTimerTip);
    DeleteTrayIcon();
    showNormal();
    raise();
    activateWindow();
    SelectRow(m_nSelectedItem);
}

void CQuoteDlg::SetTrayRow(int row) {
    const bool changed = row != m_nSelectedItem;
    m_nSelectedItem = row;
    RefreshTrayTip();
    if (changed) emit TrayRowChanged(row);
}

void CQuoteDlg::OnTrayStockItem(int row) {
    if (row >= RowCount()) return;
    SetTrayRow(row);
    if (m_nChkOpenUrl == 1) OpenRowLink(row);
}

void CQuoteDlg::OnToggleClickOpensLink() {
    m_nChkOpenUrl = ToggledFlag(m_nChkOpenUrl);
}

void CQuoteDlg::OnToggleStartInTray() {
    m_nChkGoTask = ToggledFlag(m_nChkGoTask);
}

namespace {
void ShowMenuEntry(QAction* action, const MenuEntry& entry, const QIcon& picture) {
    // A text from the network is no mnemonic.
    action->setText(Shown(entry.text).replace('&', "&&"));
    action->setCheckable(entry.checked);
    action->setChecked(entry.checked);
    action->setIcon(picture);
}
}  // namespace

QIcon CQuoteDlg::MenuPictureIcon(MenuPicture picture) const {
    switch (picture) {
        case MenuPicture::Up:
            return CheckableIcon(m_tray.m_bmpUp, m_tray.m_bmpUpChecked);
        case MenuPicture::Down:
            return CheckableIcon(m_tray.m_bmpDown, m_tray.m_bmpDownChecked);
        case MenuPicture::Flat:
            return CheckableIcon(m_tray.m_bmpFlat, m_tray.m_bmpFlatChecked);
        case MenuPicture::None:
            break;
    }
    return {};
}

void CQuoteDlg::RefreshTrayMenu() {
    std::vector<RowCells> rows;
    for (int row = 0; row < RowCount(); ++row) rows.push_back(m_pModel->Row(row));
    if (!rows.empty()) m_nSelectedItem = ClampTrayRow(m_nSelectedItem, RowCount());
    const MenuEntry nikkei =
        TrayNikkeiItem(ControlText(ids::kNikkeiLine), ControlText(ids::kNikkeiChange));
    ShowMenuEntry(MenuAction(ids::kCmdNikkei), nikkei, MenuPictureIcon(nikkei.picture));
    SyncChecks();
    m_tray.m_pTrayMenu->clear();  // the stock items go with it; the table's actions stay
    FillMenu(m_tray.m_pTrayMenu, kTrayMenu.data(), kTrayStockPosition);
    for (const MenuEntry& entry : TrayStockItems(rows, m_nSelectedItem)) {
        auto* action = new QAction(m_tray.m_pTrayMenu);
        ShowMenuEntry(action, entry, MenuPictureIcon(entry.picture));
        connect(
            action, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); },
            Qt::QueuedConnection);
        m_tray.m_pTrayMenu->addAction(action);
    }
    FillMenu(m_tray.m_pTrayMenu, kTrayMenu.data() + kTrayStockPosition,
             kTrayMenu.size() - kTrayStockPosition);
}

}  // namespace tickora
