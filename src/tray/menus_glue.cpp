// The list's context menu, the settings menu, the list's mouse commands and the keyboard
// filter of the main window.

#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::PopUp(const MenuItemDef* items, std::size_t count, QPoint at) {
    delete m_pPopup;  // menus are made for each display
    m_pPopup = new QMenu(this);
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i].id == 0) {
            m_pPopup->addSeparator();
            continue;
        }
        QAction* action = m_pPopup->addAction(QString::fromUtf8(items[i].text));
        action->setData(items[i].id);
        if (items[i].id == ids::kCmdStartInTray && m_nChkGoTask == 1) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    // The choice arrives as a command once the menu has closed, as any other command does.
    connect(m_pPopup, &QMenu::triggered, this, [this](QAction* action) {
        QMetaObject::invokeMethod(
            this, [this, id = action->data().toInt()] { OnCommand(id); }, Qt::QueuedConnection);
    });
    connect(m_pPopup, &QMenu::aboutToHide, this, [this, menu = m_pPopup] {
        if (m_pPopup == menu) m_pPopup = nullptr;
        menu->deleteLater();
    });
    activateWindow();
    m_pPopup->popup(at);
}

void CQuoteDlg::ShowListMenu(QPoint at) {
    PopUp(kListMenu.data(), kListMenu.size(), at);
}

void CQuoteDlg::ShowSettingsMenu() {
    QWidget* button = Control(ids::kSettingsButton);
    PopUp(kSettingsMenu.data(), kSettingsMenu.size(),
          button->mapToGlobal(QPoint(0, button->height())));
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

bool CQuoteDlg::OnKeyPress(QWidget* target, int key) {
    const int id = ControlIdOf(target);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter acts on the focused control and never ends the dialog.
        switch (id) {
            case ids::kCodeEdit:
            case ids::kMarketCombo:
            case ids::kAddButton:
                OnCommand(ids::kAddButton);
                break;
            case ids::kWatchList:
                if (const int row = SelectedRow(); RowCount() > 0 && row >= 0) {
                    const QRect bounds = m_pList->visualRect(m_pModel->index(row, 0))
                                             .united(m_pList->visualRect(
                                                 m_pModel->index(row, ids::kColumnCount - 1)));
                    ShowListMenu(
                        m_pList->viewport()->mapToGlobal(bounds.bottomLeft() + QPoint(0, 1)));
                }
                break;
            case ids::kSettingsButton:
            case ids::kDisconnectButton:
            case ids::kConnectButton:
                OnCommand(id);
                break;
            default:
                break;
        }
        return true;
    }
    if (key == Qt::Key_Escape) return true;
    if (key == Qt::Key_Delete && id == ids::kWatchList) {
        OnCommand(ids::kCmdDelete);
        return true;
    }
    return false;
}

}  // namespace tickora
