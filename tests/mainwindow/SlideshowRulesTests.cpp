#include "mainwindow/SlideshowRules.h"

#include <gtest/gtest.h>

namespace {

TEST(SlideshowRules, PhotoSteppedToIsScrolledIntoViewWhole) {
    struct Case {
        int clientHeight, photoTop, photoHeight, offset;
    } cases[] = {
        {600, 0, 150, -1},     // whole, touching the top
        {600, 450, 150, -1},   // whole, touching the bottom
        {600, -1, 150, 21},    // cut at the top: half a gap below the top
        {600, -400, 150, 21},  // far above
        {600, 451, 150, 429},  // cut at the bottom: half a gap above the bottom
        {600, 900, 150, 429},  // far below
        {180, 100, 150, 15},   // little room: centred
        {150, 10, 150, 0},     // no room: at the top
        {100, -20, 150, 0},    // taller than the view
        {192, 50, 150, 21},    // cut at the bottom, room for exactly half a gap
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.offset, steppedPhotoOffset(c.clientHeight, c.photoTop, c.photoHeight, 42))
            << c.clientHeight << " " << c.photoTop << " " << c.photoHeight;
}

}  // namespace
