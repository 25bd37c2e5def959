#include <gtest/gtest.h>

#include <set>

#include "gui/Timer.h"
#include "mainwindow/Photo.h"

namespace {

std::vector<gui::TPxhl*> released;

void recordRelease(gui::TPxhl* downloader) {
    released.push_back(downloader);
}

Photo* makePhoto(int index) {
    return new Photo(L"l", L"s", L"", L"d", L"c", L"k", L"id", index, recordRelease);
}

}  // namespace

TEST(Photo, GivesItsControlBackOnceAndItsTimerGoesFirst) {
    released.clear();
    int token = 0;
    gui::TPxhl* control = reinterpret_cast<gui::TPxhl*>(&token);
    Photo* photo = makePhoto(3);
    EXPECT_EQ(photo->index, 3);
    EXPECT_EQ(photo->thumbnailFileId, -1);
    EXPECT_EQ(photo->visibleIndex, -1);
    photo->fullSizeDownloader = control;
    photo->fullSizeRetryTimer.reset(new gui::TTimer(nullptr));
    photo->fullSizeRetryTimer->SetInterval(10);
    photo->fullSizeRetryTimer->SetOnTimer([](gui::TObject*) {});
    // The give-up path of the full-size view frees the timer and the control early.
    photo->deleteFullSizeRetryTimer();
    photo->releaseFullSizeDownloader();
    photo->deleteFullSizeRetryTimer();
    EXPECT_EQ(released, std::vector<gui::TPxhl*>{control});
    delete photo;
    EXPECT_EQ(released.size(), 1u);

    Photo* holder = makePhoto(0);
    holder->fullSizeDownloader = control;
    std::vector<Photo*> photos{holder, nullptr, makePhoto(2)};
    clearPhotos(photos);
    EXPECT_TRUE(photos.empty());
    EXPECT_EQ(released.size(), 2u);
}

TEST(Photo, GuidFileNamesAreUniqueLowerCaseHex) {
    std::set<std::wstring> names;
    for (int i = 0; i < 1000; ++i) {
        const std::wstring name = makeGuidFileName();
        ASSERT_EQ(name.size(), 32u);
        ASSERT_EQ(name.find_first_not_of(L"0123456789abcdef"), std::wstring::npos) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 1000u);
}
