// The slideshow on alice's grid: speeds and button faces, the start from the closed view at the
// grid's top, stepping on by itself through a search without wrapping, what stops it, and the
// overlay levels over the grid and the content bar's track.
#include "ServiceWindow.h"
#include "controls/HoverProtocol.h"
#include "controls/ResourceImage.h"
#include "gui/Application.h"
#include "mainwindow/Photo.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include <gtest/gtest.h>

using namespace formtest;
using testsupport::ScreenCapture;

namespace {

// A real click on a picture button; the pointer then leaves it, so it shows its normal face.
void press(TForm1* form, controls::ImageButton* button) {
    const RECT r = controls::getVisibleScreenRect(button);
    click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    testsupport::moveMouseTo(form->contentScrollBox->ClientToScreen(POINT{5, 5}));
    pumpUntil([button] { return !button->Hovered(); });
    pump(50);
}

// Every opaque pixel of the skin picture is on the screen (the speeds' faces differ in a few).
bool showsFace(controls::ImageButton* button, int id) {
    const auto picture = controls::loadSkinPicture(gui::HInstance(), id);
    const ScreenCapture shown(controls::getVisibleScreenRect(button));
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            Gdiplus::Color c;
            picture->GetPixel(x, y, &c);
            differing += c.GetA() == 255 && !testsupport::closeTo(shown.at(x, y), c.ToCOLORREF(), 8);
        }
    }
    return differing < 10;
}

void choose(TForm1* form, gui::TMenuItem* item) {
    SendMessageW(form->Handle(), WM_COMMAND, item->Command(), 0);
    pump(50);
}

int fullSizeRequests(const Photo* photo) {
    const std::wstring& url = photo->standardResolutionUrl;
    return serviceSite().countRequests("GET " + std::string(url.begin() + url.find(L"/cdn/"), url.end()));
}

using SlideshowWindow = ServiceWindow;

