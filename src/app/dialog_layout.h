#pragma once
// The main window's layout: every control with its id, kind, text and place in dialog
// units, in creation order.

#include <array>
#include <cstdint>

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

struct ControlDef {
    int id;  // 0 for the two unnamed labels
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, width, height;
    bool hidden = false;
    bool tabStop = false;
    ControlAlign align = ControlAlign::Left;
    bool sunken = false;
};

inline constexpr int kDialogWidthDu = 351;
inline constexpr int kDialogHeightDu = 213;

inline constexpr std::array<ControlDef, 29> kMainLayout = {{
    {1003, ControlKind::Button, "リストへ追加", 5, 6, 73, 14},
    {1029, ControlKind::IndexName, "日経平均株価", 105, 0, 85, 12, false, false,
     ControlAlign::Centre},
    {1035, ControlKind::IndexChange, "", 190, 0, 35, 12, false, false, ControlAlign::Centre},
    {1032, ControlKind::IndexFiller, "", 105, 11, 85, 12, false, false, ControlAlign::Centre},
    {1038, ControlKind::IndexFiller, "", 190, 11, 35, 12, false, false, ControlAlign::Centre},
    {1030, ControlKind::IndexName, "TOPIX", 224, 0, 85, 12, false, false, ControlAlign::Centre},
    {1036, ControlKind::IndexChange, "", 309, 0, 35, 12, false, false, ControlAlign::Centre},
    {1031, ControlKind::IndexName, "JASDAQ", 224, 11, 85, 12, false, false, ControlAlign::Centre},
    {1037, ControlKind::IndexChange, "", 309, 11, 35, 12, false, false, ControlAlign::Centre},
    {1001, ControlKind::Edit, "", 5, 25, 32, 13, false, true},
    {1008, ControlKind::ReadOnlyEdit, "", 37, 25, 76, 13},
    // 84 is the height with the list dropped down; the closed box is as high as the edits.
    {1020, ControlKind::Combo, "", 114, 25, 31, 84, false, true},
    {1016, ControlKind::ReadOnlyEdit, "", 145, 25, 32, 13},
    {1002, ControlKind::ReadOnlyEdit, "", 177, 25, 32, 13},
    {1017, ControlKind::ReadOnlyEdit, "", 209, 25, 30, 13},
    {1018, ControlKind::ReadOnlyEdit, "", 240, 25, 32, 13},
    {1019, ControlKind::ReadOnlyEdit, "", 272, 25, 47, 13},
    {1021, ControlKind::ReadOnlyEdit, "", 319, 25, 25, 13},
    {1007, ControlKind::List, "", 5, 40, 339, 146, false, true},
    {1043, ControlKind::Button, "設定", 5, 193, 28, 13, false, true},
    {1026, ControlKind::Button, "Button1", 83, 195, 23, 9, true},
    {0, ControlKind::Static, "更新時間", 105, 195, 30, 9, true, false, ControlAlign::Right},
    {1023, ControlKind::Edit, "", 137, 192, 15, 14, true},
    {1024, ControlKind::Spin, "", 152, 192, 9, 14, true},
    {0, ControlKind::Static, "s", 161, 195, 8, 8, true, false, ControlAlign::Centre},
    {1010, ControlKind::Button, "接続", 175, 191, 24, 16, false, true},
    {1009, ControlKind::Button, "切断", 200, 191, 24, 16, false, true},
    {1011, ControlKind::Static, "ステータス", 227, 193, 52, 13, false, false, ControlAlign::Centre,
     true},
    {1028, ControlKind::Static, "TICKORA", 286, 191, 58, 17, false, false, ControlAlign::Right},
}};

// The list's nine column widths in pixels.
inline constexpr std::array<int, 9> kListColumnWidths = {55, 135, 55, 55, 55, 55, 55, 84, 40};

inline constexpr std::array<int, 6> kTabOrder = {1001, 1020, 1007, 1043, 1010, 1009};

}  // namespace tickora
