// The thumbnail grid and the user-name box in the window, on the fixture site's users: tiles in
// feed order with their marks, the hover and selection looks, the photo at the top of the view
// kept through a resize and a minimise, and the history drop-down driven by the keyboard.
// The fixture site's sockets come before windows.h.
#include "support/FixtureSite.h"

#include "FormTestSupport.h"
#include "common/ServiceHosts.h"
#include "controls/HoverProtocol.h"
#include "gui/Application.h"
#include "gui/HintWindow.h"
#include "mainwindow/Photo.h"
#include "mainwindow/ThumbnailGrid.h"
#include "mainwindow/Thumbnailimage.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

using namespace formtest;

namespace {

// The colour just outside the photo's left edge, d pixels out, on the screen.
COLORREF leftOfPhoto(TForm1* form, const ThumbnailImage* tile, int d) {
    const POINT p =
        form->contentScrollBox->ClientToScreen(POINT{tile->Left() - d, tile->Top() + tile->Height() / 2});
    testsupport::ScreenCapture pixel(RECT{p.x, p.y, p.x + 1, p.y + 1});
    return pixel.at(0, 0);
}

// The first photo whose top is in the view, and that top.
ScrollAnchor topPhoto(TForm1* form) {
    std::vector<TileTop> tops;
    for (ThumbnailImage* tile : form->tilesInUse)
        tops.push_back(TileTop{tile->photo()->visibleIndex, tile->Top()});
    return findScrollAnchor(tops);
}

constexpr COLORREF highlight = 0x4DF3FF;
constexpr COLORREF grey = 0x818187;

TEST(GridWindow, AlicesTilesLooksAndTheTopPhotoThroughResizeAndMinimise) {
    testsupport::FixtureSite& site = serviceSite();
    ASSERT_TRUE(site.running()) << site.failure();
    WorkFolderSetting setting;
    TForm1* form = openForm();
    // The smallest thumbnails: five columns, six once maximised.
    form->thumbnailWidth = form->thumbnailHeight = 150;
    loadTyped(form, L"alice");
    ASSERT_TRUE(pumpUntil([form] { return loaded(form, 45); }, 30000))
        << static_cast<int>(form->loadState) << " " << form->photos.size() << " "
        << form->visiblePhotos.size() << " " << site.requests().size();
    // The pictures are decoded off the GUI thread and arrive after the layout.
    EXPECT_TRUE(pumpUntil(
        [form] {
            return std::all_of(form->tilesInUse.begin(), form->tilesInUse.end(),
                               [](ThumbnailImage* tile) { return tile->photoImage()->hasPicture(); });
        },
        15000));
    pump(200);

    // Feed order, row-major; only the two videos with an address carry the mark.
    const GridMetrics metrics = form->gridMetrics();
    const int columns = gridColumns(metrics, form->contentScrollBox->ClientWidth());
    const int pitch = form->thumbnailWidth + form->gridColumnGap;
    const ThumbnailImage* first = tileAt(form, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_GE(form->tilesInUse.size(), 15u);
    for (ThumbnailImage* tile : form->tilesInUse) {
        const int at = tile->photo()->visibleIndex;
        EXPECT_EQ(tile->photo()->index, at);
        EXPECT_EQ(tile->Left(), first->Left() + at % columns * pitch) << at;
        EXPECT_EQ(tile->Top(), first->Top() + at / columns * pitch) << at;
        // Items count down from 45: items 44 and 30.
        EXPECT_EQ(tile->photoImage()->videoMark(), at == 1 || at == 15) << at;
        EXPECT_TRUE(tile->photoImage()->hasPicture()) << at;
    }
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid.png");

    // Hovered: a 3-pixel border in the highlight colour and the two buttons.
    ThumbnailImage* hovered = tileAt(form, 1);
    testsupport::moveMouseTo(centreOf(form, hovered));
    ASSERT_TRUE(pumpUntil([&] { return hovered->isHovered(); }));
    pump(100);
    EXPECT_TRUE(hovered->openFullSizeButton()->Visible());
    EXPECT_TRUE(hovered->openPageButton()->Visible());
    EXPECT_EQ(leftOfPhoto(form, hovered, 1), highlight);
    EXPECT_EQ(leftOfPhoto(form, hovered, 3), highlight);
    EXPECT_NE(leftOfPhoto(form, hovered, 4), highlight);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid-hovered-tile.png");
    // Its date and caption as the tooltip, after the hint pause.
    const std::wstring tooltip = hovered->photoImage()->tooltipText();
    EXPECT_FALSE(tooltip.empty());
    EXPECT_TRUE(pumpUntil([&] {
        gui::THintWindow* hint = gui::Application->HintWindow();
        return hint && hint->Visible() && hint->Text() == tooltip;
    }));

    // In select mode a click selects; the selected tile keeps its border once the pointer left,
    // the hovered one goes back to one grey pixel.
    form->showFullSizeWhenThumbnailClickingMenuItem->SetChecked(false);
    form->applyClickMode();
    ThumbnailImage* selected = tileAt(form, 2);
    click(centreOf(form, selected));
    EXPECT_TRUE(selected->isSelected());
    EXPECT_EQ(selected->photo()->selected, 1);
    testsupport::moveMouseTo(form->contentScrollBox->ClientToScreen(POINT{5, 5}));
    ASSERT_TRUE(pumpUntil([&] { return !selected->isHovered() && !hovered->isHovered(); }));
    pump(100);
    EXPECT_EQ(leftOfPhoto(form, selected, 3), highlight);
    EXPECT_TRUE(selected->selectionMark()->Visible());
    EXPECT_EQ(leftOfPhoto(form, hovered, 1), grey);
    EXPECT_NE(leftOfPhoto(form, hovered, 2), grey);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid-selected-tile.png");

    // Scrolled into the grid, then maximised: the top photo stays where it was although the
    // columns change.
    SendMessageW(form->contentScrollBox->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    pump(100);
    const ScrollAnchor before = topPhoto(form);
    ASSERT_GT(before.index, 0);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid-anchor-before.png");
    const RECT maximize = controls::getVisibleScreenRect(form->maximizeImageButton);
    click(POINT{(maximize.left + maximize.right) / 2, (maximize.top + maximize.bottom) / 2});
    ASSERT_TRUE(pumpUntil([form] { return form->WindowState() == gui::wsMaximized; }));
    pump(100);
    EXPECT_NE(gridColumns(form->gridMetrics(), form->contentScrollBox->ClientWidth()), columns);
    const ThumbnailImage* anchor = tileAt(form, before.index);
    ASSERT_NE(anchor, nullptr);
    EXPECT_EQ(anchor->Top(), before.offset);
    EXPECT_EQ(topPhoto(form).offset, before.offset);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid-anchor-after-resize.png");

    const ScrollAnchor resized = topPhoto(form);
    ShowWindow(form->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(pumpUntil([form] { return IsIconic(form->Handle()) != FALSE; }));
    pump(100);
    ShowWindow(form->Handle(), SW_RESTORE);
    ASSERT_TRUE(pumpUntil(
        [form] { return !IsIconic(form->Handle()) && form->contentScrollBox->ClientHeight() > 0; }));
    pump(200);
    const ThumbnailImage* restored = tileAt(form, resized.index);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->Top(), resized.offset);
    EXPECT_EQ(form->contentScrollBox->ClientHeight() > 0, true);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"grid-anchor-after-restore.png");

    // Tiles in full view, without marks.
    std::vector<ThumbnailImage*> plain;
    std::copy_if(form->tilesInUse.begin(), form->tilesInUse.end(), std::back_inserter(plain),
                 [](ThumbnailImage* tile) {
                     const RECT r = controls::getVisibleScreenRect(tile->photoImage());
                     return !tile->photoImage()->videoMark() && !tile->isSelected() &&
                            r.right - r.left == tile->photoImage()->Width() &&
                            r.bottom - r.top == tile->photoImage()->Height();
                 });
    ASSERT_GE(plain.size(), 4u);

    // A tile whose thumbnail does not decode paints its own background, not the picture before.
    testsupport::TempFolder scratch;
    const std::wstring junk = scratch.path() + L"junk.jpg";
    ASSERT_TRUE(testsupport::writeFileBytes(junk, "no picture"));
    plain[0]->loadFile(junk);
    pump(200);
    RECT shown = controls::getVisibleScreenRect(plain[0]->photoImage());
    InflateRect(&shown, -4, -4);
    EXPECT_LE(testsupport::ScreenCapture(shown).distinctColours(1), 2);

    // A tile that gets another photo while its last one is decoded shows the new photo's picture,
    // never the one that arrives late: the first decoding is done before the tile asks again.
    ThumbnailImage* recycled = plain[1];
    recycled->loadFile(plain[2]->photo()->thumbnailPath);
    Sleep(500);
    recycled->loadFile(plain[3]->photo()->thumbnailPath);
    ASSERT_TRUE(pumpUntil([&] { return recycled->photoImage()->hasPicture(); }, 15000));
    form->contentScrollBox->Update();
    EXPECT_TRUE(
        testsupport::ScreenCapture(controls::getVisibleScreenRect(recycled->photoImage()))
            .samePixels(testsupport::ScreenCapture(controls::getVisibleScreenRect(plain[3]->photoImage()))));
    delete form;
}

TEST(HistoryWindow, APrefixWithDownAndEnterARowClickedAndAPastedLinkLoadTheirUsers) {
    testsupport::FixtureSite& site = serviceSite();
    ASSERT_TRUE(site.running()) << site.failure();
    WorkFolderSetting setting;
    TForm1* form = openForm();
    for (const wchar_t* name : {L"alice", L"bob", L"carol", L"dave", L"erin", L"frank", L"grace", L"heidi",
                                L"ivan", L"judy", L"mallory", L"oscar"})
        EXPECT_TRUE(form->addUserNameToHistory(name));
    EXPECT_FALSE(form->addUserNameToHistory(L"Bob"));

    // The arrow opens eight rows with the list's bar.
    const RECT arrow = controls::getVisibleScreenRect(form->userNameArrowDownImageButton);
    click(POINT{(arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2});
    ASSERT_TRUE(pumpUntil([form] { return form->userNameListBoxPanel->Visible(); }));
    pump(100);
    EXPECT_EQ(form->userNameListBoxPanel->Height(), 8 * 15 + 2);
    EXPECT_TRUE(IsWindowVisible(form->userNameScrollBarWindow));
    EXPECT_EQ(form->userNameListBox->ItemIndex(), -1);
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"history-drop-down.png");
    testsupport::keyStroke(VK_ESCAPE, true);
    testsupport::keyStroke(VK_ESCAPE, false);
    ASSERT_TRUE(pumpUntil([form] { return !form->userNameListBoxPanel->Visible(); }));

    // "bo": bob on top, nothing selected; Down selects it; Enter loads it.
    form->userNameEdit->SetFocus();
    form->userNameEdit->SetText(L"");
    for (WORD key : {WORD('B'), WORD('O')}) {
        testsupport::keyStroke(key, true);
        testsupport::keyStroke(key, false);
    }
    ASSERT_TRUE(pumpUntil([form] { return form->userNameListBoxPanel->Visible(); }));
    pump(50);
    EXPECT_EQ(form->userNameListBox->TopIndex(), 1);
    EXPECT_EQ(form->userNameListBox->ItemIndex(), -1);
    testsupport::keyStroke(VK_DOWN, true);
    testsupport::keyStroke(VK_DOWN, false);
    ASSERT_TRUE(pumpUntil([form] { return form->userNameListBox->ItemIndex() == 1; }));
    EXPECT_EQ(form->userNameEdit->Text(), L"bob");
    testsupport::keyStroke(VK_RETURN, true);
    testsupport::keyStroke(VK_RETURN, false);
    ASSERT_TRUE(pumpUntil([form] { return form->currentUserName == L"bob"; }));
    EXPECT_FALSE(form->userNameListBoxPanel->Visible());
    EXPECT_EQ(mouseHookHandle, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return site.countRequests("GET /bob") > 0; }, 10000));