TEST_F(SlideshowWindow, SpeedsStartStepsStopsAndOverlays) {
    form()->thumbnailWidth = form()->thumbnailHeight = 150;
    load(L"alice", 45);
    auto shows = [&](size_t position) { return form()->fullSizePhoto() == form()->visiblePhotos[position]; };
    auto pressed = [&](controls::ImageButton* button) { press(form(), button); };

    // Each speed, started from the closed view with the grid scrolled down: the first item at the
    // grid's top, the speed's face, and the stopped face again when pressed once more.
    for (auto [item, interval, face] : {std::tuple{form()->slowSlideshowMenuItem, 9000u, 15141},
                                        std::tuple{form()->moderateSlideshowMenuItem, 6000u, 15138},
                                        std::tuple{form()->fastSlideshowMenuItem, 3000u, 15135}}) {
        for (int i = 0; i < 3; ++i)
            SendMessageW(form()->contentScrollBox->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
        choose(form(), item);
        EXPECT_EQ(form()->slideshowTimer->Interval(), interval);
        pressed(form()->slideShowImageButton);
        EXPECT_TRUE(form()->slideshowRunning && shows(0));
        EXPECT_EQ(form()->contentScrollBox->VertScrollBar()->Position(),
                  form()->gridMarginTop - form()->gridRowGap / 2);
        EXPECT_TRUE(showsFace(form()->slideShowImageButton, face)) << face;
        pressed(form()->slideShowImageButton);
        EXPECT_FALSE(form()->slideshowRunning || form()->slideshowTimer->Enabled());
        EXPECT_TRUE(showsFace(form()->slideShowImageButton, 15058));
        pressed(form()->closeSlideshowImageButton);
        EXPECT_EQ(form()->fullSizePhoto(), nullptr);
    }

    // Black hides the grid beside the view and blackens the bar's track; Transparent leaves both.
    // Slow: the slideshow does not step meanwhile; closing the view stops it.
    choose(form(), form()->slowSlideshowMenuItem);
    const POINT corner = form()->contentScrollBox->ClientToScreen(POINT{10, 10});
    const RECT besideView{corner.x, corner.y, corner.x + 20, corner.y + 20};
    const ScreenCapture grid(besideView);
    pressed(form()->slideShowImageButton);
    RECT bar{};
    GetWindowRect(form()->contentScrollBarWindow, &bar);
    const RECT track{bar.left + 3, bar.bottom - 60, bar.right - 3, bar.bottom - 40};
    // Every pixel of a captured area has the colour.
    auto allOf = [](const RECT& area, COLORREF colour) {
        const ScreenCapture shown(area);
        return shown.count(RECT{0, 0, shown.width(), shown.height()}, colour) ==
               shown.width() * shown.height();
    };
    for (auto [item, artifact] : {std::pair{form()->darkOverlayMenuItem, L"slideshow-overlay-dark.png"},
                                  std::pair{form()->blackOverlayMenuItem, L"slideshow-overlay-black.png"}}) {
        choose(form(), item);
        ScreenCapture::ofWindow(form()->Handle()).saveArtifact(artifact);
    }
    EXPECT_TRUE(allOf(besideView, 0x000000));
    EXPECT_TRUE(allOf(track, 0x000000));
    choose(form(), form()->transparentOverlayMenuItem);
    ScreenCapture::ofWindow(form()->Handle()).saveArtifact(L"slideshow-overlay-transparent.png");
    EXPECT_TRUE(ScreenCapture(besideView).samePixels(grid));
    EXPECT_TRUE(allOf(track, 0x3C4041));

    pressed(form()->closeSlideshowImageButton);
    EXPECT_TRUE(!form()->slideshowRunning && form()->fullSizePhoto() == nullptr);

    // Fast over a search: on by itself to the last item, each fetched once (the first was shown
    // above), and no wrap.
    choose(form(), form()->fastSlideshowMenuItem);
    form()->searchEdit->SetText(L"sun");
    form()->runSearch();
    ASSERT_EQ(form()->visiblePhotos.size(), 6u);
    std::vector<int> before;
    for (const Photo* photo : form()->visiblePhotos)
        before.push_back(fullSizeRequests(photo));
    pressed(form()->slideShowImageButton);
    ASSERT_TRUE(pumpUntil([&] { return !form()->slideshowRunning; }, 90000));
    EXPECT_TRUE(shows(5));
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(fullSizeRequests(form()->visiblePhotos[i]), before[i] + (i == 0 ? 0 : 1)) << i;
    // There a start only sets it running, without a step.
    pressed(form()->slideShowImageButton);
    EXPECT_TRUE(form()->slideshowRunning && shows(5));

    // Previous and next, by their buttons and keys, step and stop it; so does Escape, closing the
    // view (slow: it does not step meanwhile).
    choose(form(), form()->slowSlideshowMenuItem);
    auto keyed = [&](WORD key, size_t position) {
        testsupport::keyStroke(key, true);
        testsupport::keyStroke(key, false);
        return pumpUntil([&] { return !form()->slideshowRunning && shows(position); });
    };
    pressed(form()->leftSlideshowImageButton);
    EXPECT_TRUE(!form()->slideshowRunning && shows(4));
    pressed(form()->leftSlideshowImageButton);
    for (auto [key, button, stoppedAt] : {std::tuple{WORD(VK_RIGHT), form()->rightSlideshowImageButton, 5},
                                          std::tuple{WORD(VK_LEFT), form()->leftSlideshowImageButton, 3}}) {
        for (bool byKey : {true, false}) {
            pressed(form()->slideShowImageButton);  // from 3 on to 4
            EXPECT_TRUE(form()->slideshowRunning && shows(4));
            if (byKey)
                EXPECT_TRUE(keyed(key, stoppedAt)) << key;
            else
                pressed(button);
            EXPECT_TRUE(!form()->slideshowRunning && shows(stoppedAt)) << key << byKey;
            for (int back = 3; back < stoppedAt; ++back)
                pressed(form()->leftSlideshowImageButton);
        }
    }
    pressed(form()->slideShowImageButton);
    testsupport::keyStroke(VK_ESCAPE, true);
    testsupport::keyStroke(VK_ESCAPE, false);
    EXPECT_TRUE(pumpUntil([&] { return !form()->slideshowRunning && !form()->fullSizePhoto(); }));
}

}  // namespace
