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

TEST(SlideshowRules, SpeedsIntervalsAndFaces) {
    struct Case {
        bool slow, fast;
        UINT interval;
        int runningFace;
    } cases[] = {
        {true, false, 9000, 15141},
        {false, false, 6000, 15138},
        {false, true, 3000, 15135},
        {true, true, 9000, 15141},  // slow wins, as the menu is read from the top
    };
    for (const Case& c : cases) {
        const SlideshowSpeed speed = slideshowSpeed(c.slow, c.fast);
        EXPECT_EQ(c.interval, slideshowInterval(speed));
        EXPECT_EQ(c.runningFace, slideshowButtonFace(true, speed));
        EXPECT_EQ(15058, slideshowButtonFace(false, speed));
    }
}

TEST(SlideshowRules, OverlayLevels) {
    std::vector<bool> checked(kOverlayLevels, false);
    EXPECT_EQ(kBlackOverlayLevel, checkedOverlayLevel(checked));
    checked[6] = checked[9] = true;
    EXPECT_EQ(6, checkedOverlayLevel(checked));
    checked[0] = true;
    EXPECT_EQ(0, checkedOverlayLevel(checked));

    EXPECT_EQ(15123, overlayLevel(0).pictureId);
    EXPECT_EQ(0, overlayLevel(0).alpha);
    EXPECT_EQ(0x3C4041u, overlayLevel(0).trackColor);  // the bar's own track
    EXPECT_EQ(15129, overlayLevel(6).pictureId);
    EXPECT_EQ(191, overlayLevel(6).alpha);
    EXPECT_EQ(0x0F1010u, overlayLevel(6).trackColor);
    EXPECT_EQ(15134, overlayLevel(kBlackOverlayLevel).pictureId);
    EXPECT_EQ(255, overlayLevel(kBlackOverlayLevel).alpha);
    EXPECT_EQ(0x000000u, overlayLevel(kBlackOverlayLevel).trackColor);
    // Each level darker than the one before, in the picture and in every channel of the track.
    for (int level = 1; level < kOverlayLevels; ++level) {
        const OverlayLevel& lighter = overlayLevel(level - 1);
        const OverlayLevel& darker = overlayLevel(level);
        EXPECT_EQ(lighter.pictureId + 1, darker.pictureId);
        EXPECT_LT(lighter.alpha, darker.alpha);
        for (int shift : {0, 8, 16})
            EXPECT_LE((darker.trackColor >> shift) & 0xFF, (lighter.trackColor >> shift) & 0xFF) << level;
    }
}

}  // namespace
