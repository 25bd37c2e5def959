// The profile and feed page scans on small hand-made pages: the edge cases of the service's
// formats and the guards against hostile or broken pages. Dates are those of TZ=UTC.
#include "feed/FeedPageScan.h"
#include "feed/FeedPageWorker.h"
#include "feed/Parser.h"

#include <gtest/gtest.h>

namespace {

class FeedPageScanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initScriptTokenTables(); }

    static std::wstring profile(const std::wstring& counts) {
        return L"<html><script>{\"user\":{\"can_delete_comments\":false,\"counts\":{" + counts +
               L"}},\"x\":1}</script></html>";
    }

    static std::wstring item(const std::wstring& fields) { return L"{" + fields + L"}"; }

    static std::wstring images(const std::wstring& name) {
        return L"\"images\":{\"low_resolution\":{\"url\":\"http://i/l/" + name +
               L".jpg\"},\"standard_resolution\":{\"url\":\"http://i/s/" + name + L".jpg\"}}";
    }

    static std::wstring page(const std::wstring& items, const std::wstring& more) {
        return L"{\"status\":\"ok\",\"items\":[" + items + L"],\"more_available\":" + more + L"}";
    }
};

TEST_F(FeedPageScanTest, ProfileCountIsReadFromTheLastCountsObject) {
    const ProfilePageScan scan = scanProfilePage(L"{\"viewer\":{\"counts\":{\"media\":999,\"x\":0}}}" +
                                                 profile(L"\"media\": 45 ,\"follows\":3"));
    EXPECT_TRUE(scan.hasCount);
    EXPECT_EQ(scan.mediaCount, 45);
    EXPECT_EQ(scan.nextSuffix, L"/media");
}

TEST_F(FeedPageScanTest, ProfileCountThatIsNotAWholeNumberIsMinusOne) {
    for (const wchar_t* count : {L"abc", L"4.5", L"\"12\"", L"7}"}) {
        const ProfilePageScan scan =
            scanProfilePage(profile(L"\"media\":" + std::wstring(count) + L",\"f\":1"));
        EXPECT_TRUE(scan.hasCount) << count;
        EXPECT_EQ(scan.mediaCount, -1) << count;
        EXPECT_EQ(scan.nextSuffix, L"/media") << count;
    }
}

TEST_F(FeedPageScanTest, ProfileWithoutTheMarkersHasNoCount) {
    const std::wstring withoutMarker = L"{\"user\":{\"counts\":{\"media\":4,\"f\":1}}}";
    const std::wstring withoutCounts = L"{\"user\":{\"can_delete_comments\":false}}";
    const std::wstring withoutComma = L"{\"can_delete_comments\":false,\"counts\":{\"media\":4}}";
    const std::wstring mediaBeforeCounts =
        L"{\"media\":4,\"can_delete_comments\":false,\"counts\":{\"f\":1}}";
    for (const std::wstring& text :
         {withoutMarker, withoutCounts, withoutComma, mediaBeforeCounts, std::wstring()}) {
        const ProfilePageScan scan = scanProfilePage(text);
        EXPECT_FALSE(scan.hasCount) << text;
        EXPECT_EQ(scan.nextSuffix, L"") << text;
    }
}

TEST_F(FeedPageScanTest, LastFeedPagePostsItsItemsAndNamesNoNextPage) {
    const FeedPageScan scan = scanFeedPage(
        page(item(L"\"id\":\"2\"," + images(L"2")) + L"," + item(L"\"id\":\"1\"," + images(L"1")), L"false"),
        9);
    EXPECT_TRUE(scan.valid);
    EXPECT_FALSE(scan.moreAvailable);
    ASSERT_EQ(scan.photos.size(), 2u);
    EXPECT_EQ(scan.photos[0]->id, L"2");
    EXPECT_EQ(scan.photos[1]->standardResolutionUrl, L"http://i/s/1.jpg");
    EXPECT_EQ(scan.photos[1]->generation, 9);
    EXPECT_EQ(scan.nextSuffix, L"");
}

