// The caption search in the window on alice's photos: Enter in the box filters the grid in feed
// order, select all and none reach hidden photos too, the match mode decides between any and all
// words, blanks clear a filter, and the grey hint comes back when the box is left empty.
// The fixture site's sockets come before windows.h.
#include "support/FixtureSite.h"

#include "FormTestSupport.h"
#include "common/ServiceHosts.h"
#include "common/TextFunctions.h"
#include "gui/Application.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
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

TEST(SearchWindow, EnteredWordsFilterAlicesGridInFeedOrderAndBlanksClearIt) {
    testsupport::FixtureSite site;
    ASSERT_TRUE(site.running()) << site.failure();
    SetEnvironmentVariableW(kServiceHostVariable, site.serviceHost().c_str());
    SetEnvironmentVariableW(kMakerHostVariable, site.makerHost().c_str());
    std::wstring message;
    ASSERT_TRUE(loadServiceHosts(message)) << message;
    WorkFolderSetting setting;
    TForm1* form = openForm();
    form->userNameEdit->SetText(L"alice");
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    form->loadUser();
    ASSERT_TRUE(pumpUntil(
        [form] { return !form->pageLoading && !form->thumbnailsLoading && form->visiblePhotos.size() == 45; },
        30000));

    // Enter on the empty box without a filter keeps the grid where it is.
    form->contentScrollBox->VertScrollBar()->SetPosition(300);
    const int scrolled = form->contentScrollBox->VertScrollBar()->Position();
    ASSERT_GT(scrolled, 0);
    pressEnterIn(form, L"   ");
    pump(200);
    EXPECT_EQ(form->visiblePhotos.size(), 45u);
    EXPECT_EQ(form->contentScrollBox->VertScrollBar()->Position(), scrolled);

    pressEnterIn(form, L"Sun, SEA!");
    ASSERT_TRUE(pumpUntil([form] { return form->visiblePhotos.size() == 6; })) << form->visiblePhotos.size();
    EXPECT_EQ(form->contentScrollBox->VertScrollBar()->Position(), 0);
    int previous = -1;
    for (size_t at = 0; at < form->visiblePhotos.size(); ++at) {
        const Photo* photo = form->visiblePhotos[at];
        EXPECT_EQ(photo->visibleIndex, static_cast<int>(at));
        EXPECT_GT(photo->index, previous);
        previous = photo->index;
        EXPECT_TRUE(contains(photo->caption, L"sun") || contains(photo->caption, L"sea")) << photo->index;
    }
    for (const Photo* photo : form->photos)
        if (photo->visibleIndex >= 0)
            EXPECT_EQ(form->visiblePhotos.at(static_cast<size_t>(photo->visibleIndex)), photo);
    // The box shows the words as searched, in the typing colour.
    EXPECT_EQ(form->searchEdit->Text(), L"Sun, SEA!");
    testsupport::ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"search.png");

    // Select all and none reach the photos the search hides as well as the tiles shown.
    const auto selectedCount = [form] {
        size_t count = 0;
        for (const Photo* photo : form->photos)
            count += photo->selected ? 1 : 0;
        return count;
    };
    const auto centre = [](gui::TControl* control) {
        return control->ClientToScreen(POINT{control->Width() / 2, control->Height() / 2});
    };
    testsupport::leftClick(centre(form->selectAllImageButton));
    ASSERT_TRUE(pumpUntil([&] { return selectedCount() == 45; })) << selectedCount();
    for (ThumbnailImage* tile : form->tilesInUse)
        EXPECT_TRUE(tile->isSelected());
    testsupport::leftClick(centre(form->unselectAllImageButton));
    ASSERT_TRUE(pumpUntil([&] { return selectedCount() == 0; })) << selectedCount();
    for (ThumbnailImage* tile : form->tilesInUse)
        EXPECT_FALSE(tile->isSelected());

    pressEnterIn(form, L"sun mountains");
    ASSERT_TRUE(pumpUntil([form] { return form->visiblePhotos.size() == 11; })) << form->visiblePhotos.size();
    form->anyWordCanMatchMenuItem->SetChecked(false);
    form->allWordsMustMatchMenuItem->SetChecked(true);
    form->applySearchFilter();
    EXPECT_EQ(form->visiblePhotos.size(), 0u);
    form->allWordsMustMatchMenuItem->SetChecked(false);
    form->anyWordCanMatchMenuItem->SetChecked(true);

    pressEnterIn(form, L"CAF\u00C9");
    ASSERT_TRUE(pumpUntil([form] { return form->visiblePhotos.size() == 6; })) << form->visiblePhotos.size();
    pressEnterIn(form, L"cafe");
    ASSERT_TRUE(pumpUntil([form] { return form->visiblePhotos.empty(); })) << form->visiblePhotos.size();

    // Blanks clear the filter; the box shows the grey hint again.
    pressEnterIn(form, L" \t ");
    ASSERT_TRUE(pumpUntil([form] { return form->visiblePhotos.size() == 45; })) << form->visiblePhotos.size();
    EXPECT_EQ(form->searchEdit->Text(), L"Search...");
    EXPECT_EQ(form->searchEdit->Font()->Color(), static_cast<gui::TColor>(0x7C7C82));
    delete form;
}
