// Every command the main window knows, and the one route all of them take.

#include "app/quote_dlg.h"
#include "common/control_ids.h"

namespace tickora {

const std::vector<CQuoteDlg::CommandEntry>& CQuoteDlg::CommandTable() {
    static const std::vector<CommandEntry> table = [] {
        std::vector<CommandEntry> t = {
            // Buttons and the statics that report clicks.
            {ids::kAddButton, &CQuoteDlg::OnAddToList},
            {ids::kDisconnectButton, &CQuoteDlg::OnDisconnectButton},
            {ids::kConnectButton, &CQuoteDlg::OnConnectButton},
            {ids::kSettingsButton, &CQuoteDlg::ShowSettingsMenu},
            {ids::kChartButton, &CQuoteDlg::OnChartButton},
            {ids::kHomeLink, &CQuoteDlg::OnHomeLink},
            {ids::kNikkeiLine, &CQuoteDlg::OnNikkeiLink},
            {ids::kTopixLine, &CQuoteDlg::OnTopixText},
            {ids::kJasdaqLine, &CQuoteDlg::OnJasdaqText},
            // Menu commands.
            {ids::kCmdOpenLink, &CQuoteDlg::OnOpenLink},
            {ids::kCmdDelete, &CQuoteDlg::OnDeleteItem},
            {ids::kCmdDeleteAll, &CQuoteDlg::OnDeleteAll},
            {ids::kCmdOpenMain, &CQuoteDlg::OnOpenMain},
            {ids::kCmdVersion, &CQuoteDlg::OnVersionInfo},
            {ids::kCmdClickOpensLink, nullptr},
            {ids::kCmdLinkSettings, &CQuoteDlg::OnLinkUrlSettings},
            {ids::kCmdStartInTray, nullptr},
            {ids::kCmdClose, &CQuoteDlg::OnCloseCommand},
            {ids::kCmdNikkei, nullptr},
        };
        for (int row = 0; row < ids::kMaxRows; ++row)
            t.push_back({ids::kCmdTrayStockFirst + row, nullptr});
        return t;
    }();
    return table;
}

void CQuoteDlg::OnCommand(int id) {
    RouteTrayCommand(id);
    for (const CommandEntry& entry : CommandTable()) {
        if (entry.id != id) continue;
        if (entry.handler) (this->*entry.handler)();
        return;
    }
}

void CQuoteDlg::OnCloseCommand() {
    done(QDialog::Accepted);
}

}  // namespace tickora