TEST_F(FeedPageScanTest, NextPageIsNamedByTheLastItemEvenWhenItIsSkipped) {
    const FeedPageScan scan = scanFeedPage(
        page(item(L"\"id\":\"2\"," + images(L"2")) + L"," + item(L"\"id\":\"1\",\"link\":\"x\""), L"true"),
        1);
    ASSERT_EQ(scan.photos.size(), 1u);
    EXPECT_EQ(scan.nextSuffix, L"/media?max_id=1");
}

TEST_F(FeedPageScanTest, MoreAvailableWithoutAnIdOnTheLastItemEndsTheFeed) {
    const FeedPageScan scan =
        scanFeedPage(page(item(L"\"id\":\"2\"," + images(L"2")) + L"," + item(images(L"1")), L"true"), 1);
    EXPECT_EQ(scan.photos.size(), 2u);
    EXPECT_TRUE(scan.moreAvailable);
    EXPECT_EQ(scan.nextSuffix, L"");
    EXPECT_TRUE(isUsableFeedPage(scan, L"/media"));
    EXPECT_EQ(decidePageOutcome(scan.nextSuffix, false, L"/media", 0).code, 0);
}

TEST_F(FeedPageScanTest, MoreAvailableOtherThanExactlyTrueNamesNoNextPage) {
    for (const wchar_t* more : {L"True", L"1", L"\"true\""}) {
        const FeedPageScan scan = scanFeedPage(page(item(L"\"id\":\"5\"," + images(L"5")), more), 1);
        EXPECT_EQ(scan.nextSuffix, L"") << more;
        EXPECT_FALSE(scan.valid) << more;  // the page has neither marker
    }
}

TEST_F(FeedPageScanTest, PageWithoutTheMarkerIsInvalidAndYieldsNothing) {
    for (const wchar_t* text :
         {L"{\"status\":\"fail\",\"message\":\"rate limited\"}", L"<html><body>502 Bad Gateway</body></html>",
          L"{\"items\":[{\"id\":\"1\",\"images\":{\"low_resolution\":{\"url\":\"a\"}"}) {
        const FeedPageScan scan = scanFeedPage(text, 1);
        EXPECT_FALSE(scan.valid);
        EXPECT_TRUE(scan.photos.empty());
        EXPECT_FALSE(isUsableFeedPage(scan, L"/media"));
    }
}

TEST_F(FeedPageScanTest, ItemFieldsAreTrimmedAndVideoAddressNeedsTheVideoType) {
    const std::wstring video = item(
        L"\"id\":\" 7 \",\"type\":\"video\",\"link\":\"\\thttp://p/7 \",\"caption\":{\"text\":\"  hi\\n\"},"
        L"\"alt_media_url\":\" http://v/7.mp4 \"," +
        images(L"7"));
    const std::wstring videoWithoutAddress = item(L"\"id\":\"6\",\"type\":\"video\"," + images(L"6"));
    const std::wstring photoWithAddress =
        item(L"\"id\":\"5\",\"type\":\"image\",\"alt_media_url\":\"http://v/5.mp4\"," + images(L"5"));
    const FeedPageScan scan =
        scanFeedPage(page(video + L"," + videoWithoutAddress + L"," + photoWithAddress, L"false"), 1);
    ASSERT_EQ(scan.photos.size(), 3u);
    EXPECT_EQ(scan.photos[0]->id, L"7");
    EXPECT_EQ(scan.photos[0]->link, L"http://p/7");
    EXPECT_EQ(scan.photos[0]->captionText, L"hi");
    EXPECT_EQ(scan.photos[0]->videoUrl, L"http://v/7.mp4");
    EXPECT_EQ(scan.photos[1]->videoUrl, L"");
    EXPECT_EQ(scan.photos[2]->videoUrl, L"");
}

