#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "common/quote.h"

namespace tickora {

// A watch-list row as a pass knows it: the stock it holds.
struct RowKey {
    std::string code, market;
    auto operator<=>(const RowKey&) const = default;
};

// What a pass reads of a row before fetching it.
struct RowRead {
    bool exists = false;   // the row is there
    RowKey key;            // its code and market; empty when not there
    bool hasSlot = false;  // it has a result slot
};

// What a refresh pass reads of the main window and what it tells it. The window's
// implementation reads rows from a copy its UI thread keeps current and queues everything
// else for the UI thread, in order; once the window is closing, calls do nothing, reads give
// empty answers and Alive() turns false, so a pass ends at once.
class RefreshView {
  public:
    virtual ~RefreshView() = default;

    virtual bool Alive() = 0;
    // The row count, the row's stock and whether it has a result slot, read together now.
    virtual RowRead ReadRow(int row) = 0;
    // Stores a row's result in its slot and shows its quote, but only while the row still
    // holds the stock the pass fetched: a row that was added, deleted or moved meanwhile is
    // left for the next pass rather than given another stock's figures.
    virtual void StoreRowResult(int row, const RowKey& key, const std::string& result,
                                const std::optional<Quote>& quote) = 0;
    // An index with a valid value; index is its place in Indices().
    virtual void ShowIndex(std::size_t index, const IndexTexts& texts) = 0;
    // The entry row's quote, shown only while the entry row still shows code and market.
    virtual void ShowEntryQuote(const std::string& code, int market, const Quote& quote) = 0;
    // The pass is over: it went through every row, or the window closed.
    virtual void PassEnded() = 0;
};

}  // namespace tickora
