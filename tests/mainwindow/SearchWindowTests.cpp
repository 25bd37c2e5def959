// The caption search in the window on alice's photos, read from the window's own state: a filter
// gives every listed photo its position and starts at the top, select all and none reach hidden
// photos too, and the match mode decides between any and all words. What the screen shows of
// typed searches is tested on Pixhaul.exe.
#include "ServiceWindow.h"
#include "common/TextFunctions.h"
#include "gui/Application.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>

using namespace formtest;

namespace {

void pressEnterIn(TForm1* form, const std::wstring& text) {
    form->searchEdit->SetFocus();
    pump(50);
    form->searchEdit->SetText(text);
    testsupport::keyStroke(VK_RETURN, true);
    testsupport::keyStroke(VK_RETURN, false);
}

bool contains(const std::wstring& caption, const std::wstring& word) {
    return toLowerCase(caption).find(word) != std::wstring::npos;
}

}  // namespace

using SearchWindow = ServiceWindow;

TEST_F(SearchWindow, AFilterListsPositionsAndSelectAllReachesHiddenPhotos) {
    load(L"alice", 45);
    pressEnterIn(form(), L"Sun, SEA!");
    ASSERT_TRUE(pumpUntil([this] { return form()->visiblePhotos.size() == 6; }))
        << form()->visiblePhotos.size();
    EXPECT_EQ(form()->contentScrollBox->VertScrollBar()->Position(), 0);
    int previous = -1;
    for (size_t at = 0; at < form()->visiblePhotos.size(); ++at) {
        const Photo* photo = form()->visiblePhotos[at];
        EXPECT_EQ(photo->visibleIndex, static_cast<int>(at));
        EXPECT_GT(photo->index, previous);
        previous = photo->index;
        EXPECT_TRUE(contains(photo->caption, L"sun") || contains(photo->caption, L"sea")) << photo->index;
    }
    for (const Photo* photo : form()->photos)
        if (photo->visibleIndex >= 0)
            EXPECT_EQ(form()->visiblePhotos.at(static_cast<size_t>(photo->visibleIndex)), photo);
    // Select all and none reach the photos the search hides as well as the tiles shown.
    const auto selectedCount = [this] {
        size_t count = 0;
        for (const Photo* photo : form()->photos)
            count += photo->selected ? 1 : 0;
        return count;
    };
    const auto centre = [](gui::TControl* control) {
        return control->ClientToScreen(POINT{control->Width() / 2, control->Height() / 2});
    };
    testsupport::leftClick(centre(form()->selectAllImageButton));
    ASSERT_TRUE(pumpUntil([&] { return selectedCount() == 45; })) << selectedCount();
    for (ThumbnailImage* tile : form()->tilesInUse)
        EXPECT_TRUE(tile->isSelected());
    testsupport::leftClick(centre(form()->unselectAllImageButton));
    ASSERT_TRUE(pumpUntil([&] { return selectedCount() == 0; })) << selectedCount();
    for (ThumbnailImage* tile : form()->tilesInUse)
        EXPECT_FALSE(tile->isSelected());

    pressEnterIn(form(), L"sun mountains");
    ASSERT_TRUE(pumpUntil([this] { return form()->visiblePhotos.size() == 11; }))
        << form()->visiblePhotos.size();
    form()->anyWordCanMatchMenuItem->SetChecked(false);
    form()->allWordsMustMatchMenuItem->SetChecked(true);
    form()->applySearchFilter();
    EXPECT_EQ(form()->visiblePhotos.size(), 0u);
    form()->allWordsMustMatchMenuItem->SetChecked(false);
    form()->anyWordCanMatchMenuItem->SetChecked(true);
}
