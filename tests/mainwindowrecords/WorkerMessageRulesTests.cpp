#include <gtest/gtest.h>

#include <functional>

#include "mainwindow/WorkerMessageRules.h"

namespace {

ULONGLONG ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

struct FakeMenuItem {
    UINT command;
    std::function<void(FakeMenuItem*)> OnClick;
    UINT Command() const { return command; }
};

}  // namespace

TEST(WorkerMessageRules, PageRequests) {
    // The same suffix twice in a row counts one repeat; another suffix starts again at 0.
    int count = nextPageRepeatCount(L"/media", L"", 0);
    EXPECT_EQ(count, 0);
    count = nextPageRepeatCount(L"/media?max_id=5", L"/media?max_id=5", count);
    count = nextPageRepeatCount(L"/media?max_id=5", L"/media?max_id=5", count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(nextPageRepeatCount(L"/media?max_id=6", L"/media?max_id=5", count), 0);
    EXPECT_EQ(feedPageUrl(L"127.0.0.1:8080", L"alice", L"/media?max_id=9_1"),
              L"http://127.0.0.1:8080/alice/media?max_id=9_1");
}

TEST(WorkerMessageRules, ItemTimesStepBackThreeSecondsWithABorrow) {
    const FILETIME first = currentItemTime();
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_LE(ticks(now) - ticks(first), 10000000ull * 5);

    const FILETIME nearBorrow{0x10, 7};
    const FILETIME second = itemTimeAfter(nearBorrow);
    EXPECT_EQ(second.dwHighDateTime, 6u);
    EXPECT_EQ(ticks(second), ticks(nearBorrow) - 30000000ull);
    EXPECT_EQ(ticks(itemTimeAfter(second)), ticks(nearBorrow) - 60000000ull);
    EXPECT_EQ(ticks(itemTimeAfter(FILETIME{5, 0})), 0u);
}

TEST(WorkerMessageRules, FeedEndOutcomes) {
    EXPECT_EQ(feedEndMessage(0, -1, 0, L"bob"), L"Instagram user \"bob\" doesn't have public photos.");
    EXPECT_EQ(feedEndMessage(45, -1, 20, L"bob"),
              L"There are some temporary server issues. Please try again.");
    EXPECT_EQ(feedEndMessage(45, 0, 45, L"bob"), L"");
    EXPECT_EQ(feedEndMessage(45, 0, 46, L"bob"), L"");
    EXPECT_EQ(feedEndMessage(45, 0, 44, L"bob"), L"1 photo cannot be downloaded. Please try again.");
    EXPECT_EQ(feedEndMessage(45, 0, 40, L"bob"), L"5 photos cannot be downloaded. Please try again.");
    // No usable count: nothing is said about missing items (never "-11 photos ...").
    EXPECT_EQ(feedEndMessage(-1, 0, 10, L"bob"), L"");
}

TEST(WorkerMessageRules, ProgressIsShownAfterMovingMoreThanAHundredth) {
    double progress = 0, shown = 0;
    int redraws = 0;
    for (int record = 0; record < 30; ++record) {
        progress += 0.004;
        if (progressWorthShowing(progress, shown)) {
            shown = progress;
            ++redraws;
        }
    }
    EXPECT_EQ(redraws, 10);  // every third record
}

TEST(WorkerMessageRules, FileNamesComeFromTheVideoElseTheFullSizeAddress) {
    EXPECT_EQ(itemFileName(L"http://v/a/Clip.MP4", L"http://i/a/Pic.jpg", L"1"), L"clip.mp4");
    EXPECT_EQ(itemFileName(L"", L"http://i/a/Pic.jpg?x=1", L"1"), L"pic.jpg");
    EXPECT_EQ(itemFileName(L"", L"NoSlash.JPG", L"1"), L"noslash.jpg");
    EXPECT_EQ(itemFileName(L"", L"http://i/", L"17_3"), L"17_3");
}

TEST(WorkerMessageRules, MenuCommandsFallThroughItemsWithoutAHandler) {
    std::vector<int> clicked;
    FakeMenuItem withoutHandler{7, nullptr};
    FakeMenuItem first{7, [&](FakeMenuItem*) { clicked.push_back(1); }};
    FakeMenuItem second{7, [&](FakeMenuItem*) { clicked.push_back(2); }};
    FakeMenuItem other{8, [&](FakeMenuItem*) { clicked.push_back(3); }};
    std::vector<FakeMenuItem*> items{nullptr, &withoutHandler, &other, &first, &second};
    EXPECT_EQ(menuCommandTarget(items, 7), &first);
    EXPECT_EQ(menuCommandTarget(items, 8), &other);
    EXPECT_EQ(menuCommandTarget(items, 9), nullptr);
}
