// The frame through real input: moving, resizing, maximising, the double click, the slider.
#include "FormTestSupport.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>

using namespace formtest;

TEST(FrameInput, TheFrameMovesResizesAndMaximisesThroughRealInput) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    RECT start = windowRect(form);

    // The top panel moves the window exactly.
    drag(POINT{start.left + 20, start.top + 40}, POINT{start.left + 70, start.top + 70});
    RECT moved = windowRect(form);
    EXPECT_EQ(moved.left, start.left + 50);
    EXPECT_EQ(moved.top, start.top + 30);
    EXPECT_EQ(mouseHookHandle, nullptr);

    // The left edge stops at the minimum width with the right edge in place.
    drag(POINT{moved.left + 1, moved.top + 300}, POINT{moved.left + 301, moved.top + 300});
    RECT narrowed = windowRect(form);
    EXPECT_EQ(narrowed.right, moved.right);
    EXPECT_EQ(narrowed.right - narrowed.left, 1024);

    // The bottom-right corner grows the window.
    drag(POINT{narrowed.right - 2, narrowed.bottom - 2}, POINT{narrowed.right + 8, narrowed.bottom + 18});
    RECT grown = windowRect(form);
    EXPECT_EQ(grown.right - grown.left, 1034);
    EXPECT_EQ(grown.bottom - grown.top, (narrowed.bottom - narrowed.top) + 20);

    // Maximised: the work area less the auto-hidden taskbar's row, and no moving.
    form->maximizeImageButtonBtnClick(form);
    pump(100);
    RECT maximised = windowRect(form);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(maximised.left, 0);
    EXPECT_EQ(maximised.top, 0);
    EXPECT_EQ(maximised.right, screenWidth);
    EXPECT_EQ(maximised.bottom, screenHeight - 1);
    drag(POINT{20, 40}, POINT{120, 140});
    EXPECT_EQ(windowRect(form).left, 0);

    // A double click on the top panel restores, and the next drag still works.
    const POINT onPanel{600 - 250, 12};
    testsupport::moveMouseTo(onPanel);
    pump(30);
    for (int click = 0; click < 2; ++click) {
        testsupport::mouseButton(true, true);
        pump(20);
        testsupport::mouseButton(true, false);
        pump(20);
    }
    pumpUntil([form] { return form->WindowState() == gui::wsNormal; });
    EXPECT_EQ(form->WindowState(), gui::wsNormal);
    EXPECT_EQ(mouseHookHandle, nullptr);
    RECT restored = windowRect(form);
    drag(POINT{restored.left + 20, restored.top + 40}, POINT{restored.left + 30, restored.top + 45});
    EXPECT_EQ(windowRect(form).left, restored.left + 10);
    delete form;
}

TEST(FrameInput, TheSliderEndsGiveTheSmallestAndLargestThumbnails) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->setPhotoViewVisible(true);
    form->FormResize(form);
    pump(100);
    // The photo view: toolbar and bottom panel in, the start screen out, the content between them.
    EXPECT_TRUE(form->toolbarPanel->Visible());
    EXPECT_TRUE(form->bottomPanel->Visible());
    EXPECT_FALSE(form->bottomScrollBox->Visible());
    EXPECT_FALSE(form->logoBigImage->Visible());
    EXPECT_EQ(form->contentScrollBox->Top(), form->toolbarPanel->Top() + form->toolbarPanel->Height());
    EXPECT_EQ(form->bottomPanel->Top(), form->contentScrollBox->Top() + form->contentScrollBox->Height());
    EXPECT_EQ(form->bottomPanel->Top() + form->bottomPanel->Height(), form->ClientHeight() - 3);
    controls::ImageButton* knob = form->resizeThumbImageButton;
    auto knobCentre = [&] { return knob->ClientToScreen(POINT{knob->Width() / 2, knob->Height() / 2}); };
    POINT from = knobCentre();
    drag(from, POINT{from.x + 400, from.y});
    EXPECT_EQ(form->thumbnailWidth, 306);
    EXPECT_EQ(form->thumbnailHeight, 306);
    EXPECT_EQ(knob->Left(), form->resizeImage->Left() + form->resizeImage->Width() - 20 - knob->Width());
    from = knobCentre();
    drag(from, POINT{from.x - 400, from.y + 10});
    EXPECT_EQ(form->thumbnailWidth, 150);
    EXPECT_EQ(knob->Left(), form->resizeImage->Left() + 20);
    delete form;
}

TEST(FrameInput, ADragEndsWhenTheMouseIsLostOrTheButtonIsUp) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    const RECT start = windowRect(form);
    const POINT onPanel{start.left + 20, start.top + 40};

    // Another window takes the mouse while the top panel is held.
    testsupport::moveMouseTo(onPanel);
    pump(30);
    testsupport::mouseButton(true, true);
    pumpUntil([] { return mouseHookHandle != nullptr; });
    ASSERT_NE(mouseHookHandle, nullptr);
    ReleaseCapture();
    pump(50);
    EXPECT_EQ(mouseHookHandle, nullptr);
    EXPECT_EQ(pressedPanel, nullptr);
    testsupport::mouseButton(true, false);
    pump(50);

    // A move that comes with the button up (its release went elsewhere) is the drag's last.
    pressedPanel = form->topPanel;
    dragAnchor = onPanel;
    installMouseHook();
    MOUSEHOOKSTRUCTEX record{};
    record.pt = POINT{onPanel.x + 40, onPanel.y + 20};
    mouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(mouseHookHandle, nullptr);
    EXPECT_EQ(pressedPanel, nullptr);
    EXPECT_EQ(windowRect(form).left, start.left + 40);
    record.pt = POINT{onPanel.x + 90, onPanel.y + 20};
    mouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(windowRect(form).left, start.left + 40);

    // A release ends the drag where the button was let go, even when no move reached it there.
    pressedPanel = form->topPanel;
    dragAnchor = POINT{onPanel.x + 40, onPanel.y + 20};
    installMouseHook();
    record.pt = POINT{onPanel.x + 47, onPanel.y + 20};
    mouseHookProc(HC_ACTION, WM_LBUTTONUP, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(mouseHookHandle, nullptr);
    EXPECT_EQ(windowRect(form).left, start.left + 47);

    // The next drag hooks again and moves the window.
    const POINT nowOnPanel{onPanel.x + 47, onPanel.y + 20};
    drag(nowOnPanel, POINT{nowOnPanel.x + 15, nowOnPanel.y + 5});
    EXPECT_EQ(windowRect(form).left, start.left + 62);
    delete form;
}
