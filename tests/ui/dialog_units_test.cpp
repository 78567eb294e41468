#include "ui/dialog_units.h"

#include <gtest/gtest.h>

namespace tickora::test {
namespace {

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundingHalfAwayFromZero) {
    const struct {
        BaseUnits units;
        QRect du, px;
    } cases[] = {
        // 6x12: the classic base units of a 9 pt Japanese dialog font.
        {{6, 12}, {5, 25, 32, 13}, {8, 38, 48, 20}},      // 7.5, 37.5 and 19.5 round up
        {{7, 13}, {5, 40, 339, 146}, {9, 65, 593, 237}},  // 8.75 up; 593.25, 237.25 down
        {{6, 12}, {-1, -3, 0, 0}, {-2, -5, 0, 0}},        // -1.5 and -4.5 away from 0
    };
    for (const auto& c : cases) EXPECT_EQ(DuToPx(c.du, c.units), c.px) << "case " << &c - cases;
}

}  // namespace
}  // namespace tickora::test
