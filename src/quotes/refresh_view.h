#pragma once
#include <string>

#include "common/row_cells.h"

namespace tickora {

// A watch-list row as a pass knows it: the stock it holds.
struct RowKey {
    std::string code, market;
    bool operator==(const RowKey&) const = default;
};

// (control id, text) pairs, for the entry row's seven edits.
using ControlTexts = CellWrites;

// What a pass reads of a row before fetching it, in one request to the window.
struct RowRead {
    bool exists = false;   // the row is there
    RowKey key;            // its code (column 0) and market (column 2); empty when not there
    bool hasSlot = false;  // it has a result slot
};

// What a refresh pass reads and writes of the main window. The window's implementation
// runs every call on the UI thread and waits for it; once the window is closing, calls
// do nothing, reads give empty answers and Alive() turns false, so a pass ends at once.
class RefreshView {
  public:
    virtual ~RefreshView() = default;

    virtual bool Alive() = 0;
    // The row count, the row's stock and whether it has a result slot, read together now.
    virtual RowRead ReadRow(int row) = 0;
    // Stores a row's result in its slot and writes its cells, but only while the row still
    // holds the stock the pass fetched: a row that was added, deleted or moved meanwhile is
    // left for the next pass rather than given another stock's figures.
    virtual void StoreRowResult(int row, const RowKey& key, const std::string& result,
                                const CellWrites& cells) = 0;
    // Statics and edits of the window, by control id.
    virtual void SetControlText(int id, const std::string& text) = 0;
    // The entry row's texts, written only while the entry row still shows code and market.
    virtual void WriteEntryRow(const std::string& code, int market, const ControlTexts& texts) = 0;
};

}  // namespace tickora
