#pragma once
#include "quotes/refresh_view.h"
#include "quotes/ui_gateway.h"

namespace tickora {

class CQuoteDlg;

// The main window as a pass sees it. Every call runs on the UI thread through the
// gateway (directly when the caller is the UI thread) and checks rows there, against the
// list as it is at that moment; once the gateway is closed nothing is read or written.
class DialogRefreshView final : public RefreshView {
  public:
    DialogRefreshView(CQuoteDlg& dlg, UiGateway& gateway) : dlg_(dlg), gateway_(gateway) {}

    bool Alive() override;
    int RowCount() override;
    std::string CellText(int row, int column) override;
    void SetCellText(int row, int column, const std::string& text) override;
    void SetRowCells(int row, const CellWrites& cells) override;
    int ResultSlotCount() override;
    void SetResultSlot(int row, const std::string& result) override;
    void SetControlText(int id, const std::string& text) override;

  private:
    CQuoteDlg& dlg_;
    UiGateway& gateway_;
};

}  // namespace tickora
