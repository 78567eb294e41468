#pragma once
// The main window's layout: every control with its id, kind, text and place in dialog
// units, in creation order.

#include <array>
#include <cstdint>

#include "common/control_ids.h"

namespace tickora {

enum class ControlKind : std::uint8_t {
    Button,
    Static,
    IndexName,
    IndexChange,
    IndexFiller,
    Edit,
    ReadOnlyEdit,
    Combo,
    List,
    Spin
};
enum class ControlAlign : std::uint8_t { Left, Centre, Right };

// How a control takes the keyboard: never, by a click, or by a click and Tab.
enum class ControlFocus : std::uint8_t { None, Click, Tab };
enum ControlFlag : std::uint8_t { kNoFlags = 0, kHidden = 1, kSunken = 2 };

struct ControlDef {
    int id;  // 0 for the two unnamed labels
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, width, height;
    ControlFocus focus = ControlFocus::None;
    std::uint8_t flags = kNoFlags;
    ControlAlign align = ControlAlign::Left;
};

inline constexpr int kDialogWidthDu = 351;
inline constexpr int kDialogHeightDu = 213;

namespace layout {
using K = ControlKind;
using F = ControlFocus;
using A = ControlAlign;
inline constexpr std::array<ControlDef, 29> kMainLayout = {{
    {ids::kAddButton, K::Button, "リストへ追加", 5, 6, 73, 14, F::Click},
    {ids::kNikkeiLine, K::IndexName, "日経平均株価", 105, 0, 85, 12, F::None, kNoFlags, A::Centre},
    {ids::kNikkeiChange, K::IndexChange, "", 190, 0, 35, 12, F::None, kNoFlags, A::Centre},
    {ids::kNikkeiFiller, K::IndexFiller, "", 105, 11, 85, 12, F::None, kNoFlags, A::Centre},
    {ids::kNikkeiChangeFiller, K::IndexFiller, "", 190, 11, 35, 12, F::None, kNoFlags, A::Centre},
    {ids::kTopixLine, K::IndexName, "TOPIX", 224, 0, 85, 12, F::None, kNoFlags, A::Centre},
    {ids::kTopixChange, K::IndexChange, "", 309, 0, 35, 12, F::None, kNoFlags, A::Centre},
    {ids::kJasdaqLine, K::IndexName, "JASDAQ", 224, 11, 85, 12, F::None, kNoFlags, A::Centre},
    {ids::kJasdaqChange, K::IndexChange, "", 309, 11, 35, 12, F::None, kNoFlags, A::Centre},
    {ids::kCodeEdit, K::Edit, "", 5, 25, 32, 13, F::Tab},
    {ids::kNameEdit, K::ReadOnlyEdit, "", 37, 25, 76, 13, F::Click},
    // 84 is the height with the list dropped down; the closed box is as high as the edits.
    {ids::kMarketCombo, K::Combo, "", 114, 25, 31, 84, F::Tab},
    {ids::kTimeEdit, K::ReadOnlyEdit, "", 145, 25, 32, 13, F::Click},
    {ids::kPriceEdit, K::ReadOnlyEdit, "", 177, 25, 32, 13, F::Click},
    {ids::kChangeEdit, K::ReadOnlyEdit, "", 209, 25, 30, 13, F::Click},
    {ids::kRatioEdit, K::ReadOnlyEdit, "", 240, 25, 32, 13, F::Click},
    {ids::kVolumeEdit, K::ReadOnlyEdit, "", 272, 25, 47, 13, F::Click},
    {ids::kMarkEdit, K::ReadOnlyEdit, "", 319, 25, 25, 13, F::Click},
    {ids::kWatchList, K::List, "", 5, 40, 339, 146, F::Tab},
    {ids::kSettingsButton, K::Button, "設定", 5, 193, 28, 13, F::Tab},
    {ids::kChartButton, K::Button, "Button1", 83, 195, 23, 9, F::Click, kHidden},
    {0, K::Static, "更新時間", 105, 195, 30, 9, F::None, kHidden, A::Right},
    {ids::kIntervalEdit, K::Edit, "", 137, 192, 15, 14, F::Click, kHidden},
    {ids::kIntervalSpin, K::Spin, "", 152, 192, 9, 14, F::Click, kHidden},
    {0, K::Static, "s", 161, 195, 8, 8, F::None, kHidden, A::Centre},
    {ids::kConnectButton, K::Button, "接続", 175, 191, 24, 16, F::Tab},
    {ids::kDisconnectButton, K::Button, "切断", 200, 191, 24, 16, F::Tab},
    {ids::kStatus, K::Static, "ステータス", 227, 193, 52, 13, F::None, kSunken, A::Centre},
    {ids::kHomeLink, K::Static, "TICKORA", 286, 191, 58, 17, F::None, kNoFlags, A::Right},
}};
}  // namespace layout
using layout::kMainLayout;

// The list's nine column widths in pixels.
inline constexpr std::array<int, 9> kListColumnWidths = {55, 135, 55, 55, 55, 55, 55, 84, 40};

inline constexpr std::array<int, 6> kTabOrder = {ids::kCodeEdit,      ids::kMarketCombo,
                                                 ids::kWatchList,     ids::kSettingsButton,
                                                 ids::kConnectButton, ids::kDisconnectButton};

}  // namespace tickora
