// The rescaling arithmetic: signed integers, divisions truncating toward zero.
#include "localization/dialog_scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(DialogScale, DialogAndChildren) {
    // A 400 x 300 client area in a 416 x 338 window at 150*100 gets a window
    // of 617 x 339, a client area of 601 x 301: one pixel more each way.
    EXPECT_EQ(617, ScaleByPercent(400, 150) + FrameExtent(416, 400));
    EXPECT_EQ(339, ScaleByPercent(300, 100) + FrameExtent(338, 300));
    // Children are placed from their offsets left - 17 / 2 - 100 and
    // top - 50 - (39 - 3).
    const PixelRect dialog = {100, 50, 516, 388};
    const struct {
        PixelRect child;
        int widthPercent, heightPercent;
        ChildPlacement expected;
    } cases[] = {
        {{118, 106, 217, 125}, 150, 100, {15, 20, 150, 20}},  // right - left = 99 becomes 150 wide
        {{111, 93, 141, 103}, 120, 110, {3, 7, 37, 12}},
        {{100, 50, 110, 60}, 130, 130, {-10, -46, 14, 14}},  // toward zero, not down
        // A catalog's absurd percentages stay within the int range.
        {{108, 86, 1107, 1085}, INT_MAX, INT_MIN, {0, 0, INT_MAX, INT_MIN}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.widthPercent) + "*" + std::to_string(c.heightPercent));
        ChildPlacement placed = ScaleChildPlacement(c.child, dialog, 17, 39, 3, c.widthPercent, c.heightPercent, false);
        EXPECT_EQ(c.expected.x, placed.x);
        EXPECT_EQ(c.expected.y, placed.y);
        EXPECT_EQ(c.expected.width, placed.width);
        EXPECT_EQ(c.expected.height, placed.height);
    }
}

}  // namespace
