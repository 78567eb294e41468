#include "tray/tray_tip.h"

#include "common/codepage.h"
#include "common/leading_int.h"
#include "common/sjis.h"

namespace tickora {

std::string FormatTrayTip(const RowCells& c) {
    static const std::string price = Sj("現値 ");
    static const std::string change = Sj("　前日差 ");
    std::string tip = c[ids::kColMark] + " " + c[ids::kColCode] + " " + c[ids::kColName] + " " +
                      c[ids::kColTime] + "\n\r" + price + c[ids::kColPrice] + change +
                      c[ids::kColChange];
    return CutToBytes(tip, kTrayTipBytes);
}

TrayIconKind TrayIconFor(int change) {
    if (change > 0) return TrayIconKind::Up;
    if (change < 0) return TrayIconKind::Down;
    return TrayIconKind::Flat;
}

TrayIconKind TrayIconFor(std::string_view changeText) {
    return TrayIconFor(LeadingInt(changeText));
}

int NextTrayRow(int current, int rowCount) {
    if (rowCount <= 0) return current;
    const int next = current + 1;
    return next > rowCount - 1 ? 0 : next;
}

int RestoredTrayRow(int current) {
    return current - 1 < 0 ? 0 : current - 1;
}

int ClampTrayRow(int current, int rowCount) {
    return current > rowCount - 1 ? 0 : current;
}

}  // namespace tickora
