#include "tray/tray_menu.h"

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "quotes/extract.h"
#include "tray/menus.h"

namespace tickora {

std::string FormatTrayMenuItem(const RowCells& row) {
    static const std::string gap = Sj("　");
    return " " + row[ids::kColCode] + gap + row[ids::kColName] + gap + row[ids::kColTime] + gap +
           row[ids::kColPrice] + gap + row[ids::kColChange];
}

std::vector<MenuEntry> BuildTrayMenu(TrayMenuState& state) {
    std::vector<MenuEntry> entries;
    for (const MenuItemDef& item : kTrayMenu) entries.push_back({item.id, Sj(item.text)});
    // The Nikkei line looks for the signs in its change text ("+" first).
    MenuEntry& nikkei = entries[0];
    nikkei.text = state.nikkeiLine + " " + state.nikkeiChange;
    nikkei.picture = Contains(state.nikkeiChange, "+")   ? MenuPicture::Up
                     : Contains(state.nikkeiChange, "-") ? MenuPicture::Down
                                                         : MenuPicture::Flat;
    const int rows = static_cast<int>(state.rows.size());
    if (rows > 0) {
        if (state.selectedItem > rows - 1) state.selectedItem = 0;
        std::vector<MenuEntry> stocks;
        for (int i = 0; i < rows; ++i) {
            const RowCells& row = state.rows[static_cast<std::size_t>(i)];
            // A stock line compares its mark whole.
            const std::string& mark = row[ids::kColMark];
            stocks.push_back({ids::kCmdTrayStockFirst + i, FormatTrayMenuItem(row),
                              mark == RiseMark()   ? MenuPicture::Up
                              : mark == FallMark() ? MenuPicture::Down
                                                   : MenuPicture::Flat,
                              i == state.selectedItem});
        }
        entries.insert(entries.begin() + kTrayStockPosition, stocks.begin(), stocks.end());
    }
    for (MenuEntry& entry : entries) {
        if (entry.id == ids::kCmdClickOpensLink) entry.checked = state.chkOpenUrl == 1;
        if (entry.id == ids::kCmdStartInTray) entry.checked = state.chkGoTask == 1;
    }
    return entries;
}

bool ActivationPairing::SecondOfPair(long long nowMs, int intervalMs) {
    const bool second = open_ && nowMs - last_ <= intervalMs;
    open_ = !second;
    last_ = nowMs;
    return second;
}

}  // namespace tickora
