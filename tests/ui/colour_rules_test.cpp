#include "ui/colour_rules.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace tickora {
namespace {

TEST(IndexChangeColour, MinusBeforePlus) {
    EXPECT_EQ(IndexChangeColour(" -12.5 "), kIndexDown);
    EXPECT_EQ(IndexChangeColour(" +3 "), kIndexUp);
    EXPECT_EQ(IndexChangeColour(" +-1 "), kIndexDown);
    EXPECT_EQ(IndexChangeColour(" 0 "), kWhite);
    EXPECT_EQ(IndexChangeColour(""), kWhite);
}

TEST(RowTextColours, CarryOverBetweenCells) {
    using C = std::optional<Rgb>;
    const C none;
    const struct {
        const char* what;
        std::string change, ratio, mark;
        C c5, c6, c8;
    } cases[] = {
        {"rise", "+12", "+1%", Sj("△ "), kCellUp, kCellUp, kCellUp},
        {"fall", "-3", "-1%", Sj("▼ "), kCellDown, kCellDown, kCellDown},
        {"ratio without sign takes the change's colour", "+12", "0%", Sj("－ "), kCellUp, kCellUp,
         none},
        {"change without sign keeps normal", "0", "-1%", Sj("－ "), none, kCellDown, none},
        {"mark without its blank is no rise", "+1", "+1%", Sj("△"), kCellUp, kCellUp, none},
        {"empty row", "", "", "", none, none, none},
    };
    for (const auto& c : cases) {
        RowCells cells;
        cells[ids::kColPrice] = "+100";  // signs elsewhere decide nothing
        cells[ids::kColChange] = c.change;
        cells[ids::kColRatio] = c.ratio;
        cells[ids::kColVolume] = "-";
        cells[ids::kColMark] = c.mark;
        const auto colours = RowTextColours(cells);
        EXPECT_EQ(colours[ids::kColPrice], none) << c.what;
        EXPECT_EQ(colours[ids::kColChange], c.c5) << c.what;
        EXPECT_EQ(colours[ids::kColRatio], c.c6) << c.what;
        EXPECT_EQ(colours[ids::kColVolume], none) << c.what;
        EXPECT_EQ(colours[ids::kColMark], c.c8) << c.what;
    }
    EXPECT_EQ(LinkColour(0), (Rgb{50, 50, 0}));
    EXPECT_EQ(LinkColour(kLinkHoverOn), (Rgb{50, 50, 255}));
}

}  // namespace
}  // namespace tickora
