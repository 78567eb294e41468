#pragma once
// The window's three popup menus: the list's context menu (133), the tray menu (137) and
// the settings menu (153), item by item. Texts are UTF-8 literals; id 0 is a separator.

#include <array>

#include "common/control_ids.h"

namespace tickora {

struct MenuItemDef {
    int id;
    const char* text;
};

inline constexpr std::array<MenuItemDef, 4> kListMenu = {{
    {ids::kCmdOpenLink, "リンクを開く"},
    {0, ""},
    {ids::kCmdDelete, "削除"},
    {ids::kCmdDeleteAll, "全て削除"},
}};

// The stock items go between the two separators at positions 1 and 2.
inline constexpr std::array<MenuItemDef, 9> kTrayMenu = {{
    {ids::kCmdNikkei, "日経平均"},
    {0, ""},
    {0, ""},
    {ids::kCmdOpenMain, "メインウィンドウを開く"},
    {0, ""},
    {ids::kCmdClickOpensLink, "クリックで銘柄のリンクを開く"},
    {ids::kCmdStartInTray, "起動時タスクトレイに常駐する"},
    {0, ""},
    {ids::kCmdClose, "閉じる"},
}};
inline constexpr int kTrayStockPosition = 2;

inline constexpr std::array<MenuItemDef, 6> kSettingsMenu = {{
    {ids::kCmdLinkSettings, "銘柄リストのリンクURL設定"},
    {0, ""},
    {ids::kCmdStartInTray, "起動時タスクトレイに常駐する"},
    {0, ""},
    {ids::kCmdVersion, "バージョン情報"},
    {ids::kCmdClose, "閉じる"},
}};

}  // namespace tickora
