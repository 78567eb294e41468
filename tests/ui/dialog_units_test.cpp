#include "ui/dialog_units.h"

#include <gtest/gtest.h>

namespace tickora::test {
namespace {

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundingToNearest) {
    struct Case {
        BaseUnits units;
        QRect du;
        QRect px;
    };
    const Case cases[] = {
        // 6x12: the classic base units of a 9 pt Japanese dialog font.
        {{6, 12}, {5, 25, 32, 13}, {8, 38, 48, 20}},      // 7.5 and 19.5 round up
        {{6, 12}, {351, 213, 1, 1}, {527, 320, 2, 2}},    // 526.5, 319.5, 1.5, 1.5
        {{7, 13}, {5, 40, 339, 146}, {9, 65, 593, 237}},  // 8.75, 65, 593.25, 237.25
        {{7, 13}, {286, 191, 58, 17}, {501, 310, 102, 28}}, {{8, 16}, {0, 0, 4, 8}, {0, 0, 8, 16}},
        {{8, 16}, {-3, -5, 0, 0}, {-6, -10, 0, 0}},  // -6 and -10 exactly
        {{7, 13}, {-1, -1, 0, 0}, {-2, -2, 0, 0}},   // -1.75 and -1.625 round away from 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.units.x << "x" << c.units.y << " " << c.du.x() << ","
                                        << c.du.y() << "," << c.du.width() << "," << c.du.height());
        EXPECT_EQ(DuToPx(c.du, c.units), c.px);
    }
}

}  // namespace
}  // namespace tickora::test
