#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "mainwindow/Photo.h"
#include "mainwindow/WorkerMessageRules.h"

TEST(WorkerMessageRules, FeedEndOutcomesAndItemTimeBorrow) {
    EXPECT_EQ(feedEndMessage(0, -1, 0, L"bob"), L"Instagram user \"bob\" doesn't have public photos.");
    EXPECT_EQ(feedEndMessage(45, -1, 20, L"bob"),
              L"There are some temporary server issues. Please try again.");
    EXPECT_EQ(feedEndMessage(45, 0, 45, L"bob"), L"");
    EXPECT_EQ(feedEndMessage(45, 0, 44, L"bob"), L"1 photo cannot be downloaded. Please try again.");
    EXPECT_EQ(feedEndMessage(45, 0, 40, L"bob"), L"5 photos cannot be downloaded. Please try again.");
    EXPECT_EQ(feedEndMessage(-1, 0, 10, L"bob"), L"");  // no usable count: never "-11 photos ..."

    const FILETIME next = itemTimeAfter(FILETIME{0x10, 7});
    EXPECT_EQ(next.dwHighDateTime, 6u);
    EXPECT_EQ(next.dwLowDateTime, 0x10u - 30000000u);
}

TEST(WorkerMessageRules, MenuCommandsPassOverItemsWithoutAHandler) {
    struct Item {
        UINT command;
        std::function<void(Item*)> OnClick;
        UINT Command() const { return command; }
    };
    auto click = [](Item*) {};
    Item withoutHandler{7, nullptr}, first{7, click}, second{7, click}, other{8, click};
    const std::vector<Item*> items{nullptr, &withoutHandler, &other, &first, &second};
    EXPECT_EQ(menuCommandTarget(items, 7), &first);
    EXPECT_EQ(menuCommandTarget(items, 9), nullptr);
}

TEST(WorkerMessageRules, WorkFileNamesAreUniqueLowerCaseHex) {
    std::set<std::wstring> names;
    for (int i = 0; i < 1000; ++i)
        names.insert(makeGuidFileName());
    EXPECT_EQ(names.size(), 1000u);
    EXPECT_EQ(names.begin()->size(), 32u);
    EXPECT_EQ(names.begin()->find_first_not_of(L"0123456789abcdef"), std::wstring::npos);
}
