#pragma once
#include <functional>
#include <string>
#include <vector>

#include "quotes/refresh_view.h"
#include "quotes/row_snapshot.h"
#include "quotes/ui_gateway.h"

namespace tickora {

class WatchListModel;

// The parts of the main window a pass touches.
struct PassTargets {
    const RowSnapshot* rows = nullptr;
    WatchListModel* model = nullptr;
    std::vector<std::string>* resultSlots = nullptr;
    std::function<void(std::size_t index, const IndexTexts& texts)> showIndex;
    // Shows the entry row's quote when the entry row still shows code and market.
    std::function<void(const std::string& code, int market, const Quote& quote)> showEntryQuote;
    std::function<void()> passEnded;
    // A row still holding the stock the pass fetched was read, well or not.
    std::function<void(const RowKey& key, bool ok)> rowRead;
};

// The main window as a pass sees it. Rows are read from the snapshot the UI thread keeps
// current; everything shown is queued for the UI thread through the gateway, in order, and
// checks rows there, against the list as it is at that moment. Once the gateway is closed
// nothing more is written.
class GatewayRefreshView final : public RefreshView {
  public:
    GatewayRefreshView(UiGateway& gateway, PassTargets targets)
        : gateway_(gateway), targets_(std::move(targets)) {}

    bool Alive() override;
    RowRead ReadRow(int row) override;
    void StoreRowResult(int row, const RowKey& key, const std::string& result,
                        const std::optional<Quote>& quote) override;
    void ShowIndex(std::size_t index, const IndexTexts& texts) override;
    void ShowEntryQuote(const std::string& code, int market, const Quote& quote) override;
    void PassEnded() override;

  private:
    UiGateway& gateway_;
    PassTargets targets_;
};

}  // namespace tickora
