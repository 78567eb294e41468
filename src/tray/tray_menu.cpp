#include "tray/tray_menu.h"

#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/quote.h"
#include "common/sjis.h"

namespace tickora {

std::string FormatTrayMenuItem(const RowCells& row) {
    static const std::string gap = Sj("　");
    return " " + row[ids::kColCode] + gap + row[ids::kColName] + gap + row[ids::kColTime] + gap +
           row[ids::kColPrice] + gap + row[ids::kColChange];
}

MenuEntry TrayNikkeiItem(const std::string& line, const std::string& change) {
    return {ids::kCmdNikkei, line + " " + change,
            Contains(change, "+")   ? MenuPicture::Up
            : Contains(change, "-") ? MenuPicture::Down
                                    : MenuPicture::Flat};
}

std::vector<MenuEntry> TrayStockItems(const std::vector<RowCells>& rows, int trayRow) {
    std::vector<MenuEntry> items;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // A stock line compares its mark whole.
        const std::string& mark = rows[i][ids::kColMark];
        items.push_back({ids::kCmdTrayStockFirst + static_cast<int>(i), FormatTrayMenuItem(rows[i]),
                         mark == RiseMark()   ? MenuPicture::Up
                         : mark == FallMark() ? MenuPicture::Down
                                              : MenuPicture::Flat,
                         static_cast<int>(i) == trayRow});
    }
    return items;
}

bool ActivationPairing::SecondOfPair(long long nowMs, int intervalMs) {
    const bool second = open_ && nowMs - last_ <= intervalMs;
    open_ = !second;
    last_ = nowMs;
    return second;
}

}  // namespace tickora