    // A row clicked in the drop-down loads its name.
    click(POINT{(arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2});
    ASSERT_TRUE(pumpUntil([form] { return form->userNameListBoxPanel->Visible(); }));
    // The second row in view (the arrow puts the row matching the box's text on top).
    const int row = form->userNameListBox->TopIndex() + 1;
    const std::wstring name = form->userNameListBox->Items()->Strings(row).substr(1);
    const POINT point = form->userNameListBox->ClientToScreen(POINT{30, 15 + 7});
    testsupport::moveMouseTo(POINT{point.x, point.y - 4});
    click(point);
    ASSERT_TRUE(pumpUntil([&] { return form->currentUserName == name; }));
    EXPECT_FALSE(form->userNameListBoxPanel->Visible());
    EXPECT_EQ(mouseHookHandle, nullptr);

    // A profile link pasted over the name loads the user it ends in.
    const std::wstring link = L"http://" + site.serviceHost() + L"/Alice/";
    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, (link.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(text), link.c_str(), (link.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(text);
    SetClipboardData(CF_UNICODETEXT, text);
    CloseClipboard();
    const RECT edit = controls::getVisibleScreenRect(form->userNameEdit);
    click(POINT{(edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2});
    ASSERT_TRUE(pumpUntil([form] { return form->userNameEdit->Focused(); }));
    form->userNameEdit->SelectAll();
    testsupport::keyStroke(VK_CONTROL, true);
    testsupport::keyStroke('V', true);
    testsupport::keyStroke('V', false);
    testsupport::keyStroke(VK_CONTROL, false);
    ASSERT_TRUE(pumpUntil([&] { return form->userNameEdit->Text() == link; }));
    testsupport::keyStroke(VK_RETURN, true);
    testsupport::keyStroke(VK_RETURN, false);
    EXPECT_TRUE(pumpUntil([form] { return form->currentUserName == L"alice"; }));
    EXPECT_TRUE(pumpUntil([&] { return site.countRequests("GET /alice") > 0; }, 10000));
    delete form;
}

}  // namespace
