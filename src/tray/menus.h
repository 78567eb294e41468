#pragma once
// The window's three popup menus item by item, as command ids; 0 is a separator. The
// items' texts and what they do are in the window's action table.

#include <array>

#include "common/control_ids.h"

namespace tickora {

inline constexpr std::array<int, 6> kListMenu = {ids::kCmdOpenLink,  0, ids::kCmdDelete,
                                                 ids::kCmdDeleteAll, 0, ids::kCmdAlertSettings};

// The stock items go between the two separators at positions 1 and 2.
inline constexpr std::array<int, 9> kTrayMenu = {ids::kCmdNikkei,      0, 0,
                                                 ids::kCmdOpenMain,    0, ids::kCmdClickOpensLink,
                                                 ids::kCmdStartInTray, 0, ids::kCmdClose};
inline constexpr int kTrayStockPosition = 2;

inline constexpr std::array<int, 7> kSettingsMenu = {
    ids::kCmdLinkSettings, ids::kCmdQuotePageSettings, 0, ids::kCmdStartInTray, 0, ids::kCmdVersion,
    ids::kCmdClose};

}  // namespace tickora
