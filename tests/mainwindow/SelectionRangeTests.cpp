#include "mainwindow/SelectionRange.h"

#include <gtest/gtest.h>

TEST(SelectionRange, ShiftClicksWalkFromTheAnchorToTheClickedItem) {
    struct Case {
        int anchor;
        int clicked;
        bool shift;
        size_t first;
        size_t end;
    };
    const Case cases[] = {
        {-1, 7, true, 0, 0},                       // a first Shift-click only anchors
        {3, 7, false, 0, 0},                       // a plain click moves the anchor
        {3, 7, true, 3, 7},                        // downward: 3 to 6 join the clicked 7
        {7, 9, true, 7, 9},                        // the next range starts at the last clicked item
        {7, 2, true, 3, 8},                        // upward: 3 to 7
        {5, 5, true, 0, 0},  {12, 4, true, 0, 0},  // the list shrank below the anchor: no range
    };
    for (const Case& c : cases) {
        const ShiftClickRange range = shiftClickRange(c.anchor, c.clicked, c.shift, 10);
        EXPECT_EQ(range.first, c.first) << c.anchor << " " << c.clicked;
        EXPECT_EQ(range.end, c.end) << c.anchor << " " << c.clicked;
        EXPECT_EQ(range.anchor, c.clicked);
    }
}
