// Everything the user can do in the main window, and the one route all of it takes: the
// buttons, the clickable texts, every menu item, the tray's stock items, the keys, and a
// double click on the list.

#include <Qt>

#include "app/quote_dlg.h"
#include "common/control_ids.h"

namespace tickora {

namespace {
using D = CQuoteDlg;
using KeyScope = CQuoteDlg::KeyScope;
}  // namespace

const std::vector<CQuoteDlg::Action> CQuoteDlg::kActions = {
    // Buttons and the texts that answer a click.
    {.id = ids::kAddButton,
     .run = &D::OnAddToList,
     .key = Qt::Key_Return,
     .keyScope = KeyScope::EntryRow},
    {.id = ids::kDisconnectButton,
     .run = &D::OnDisconnectButton,
     .key = Qt::Key_Return,
     .keyScope = KeyScope::Itself},
    {.id = ids::kConnectButton,
     .run = &D::OnConnectButton,
     .key = Qt::Key_Return,
     .keyScope = KeyScope::Itself},
    {.id = ids::kSettingsButton,
     .run = &D::ShowSettingsMenu,
     .key = Qt::Key_Return,
     .keyScope = KeyScope::Itself},
    {.id = ids::kChartButton, .run = &D::OnChartButton},
    {.id = ids::kHomeLink, .run = &D::OnHomeLink},
    {.id = ids::kNikkeiLine, .run = &D::OnNikkeiLink},
    {.id = ids::kTopixLine, .run = &D::OnTopixText},
    {.id = ids::kJasdaqLine, .run = &D::OnJasdaqText},
    // The list's own keys and double click.
    {.id = ids::kCmdListMenuAtRow,
     .run = &D::ShowListMenuAtRow,
     .key = Qt::Key_Return,
     .keyScope = KeyScope::List},
    {.id = ids::kCmdRowLink, .run = &D::OnListDoubleClick},
    // Menu items.
    {.id = ids::kCmdOpenLink, .text = "リンクを開く", .run = &D::OnOpenLink},
    {.id = ids::kCmdDelete,
     .text = "削除",
     .run = &D::OnDeleteItem,
     .key = Qt::Key_Delete,
     .keyScope = KeyScope::List},
    {.id = ids::kCmdDeleteAll, .text = "全て削除", .run = &D::OnDeleteAll},
    {.id = ids::kCmdAlertSettings, .text = "アラート設定...", .run = &D::OnAlertSettings},
    {.id = ids::kCmdNikkei, .text = "日経平均", .run = &D::OnNikkeiLink},
    {.id = ids::kCmdTrayStockFirst, .runRow = &D::OnTrayStockItem},
    {.id = ids::kCmdOpenMain, .text = "メインウィンドウを開く", .run = &D::OnOpenMain},
    {.id = ids::kCmdClickOpensLink,
     .text = "クリックで銘柄のリンクを開く",
     .run = &D::OnToggleClickOpensLink,
     .checked = &D::m_nChkOpenUrl},
    {.id = ids::kCmdStartInTray,
     .text = "起動時タスクトレイに常駐する",
     .run = &D::OnToggleStartInTray,
     .checked = &D::m_nChkGoTask},
    {.id = ids::kCmdLinkSettings,
     .text = "銘柄リストのリンクURL設定",
     .run = &D::OnLinkUrlSettings},
    {.id = ids::kCmdQuotePageSettings, .text = "株価ページ設定...", .run = &D::OnQuotePageSettings},
    {.id = ids::kCmdVersion, .text = "バージョン情報", .run = &D::OnVersionInfo},
    {.id = ids::kCmdClose, .text = "閉じる", .run = &D::OnCloseCommand},
};

void CQuoteDlg::OnCommand(int id) {
    for (const Action& action : Actions()) {
        const int span = action.runRow ? ids::kMaxRows : 1;
        if (id < action.id || id >= action.id + span) continue;
        if (action.run)
            (this->*action.run)();
        else
            (this->*action.runRow)(id - action.id);
        return;
    }
}

bool CQuoteDlg::OnKeyPress(QWidget* target, int key) {
    const int id = ControlIdOf(target);
    if (key == Qt::Key_Enter) key = Qt::Key_Return;
    const auto reaches = [id](const Action& action) {
        switch (action.keyScope) {
            case KeyScope::Itself:
                return id == action.id;
            case KeyScope::EntryRow:
                return id == ids::kCodeEdit || id == ids::kMarketCombo || id == ids::kAddButton;
            case KeyScope::List:
                return id == ids::kWatchList;
            case KeyScope::None:
                break;
        }
        return false;
    };
    for (const Action& action : Actions()) {
        if (action.key != key || !reaches(action)) continue;
        OnCommand(action.id);
        return true;
    }
    // Enter and Escape never end the dialog, on whatever control they are pressed.
    return key == Qt::Key_Return || key == Qt::Key_Escape;
}

void CQuoteDlg::OnCloseCommand() {
    done(QDialog::Accepted);
}

}  // namespace tickora
