#pragma once
#include <string>

#include "common/row_cells.h"

namespace tickora {

// What a refresh pass reads and writes of the main window. The window's implementation
// runs every call on the UI thread and waits for it; once the window is closing, calls
// do nothing, reads give empty answers and Alive() turns false, so a pass ends at once.
class RefreshView {
  public:
    virtual ~RefreshView() = default;

    virtual bool Alive() = 0;
    virtual int RowCount() = 0;
    virtual std::string CellText(int row, int column) = 0;
    // A row that no longer exists is not written.
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    // Several cells of one row in one go; a window that pays per call overrides it.
    virtual void SetRowCells(int row, const CellWrites& cells) {
        for (const auto& [column, text] : cells) SetCellText(row, column, text);
    }
    virtual int ResultSlotCount() = 0;
    virtual void SetResultSlot(int row, const std::string& result) = 0;
    // Statics and edits of the window, by control id.
    virtual void SetControlText(int id, const std::string& text) = 0;
};

}  // namespace tickora
