#pragma once
#include <functional>
#include <string>
#include <vector>

#include "quotes/refresh_view.h"
#include "quotes/ui_gateway.h"

namespace tickora {

class WatchListModel;

// The main window as a pass sees it: its list, its result slots and its control texts.
// Every call runs on the UI thread through the gateway (directly when the caller is the UI
// thread) and checks rows there, against the list as it is at that moment; once the
// gateway is closed nothing is read or written.
class GatewayRefreshView final : public RefreshView {
  public:
    using ControlWriter = std::function<void(int id, const std::string& text)>;

    GatewayRefreshView(UiGateway& gateway, WatchListModel& model,
                       std::vector<std::string>& resultSlots, ControlWriter writeControl)
        : gateway_(gateway),
          model_(model),
          slots_(resultSlots),
          writeControl_(std::move(writeControl)) {}

    bool Alive() override;
    int RowCount() override;
    std::string CellText(int row, int column) override;
    void SetCellText(int row, int column, const std::string& text) override;
    void SetRowCells(int row, const CellWrites& cells) override;
    int ResultSlotCount() override;
    void SetResultSlot(int row, const std::string& result) override;
    void SetControlText(int id, const std::string& text) override;

  private:
    UiGateway& gateway_;
    WatchListModel& model_;
    std::vector<std::string>& slots_;
    ControlWriter writeControl_;
};

}  // namespace tickora
