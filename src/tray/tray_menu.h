#pragma once
// The tray menu's items that change with the list and the index band, built afresh for
// every display; toolkit-free.

#include <string>
#include <vector>

#include "common/row_cells.h"

namespace tickora {

enum class MenuPicture { None, Up, Down, Flat };

struct MenuEntry {
    int id = 0;        // 0: a separator
    std::string text;  // CP932
    MenuPicture picture = MenuPicture::None;
    bool checked = false;
};

// " %s　%s　%s　%s　%s" from code, name, time, price and change (CP932).
std::string FormatTrayMenuItem(const RowCells& row);

// The Nikkei item: its line and change text, pictured by the change's sign ("+" first).
MenuEntry TrayNikkeiItem(const std::string& line, const std::string& change);

// One item per row (command 50000 + row), pictured by its mark, the tray row checked.
std::vector<MenuEntry> TrayStockItems(const std::vector<RowCells>& rows, int trayRow);

// A flag's next value when its command is chosen: anything but 0 counts as on.
inline int ToggledFlag(int flag) {
    return flag != 0 ? 0 : 1;
}

// Whether an activation of a status-notifier icon completes a double click: that host sends
// no double clicks, so two activations within the interval make one. A pair is never part
// of the next one.
class ActivationPairing {
  public:
    bool SecondOfPair(long long nowMs, int intervalMs);

  private:
    long long last_ = 0;
    bool open_ = false;
};

}  // namespace tickora
