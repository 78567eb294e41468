#pragma once
#include <string>
#include <string_view>

#include "common/row_cells.h"

namespace tickora {

// The tray tooltip field holds 63 bytes of text.
inline constexpr std::size_t kTrayTipBytes = 63;

// "%s %s %s %s\n\r現値 %s　前日差 %s" from mark, code, name, time, price, change; cut to
// 63 bytes on a character boundary (CP932).
std::string FormatTrayTip(const RowCells& cells);

enum class TrayIconKind { Up, Down, Flat };

// By the sign of the change.
TrayIconKind TrayIconFor(int change);
// By the sign of the change text's leading integer.
TrayIconKind TrayIconFor(std::string_view changeText);

// The tray row after a single click on the icon: the next row, wrapping to 0.
int NextTrayRow(int current, int rowCount);
// The tray row after a double click: one back, never below 0.
int RestoredTrayRow(int current);
// The tray row a tick uses: 0 when it points past the last row.
int ClampTrayRow(int current, int rowCount);

}  // namespace tickora
