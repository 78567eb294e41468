#include "tray/tray_tip.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace tickora {
namespace {

RowCells Cells(std::string code, std::string name, std::string time, std::string price,
               std::string change, std::string mark) {
    RowCells c;
    c[ids::kColCode] = std::move(code);
    c[ids::kColName] = std::move(name);
    c[ids::kColTime] = std::move(time);
    c[ids::kColPrice] = std::move(price);
    c[ids::kColChange] = std::move(change);
    c[ids::kColMark] = std::move(mark);
    return c;
}

TEST(FormatTrayTip, LayoutAndCut) {
    EXPECT_EQ(FormatTrayTip(Cells("8058", "ABC", "15:00", "1,234", "+12", Sj("△ "))),
              Sj("△  8058 ABC 15:00\n\r現値 1,234　前日差 +12"));
    // An empty row: three blanks, the line break and the two labels.
    EXPECT_EQ(FormatTrayTip(RowCells{}), Sj("   \n\r現値 　前日差 "));

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
}

TEST(TrayIcon, ChoiceAndRowStepping) {
    const struct {
        const char* change;
        TrayIconKind kind;
    } icons[] = {{"+12", TrayIconKind::Up},    {"-3", TrayIconKind::Down},
                 {"0", TrayIconKind::Flat},    {"-0.5", TrayIconKind::Flat},
                 {"+0.9", TrayIconKind::Flat}, {"", TrayIconKind::Flat},
                 {"  7", TrayIconKind::Up},    {"---", TrayIconKind::Flat}};
    for (const auto& c : icons) EXPECT_EQ(TrayIconFor(c.change), c.kind) << c.change;

    EXPECT_EQ(NextTrayRow(0, 3), 1);
    EXPECT_EQ(NextTrayRow(2, 3), 0);
    EXPECT_EQ(NextTrayRow(9, 3), 0);
    EXPECT_EQ(NextTrayRow(4, 0), 4);  // empty list: nothing happens
    EXPECT_EQ(RestoredTrayRow(0), 0);
    EXPECT_EQ(RestoredTrayRow(3), 2);
    EXPECT_EQ(ClampTrayRow(5, 3), 0);
    EXPECT_EQ(ClampTrayRow(2, 3), 2);
}

}  // namespace
}  // namespace tickora
