#include "tray/tray_tip.h"

#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/quote.h"
#include "tray/tray_menu.h"

namespace tickora {
namespace {

// A row in the list's column order, without market, ratio and volume.
RowCells Cells(std::string code, std::string name, std::string time, std::string price,
               std::string change, std::string mark) {
    return {code, name, "", time, price, change, "", "", mark};
}

// What the tray shows of a row: its tip, cut to fit, and an icon by its change's sign.
TEST(TrayTip, LayoutCutAndIcon) {
    EXPECT_EQ(FormatTrayTip(Cells("8058", "ABC", "15:00", "1,234", "+12", Sj("△ "))),
              Sj("△  8058 ABC 15:00\n\r現値 1,234　前日差 +12"));

    // A long double-byte name is cut to 63 bytes without splitting a character.
    std::string longName;
    for (int i = 0; i < 40; ++i) longName += Sj("株");
    const std::string tip = FormatTrayTip(Cells("8058", longName, "15:00", "1", "+1", Sj("▼ ")));
    EXPECT_LE(tip.size(), kTrayTipBytes);
    EXPECT_GE(tip.size(), kTrayTipBytes - 1);
    EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(tip)), tip);  // still valid CP932 to the last byte
    const std::string prefix = Sj("▼  8058 ");
    EXPECT_EQ(tip.substr(0, prefix.size()), prefix);
    // With an odd number of bytes before the name, the cut lands one byte short.
    const std::string odd = FormatTrayTip(Cells("805", longName, "", "", "", Sj("▼ ")));
    EXPECT_EQ(odd.size(), 62u);

    const struct {
        const char* change;
        TrayIconKind kind;
    } icons[] = {{"+12", TrayIconKind::Up},    {"-3", TrayIconKind::Down},
                 {"0", TrayIconKind::Flat},    {"-0.5", TrayIconKind::Flat},
                 {"+0.9", TrayIconKind::Flat}, {"", TrayIconKind::Flat},
                 {"  7", TrayIconKind::Up},    {"---", TrayIconKind::Flat}};
    for (const auto& c : icons) EXPECT_EQ(TrayIconFor(c.change), c.kind) << c.change;
}

// A menu item as "id:picture:checked:text".
std::string Shape(const MenuEntry& e) {
    return std::to_string(e.id) + ":" + "NUDF"[static_cast<int>(e.picture)] + ":" +
           (e.checked ? "x" : "") + ":" + Cp932ToUtf8(e.text);
}

TEST(TrayMenu, TheNikkeiItemAndOneStockItemPerRowPicturedByItsSign) {
    EXPECT_EQ(Shape(TrayNikkeiItem(Sj("日経平均株価"), "")), "32795:F::日経平均株価 ");
    // "+" is looked for first.
    EXPECT_EQ(Shape(TrayNikkeiItem(Sj("日経平均株価"), " +1-2 ")), "32795:U::日経平均株価  +1-2 ");
    EXPECT_EQ(Shape(TrayNikkeiItem("N", " -3 ")), "32795:D::N  -3 ");
    EXPECT_TRUE(TrayStockItems({}, 0).empty());
    const std::vector<RowCells> rows = {Cells("8058", "A", "15:00", "1,234", "+12", Sj("△ ")),
                                        Cells("7203", "B", "", "", "", Sj("▼ ")),
                                        Cells("6501", "C", "", "", "", Sj("△"))};
    std::vector<std::string> shape;
    for (const MenuEntry& e : TrayStockItems(rows, 1)) shape.push_back(Shape(e));
    EXPECT_EQ(shape, (std::vector<std::string>{
                         "50000:U:: 8058　A　15:00　1,234　+12", "50001:D:x: 7203　B　　　",
                         "50002:F:: 6501　C　　　"}));  // "△" without its blank is no rise
}

TEST(TrayMenu, TwoActivationsWithinTheIntervalMakeOneDoubleClick) {
    ActivationPairing pairing;
    const struct {
        long long at;
        bool second;
    } steps[] = {{1000, false}, {1300, true}, {1350, false}, {2000, false}, {2400, true}};
    for (const auto& s : steps) EXPECT_EQ(pairing.SecondOfPair(s.at, 400), s.second) << s.at;
}

}  // namespace
}  // namespace tickora
