#include "mainwindow/HistoryNavigation.h"
#include "mainwindow/TileGeometry.h"
#include "mainwindow/UserNameRules.h"

#include <gtest/gtest.h>

namespace {

TEST(UserNameRules, TypedNamesAndPastedLinks) {
    EXPECT_EQ(L"alice", extractUserName(L"  Alice "));
    EXPECT_EQ(L"alice", extractUserName(L"http://127.0.0.1:18080/Alice/"));
    EXPECT_EQ(L"bob", extractUserName(L"http://127.0.0.1:18080/Bob//"));
    // Links shared from phones carry a query or a fragment, which belong to no name.
    for (const wchar_t* link : {L"http://host/alice/?hl=en", L"http://host/Alice?igsh=abc", L"host/alice#top",
                                L"host/alice/#a/b?c/"})
        EXPECT_EQ(L"alice", extractUserName(link)) << link;
    EXPECT_EQ(L"alice", extractUserName(L"host/ al\tice \u3000/"));
    EXPECT_EQ(L"", extractUserName(L"///"));
    EXPECT_EQ(L"", extractUserName(L" / "));
}

TEST(HistoryNavigation, PrefixAndKeys) {
    const std::vector<std::wstring> names = {L"alice", L"bob", L"bobby", L"carol"};
    EXPECT_EQ(1, findUserNamePrefix(names, L"BO"));
    EXPECT_EQ(-1, findUserNamePrefix(names, L""));

    int pending = 1;
    EXPECT_EQ(1, moveHistorySelection(VK_DOWN, -1, pending, 12, 7));  // the match, then onwards
    EXPECT_EQ(-1, pending);
    EXPECT_EQ(2, moveHistorySelection(VK_DOWN, 1, pending, 12, 7));
    EXPECT_EQ(0, moveHistorySelection(VK_UP, -1, pending, 12, 7));
    EXPECT_EQ(7, moveHistorySelection(VK_NEXT, -1, pending, 12, 7));
    EXPECT_EQ(11, moveHistorySelection(VK_NEXT, 6, pending, 12, 7));
    EXPECT_EQ(2, moveHistorySelection(VK_PRIOR, 9, pending, 12, 7));
    pending = 4;
    EXPECT_EQ(4, moveHistorySelection(VK_UP, 9, pending, 12, 7));
    pending = 0;
    EXPECT_EQ(-1, moveHistorySelection(VK_DOWN, -1, pending, 0, 7));

    EXPECT_EQ(1, historyDropDownRows(0, 8));
    EXPECT_EQ(3, historyDropDownRows(3, 8));
    EXPECT_EQ(8, historyDropDownRows(12, 8));
    EXPECT_TRUE(keyUpLooksUpPrefix('B', false));
    EXPECT_TRUE(keyUpLooksUpPrefix('V', true));
    EXPECT_FALSE(keyUpLooksUpPrefix('C', true));
    EXPECT_FALSE(keyUpLooksUpPrefix(VK_DOWN, false));
}

TEST(TileGeometry, PartsMarkAndTooltip) {
    EXPECT_EQ(3, tileBorder(true, false).width);
    EXPECT_EQ(0x4DF3FFu, tileBorder(false, true).colour);

    const auto parts = placeTileParts({100, 50, 150, 150}, 3, {{24, 24}, {24, 24}, {30, 30}});
    EXPECT_EQ(128, parts[shadowBottom].width);
    EXPECT_EQ(156, parts[borderRight].height);
    EXPECT_EQ(229, parts[openPageButton].left);
    EXPECT_EQ(170, parts[selectionMark].top);

    const TileBounds small = videoMarkBounds(150, 150);
    EXPECT_EQ(57, small.left);
    EXPECT_EQ(35, small.width);
    const TileBounds large = videoMarkBounds(306, 306);
    EXPECT_EQ(117, large.top);
    EXPECT_EQ(72, large.height);

    EXPECT_EQ(L"March 5, 2014 - sea", tileTooltipText(L"March 5, 2014", L"sea"));
    EXPECT_EQ(L"sea", tileTooltipText(L"", L"sea"));
    EXPECT_EQ(L"", tileTooltipText(L"", L""));
}

}  // namespace
