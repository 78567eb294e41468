#include "ui/colour_rules.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace tickora {
namespace {

// An index's change: minus before plus. A row's change, ratio and mark: each without a
// sign carries the colour of the cell before it.
TEST(ColourRules, IndexChangesAndRowTexts) {
    EXPECT_EQ(IndexChangeColour(" -12.5 "), kIndexDown);
    EXPECT_EQ(IndexChangeColour(" +3 "), kIndexUp);
    EXPECT_EQ(IndexChangeColour(" +-1 "), kIndexDown);
    EXPECT_EQ(IndexChangeColour(" 0 "), kWhite);
    EXPECT_EQ(IndexChangeColour(""), kWhite);

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
        // In the list's column order; the signs of the price and the volume decide nothing.
        const RowCells cells = {"", "", "", "", "+100", c.change, c.ratio, "-", c.mark};
        const std::array<C, ids::kColumnCount> colours = {none, none, none, none, none,
                                                          c.c5, c.c6, none, c.c8};
        EXPECT_EQ(RowTextColours(cells), colours) << c.what;
    }
}

}  // namespace
}  // namespace tickora
