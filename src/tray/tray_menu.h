#pragma once
// The tray menu as the program builds it afresh for every display, and the tray's own
// command steps; toolkit-free.

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

struct TrayMenuState {
    std::vector<RowCells> rows;
    std::string nikkeiLine, nikkeiChange;  // the texts of statics 1029 and 1035
    int selectedItem = 0;                  // the tray row; brought back to 0 past the end
    int chkOpenUrl = 1, chkGoTask = 0;
};

// Menu 137 with the Nikkei line, one item per row between the two separators (command
// 50000 + row, its picture by its mark, the tray row checked) and the two options checked
// by their flags. May change state.selectedItem.
std::vector<MenuEntry> BuildTrayMenu(TrayMenuState& state);

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