TEST_F(FeedPageScanTest, ItemsLackingAnImageAddressAreSkipped) {
    const std::wstring lowOnly =
        item(L"\"id\":\"3\",\"images\":{\"low_resolution\":{\"url\":\"http://i/l/3.jpg\"}}");
    const std::wstring standardOnly =
        item(L"\"id\":\"2\",\"images\":{\"standard_resolution\":{\"url\":\"http://i/s/2.jpg\"}}");
    const FeedPageScan scan = scanFeedPage(
        page(lowOnly + L"," + standardOnly + L"," + item(L"\"id\":\"1\"," + images(L"1")), L"false"), 1);
    ASSERT_EQ(scan.photos.size(), 1u);
    EXPECT_EQ(scan.photos[0]->id, L"1");
}

TEST_F(FeedPageScanTest, AnItemDoesNotInheritTheFieldsOfThePreviousOne) {
    const std::wstring first = item(
        L"\"id\":\"2\",\"type\":\"video\",\"alt_media_url\":\"http://v/2\","
        L"\"created_time\":\"1394000000\",\"caption\":{\"text\":\"two\"},"
        L"\"link\":\"http://p/2\"," +
        images(L"2"));
    const std::wstring second = item(L"\"id\":\"1\"," + images(L"1"));
    const FeedPageScan scan = scanFeedPage(page(first + L"," + second, L"false"), 1);
    ASSERT_EQ(scan.photos.size(), 2u);
    EXPECT_EQ(scan.photos[0]->dateText, L"March 5, 2014");
    EXPECT_EQ(scan.photos[1]->videoUrl, L"");
    EXPECT_EQ(scan.photos[1]->dateText, L"");
    EXPECT_EQ(scan.photos[1]->captionText, L"");
    EXPECT_EQ(scan.photos[1]->link, L"");
}

TEST_F(FeedPageScanTest, EmptyValueNeverReplacesAStoredOne) {
    const FeedPageScan scan = scanFeedPage(
        page(
            item(L"\"id\":\"1\",\"link\":\"http://p/1\",\"link\":\"\",\"created_time\":\"\"," + images(L"1")),
            L"false"),
        1);
    ASSERT_EQ(scan.photos.size(), 1u);
    EXPECT_EQ(scan.photos[0]->link, L"http://p/1");
    EXPECT_EQ(scan.photos[0]->dateText, L"");
}

TEST_F(FeedPageScanTest, CaptionEscapesAndSurrogatePairsAreResolved) {
    const FeedPageScan scan = scanFeedPage(
        page(
            item(
                L"\"id\":\"1\",\"caption\":{\"text\":\"Caf\\u00e9 \\ud83c\\udf05 \\\"q\\\" a\\\\b c\\/d\"}," +
                images(L"1")),
            L"false"),
        1);
    ASSERT_EQ(scan.photos.size(), 1u);
    EXPECT_EQ(scan.photos[0]->captionText, L"Caf\u00e9 \U0001F305 \"q\" a\\b c/d");
}

TEST_F(FeedPageScanTest, HostileIdIsPercentEncodedInTheNextSuffix) {
    const FeedPageScan scan =
        scanFeedPage(page(item(L"\"id\":\"1 2#&x\\r\\nHost: evil\\u00e9\"," + images(L"1")), L"true"), 1);
    EXPECT_EQ(scan.nextSuffix, L"/media?max_id=1%202%23%26x%0D%0AHost%3A%20evil%C3%A9");
    EXPECT_EQ(percentEncodeQueryValue(L"AZaz09-_.~"), L"AZaz09-_.~");
    EXPECT_EQ(percentEncodeQueryValue(L"%/?\U0001F305"), L"%25%2F%3F%F0%9F%8C%85");
}

