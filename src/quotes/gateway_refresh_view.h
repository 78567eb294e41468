#pragma once
#include <functional>
#include <string>
#include <vector>

#include "quotes/refresh_view.h"
#include "quotes/ui_gateway.h"

namespace tickora {

class WatchListModel;

// The parts of the main window a pass touches.
struct PassTargets {
    WatchListModel* model = nullptr;
    std::vector<std::string>* resultSlots = nullptr;
    std::function<void(int id, const std::string& text)> writeControl;
    // Writes the entry row's texts when it still shows code and market.
    std::function<void(const std::string& code, int market, const ControlTexts& texts)>
        writeEntryRow;
};

// The main window as a pass sees it. Every call runs on the UI thread through the gateway
// (directly when the caller is the UI thread) and checks rows there, against the list as it
// is at that moment; once the gateway is closed nothing is read or written.
class GatewayRefreshView final : public RefreshView {
  public:
    GatewayRefreshView(UiGateway& gateway, PassTargets targets)
        : gateway_(gateway), targets_(std::move(targets)) {}

    bool Alive() override;
    RowRead ReadRow(int row) override;
    void StoreRowResult(int row, const RowKey& key, const std::string& result,
                        const CellWrites& cells) override;
    void SetControlText(int id, const std::string& text) override;
    void WriteEntryRow(const std::string& code, int market, const ControlTexts& texts) override;

  private:
    UiGateway& gateway_;
    PassTargets targets_;
};

}  // namespace tickora
