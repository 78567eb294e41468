// The window's menus made from the action table, the list's context menu and double click,
// and the settings menu.

#include <QContextMenuEvent>
#include <QMenu>
#include <QTableView>

#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "tray/menus.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::CreateMenus() {
    for (const Action& entry : Actions()) {
        if (!entry.text) continue;
        auto* action = new QAction(QString::fromUtf8(entry.text), this);
        action->setData(entry.id);
        // The command runs once the menu has closed, as any other command does.
        connect(
            action, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); },
            Qt::QueuedConnection);
        m_menus.m_menuActions[entry.id] = action;
    }
    m_menus.m_pListMenu = new QMenu(this);
    m_menus.m_pListMenu->setAccessibleName(QString::fromUtf8("銘柄リストのメニュー"));
    FillMenu(m_menus.m_pListMenu, kListMenu.data(), kListMenu.size());
    m_menus.m_pSettingsMenu = new QMenu(this);
    m_menus.m_pSettingsMenu->setAccessibleName(QString::fromUtf8("設定メニュー"));
    FillMenu(m_menus.m_pSettingsMenu, kSettingsMenu.data(), kSettingsMenu.size());
}

QAction* CQuoteDlg::MenuAction(int id) const {
    const auto it = m_menus.m_menuActions.find(id);
    return it == m_menus.m_menuActions.end() ? nullptr : it->second;
}

void CQuoteDlg::FillMenu(QMenu* menu, const int* items, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i] == 0)
            menu->addSeparator();
        else
            menu->addAction(MenuAction(items[i]));
    }
}

void CQuoteDlg::SyncChecks() {
    for (const Action& entry : Actions()) {
        if (!entry.checked) continue;
        // An option that is off shows no check box at all.
        const bool on = this->*entry.checked == 1;
        QAction* action = MenuAction(entry.id);
        action->setCheckable(on);
        action->setChecked(on);
    }
}

void CQuoteDlg::PopUp(QMenu* menu, QPoint at) {
    SyncChecks();
    activateWindow();
    menu->popup(at);
}

void CQuoteDlg::ShowListMenu(QPoint at) {
    PopUp(m_menus.m_pListMenu, at);
}

void CQuoteDlg::ShowListMenuAtRow() {
    const int row = SelectedRow();
    if (RowCount() == 0 || row < 0) return;
    const QRect bounds =
        m_pList->visualRect(m_pModel->index(row, 0))
            .united(m_pList->visualRect(m_pModel->index(row, ids::kColumnCount - 1)));
    ShowListMenu(m_pList->viewport()->mapToGlobal(bounds.bottomLeft() + QPoint(0, 1)));
}

void CQuoteDlg::ShowSettingsMenu() {
    QWidget* button = Control(ids::kSettingsButton);
    PopUp(m_menus.m_pSettingsMenu, button->mapToGlobal(QPoint(0, button->height())));
}

void CQuoteDlg::OnListRightClick(QPoint listPos, QPoint at) {
    // A click on blank space clears the selection, so no menu offers to act on a row the
    // pointer is not on.
    if (!m_pList->indexAt(listPos).isValid()) m_pList->selectionModel()->clear();
    if (RowCount() > 0 && SelectedRow() >= 0) ShowListMenu(at);
}

void CQuoteDlg::OnListDoubleClick() {
    // The selected row's link, wherever in the list the double click was.
    if (const int row = SelectedRow(); row >= 0) OpenRowLink(row);
}

bool CQuoteDlg::OnListEvent(QEvent* event) {
    if (OnListMouseEvent(event)) return true;
    if (event->type() == QEvent::ContextMenu) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        OnListRightClick(menu->pos(), menu->globalPos());
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        OnCommand(ids::kCmdRowLink);
    return false;
}

}  // namespace tickora
