// The two custom scroll bars follow the box and the list they belong to, in their colours.
#include "FormTestSupport.h"
#include "mainwindow/Photo.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include <gtest/gtest.h>

using namespace formtest;

TEST(ScrollBars, TheContentBarFollowsItsBoxInItsColours) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->setPhotoViewVisible(true);
    // Enough photos (without pictures) for a grid far taller than the view.
    for (int i = 0; i < 150; ++i) {
        form->photos.push_back(
            new Photo(L"", L"", L"", L"", L"", L"", std::to_wstring(i), i, releaseDownloaderCallback));
        form->photos.back()->visibleIndex = i;
        form->visiblePhotos.push_back(form->photos.back());
    }
    form->FormResize(form);
    pump(100);
    HWND bar = form->contentScrollBarWindow;
    ASSERT_TRUE(IsWindowVisible(bar));
    RECT r{};
    GetWindowRect(bar, &r);
    const int width = r.right - r.left;
    // The down arrow scrolls the box a line; the bar follows.
    click(POINT{r.left + width / 2, r.bottom - width / 2});
    const int afterLine = form->contentScrollBox->VertScrollBar()->Position();
    EXPECT_GT(afterLine, 0);
    EXPECT_EQ(form->contentScrollBar->GetScrollPos(), afterLine);
    // The track below the thumb pages down.
    click(POINT{r.left + width / 2, r.bottom - width * 2});
    const int afterPage = form->contentScrollBox->VertScrollBar()->Position();
    EXPECT_GT(afterPage, afterLine + 100);
    EXPECT_EQ(form->contentScrollBar->GetScrollPos(), afterPage);
    // The thumb dragged down takes the box along while it moves.
    RECT thumb = form->contentScrollBar->Layout().Thumb;
    const POINT grip{r.left + width / 2, r.top + (thumb.top + thumb.bottom) / 2};
    drag(grip, POINT{grip.x, grip.y + 60});
    const int afterThumb = form->contentScrollBox->VertScrollBar()->Position();
    EXPECT_GT(afterThumb, afterPage + 60);
    EXPECT_EQ(form->contentScrollBar->GetScrollPos(), afterThumb);
    // Track and thumb in the dark skin's colours (the pointer moved away first).
    testsupport::moveMouseTo(POINT{r.left - 200, r.top + 200});
    pump(150);
    gui::ScrollBarLayout parts = form->contentScrollBar->Layout();
    HDC screen = GetDC(nullptr);
    const COLORREF trackColour = GetPixel(screen, r.left + width / 2, r.top + parts.Thumb.top - 2);
    const COLORREF thumbColour =
        GetPixel(screen, r.left + width / 2, r.top + (parts.Thumb.top + parts.Thumb.bottom) / 2);
    const COLORREF sideColour =
        GetPixel(screen, r.left + parts.Thumb.left, r.top + (parts.Thumb.top + parts.Thumb.bottom) / 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(trackColour, 0x3C4041u);
    EXPECT_EQ(thumbColour, 0x292B2Cu);
    EXPECT_EQ(sideColour, 0x3C4041u);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"mainwindow-photo-view.png");
    delete form;
}

TEST(ScrollBars, TheHistoryBarFollowsItsListInItsColours) {
    WorkFolderSetting setting;
    TForm1* form = openForm();
    for (int i = 0; i < 40; ++i)
        form->addUserNameToHistory(L"user" + std::to_wstring(100 + i));
    form->userNameListBoxPanel->SetVisible(true);
    form->userNameListBoxPanel->BringToFront();
    pump(50);
    HWND list = form->userNameListBox->Handle();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(list, SB_VERT, &info);
    form->userNameScrollBar->SetScrollInfo(info, true);
    HWND bar = form->userNameScrollBarWindow;
    ASSERT_TRUE(IsWindowVisible(bar));
    RECT r{};
    GetWindowRect(bar, &r);
    const int width = r.right - r.left;
    // A line, then a page: the list scrolls and the bar stays with it.
    click(POINT{r.left + width / 2, r.bottom - width / 2});
    const int afterLine = GetScrollPos(list, SB_VERT);
    EXPECT_EQ(afterLine, 1);
    EXPECT_EQ(form->userNameScrollBar->GetScrollPos(), afterLine);
    click(POINT{r.left + width / 2, r.bottom - width - 3});
    const int afterPage = GetScrollPos(list, SB_VERT);
    EXPECT_GT(afterPage, afterLine + 1);
    EXPECT_EQ(form->userNameScrollBar->GetScrollPos(), afterPage);
    // The light skin: a white track, a grey thumb with white sides.
    testsupport::moveMouseTo(POINT{r.left - 300, r.top + 300});
    pump(150);
    gui::ScrollBarLayout parts = form->userNameScrollBar->Layout();
    testsupport::ScreenCapture picture(r);
    const int middle = (parts.Thumb.top + parts.Thumb.bottom) / 2;
    EXPECT_EQ(
        picture.at(width / 2, parts.TrackAbove.bottom - 1 > parts.TrackAbove.top ? parts.TrackAbove.top + 1
                                                                                 : parts.TrackBelow.top + 1),
        RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(picture.at(width / 2, middle), RGB(0xD7, 0xD6, 0xD4));
    EXPECT_EQ(picture.at(parts.Thumb.left, middle), RGB(0xFF, 0xFF, 0xFF));
    delete form;
}