TEST_F(FeedPageScanTest, OnlyAPageThatNamesItselfAgainLoops) {
    const std::wstring one = item(L"\"id\":\"1\"," + images(L"1"));
    const FeedPageScan repeating = scanFeedPage(page(one, L"true"), 1);
    EXPECT_FALSE(isUsableFeedPage(repeating, L"/media?max_id=1"));
    EXPECT_TRUE(isUsableFeedPage(repeating, L"/media?max_id=2"));

    // More to come but no item with its addresses: the feed goes on from the last item's id, or
    // ends when no item has one.
    const FeedPageScan promising = scanFeedPage(page(item(L"\"id\":\"1\""), L"true"), 1);
    EXPECT_TRUE(promising.photos.empty());
    EXPECT_TRUE(isUsableFeedPage(promising, L"/media"));
    EXPECT_EQ(promising.nextSuffix, L"/media?max_id=1");
    const FeedPageScan bare = scanFeedPage(L"{\"items\":[],\"more_available\":true}", 1);
    EXPECT_TRUE(isUsableFeedPage(bare, L"/media"));
    EXPECT_EQ(bare.nextSuffix, L"");

    // An empty last page is the ordinary end of a feed.
    const FeedPageScan empty = scanFeedPage(L"{\"status\":\"ok\",\"items\":[],\"more_available\":false}", 1);
    EXPECT_TRUE(isUsableFeedPage(empty, L"/media?max_id=1"));
    EXPECT_EQ(empty.nextSuffix, L"");
}

TEST_F(FeedPageScanTest, PageNestedBeyondTheBoundIsInvalid) {
    std::wstring nested;
    for (size_t level = 0; level < 300; ++level)
        nested += L"{\"a\":";
    const FeedPageScan scan =
        scanFeedPage(page(item(L"\"id\":\"1\"," + images(L"1")) + L"," + nested, L"true"), 1);
    EXPECT_FALSE(scan.valid);
    EXPECT_TRUE(scan.photos.empty());
}

TEST(FeedDateText, ConvertsSecondsSince1970) {
    EXPECT_EQ(feedDateText(L"1394000000"), L"March 5, 2014");
    EXPECT_EQ(feedDateText(L" \t+1394000000 seconds"), L"March 5, 2014");
    EXPECT_EQ(feedDateText(L"0"), L"January 1, 1970");
    EXPECT_EQ(feedDateText(L"no digits"), L"January 1, 1970");
    EXPECT_EQ(feedDateText(L"951782400"), L"February 29, 2000");
    EXPECT_EQ(feedDateText(L"-86400"), L"December 31, 1969");
}

TEST(FeedDateText, ValuesOutsideTheFileTimeRangeGiveNoDate) {
    EXPECT_EQ(feedDateText(L"-11644473601"), L"");             // before 1601
    EXPECT_EQ(feedDateText(L"910692730086"), L"");             // past the last file time
    EXPECT_EQ(feedDateText(L"99999999999999999"), L"");        // seconds x 10^7 overflows
    EXPECT_EQ(feedDateText(L"99999999999999999999999"), L"");  // beyond 64 bits
    EXPECT_EQ(feedDateText(L"-99999999999999999999999"), L"");
}

TEST(FeedPageOutcome, FollowsTheNextSuffixOrEndsOrRepeats) {
    PageOutcome next = decidePageOutcome(L"/media?max_id=4", false, L"/media", 3);
    EXPECT_EQ(next.message, WM_FEED_NEXT_PAGE);
    EXPECT_EQ(next.text, L"/media?max_id=4");
    EXPECT_FALSE(next.pauseFirst);

    PageOutcome end = decidePageOutcome(L"", false, L"/media", 6);
    EXPECT_EQ(end.message, WM_FEED_END);
    EXPECT_EQ(end.code, 0);
    EXPECT_FALSE(end.pauseFirst);

    PageOutcome again = decidePageOutcome(L"", true, L"/media?max_id=9", 5);
    EXPECT_EQ(again.message, WM_FEED_NEXT_PAGE);
    EXPECT_EQ(again.text, L"/media?max_id=9");
    EXPECT_TRUE(again.pauseFirst);

    PageOutcome givenUp = decidePageOutcome(L"", true, L"/media?max_id=9", 6);
    EXPECT_EQ(givenUp.message, WM_FEED_END);
    EXPECT_EQ(givenUp.code, -1);
    EXPECT_FALSE(givenUp.pauseFirst);
}

}  // namespace
