// Sample pages written by the fixture site (tools/fixture-site/make_golden.py) give exactly the
// records listed in their expected files. The tests run with TZ=UTC, as the expected dates are.
#include "FeedRecordText.h"

#include "feed/FeedPageScan.h"
#include "feed/FeedPageWorker.h"
#include "feed/Parser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Sample {
    const char* page;
    bool profile;
    const wchar_t* suffix;  // the suffix the page was fetched with
};

const Sample kSamples[] = {
    {"alice-profile.html", true, L""},
    {"alice-media-1.json", false, L"/media"},
    {"alice-media-2.json", false, L"/media?max_id=1001_26"},
    {"alice-media-3.json", false, L"/media?max_id=1001_6"},
    {"bob-profile.html", true, L""},
    {"bob-media-1.json", false, L"/media"},
    {"zero-profile.html", true, L""},
    {"zero-media-1.json", false, L"/media"},
    {"private-profile.html", true, L""},
    {"nocount-profile.html", true, L""},
    {"lastkey-profile.html", true, L""},
    {"badfeed-media-1.json", false, L"/media"},
    {"loop-media-2.json", false, L"/media?max_id=9009_11"},
};

std::wstring samplePath(const std::string& name) {
    return testsupport::sourcePath(L"tests/data/feed/" + std::wstring(name.begin(), name.end()));
}

std::string expectedLines(const std::string& page) {
    return testsupport::readFileBytes(samplePath(page.substr(0, page.rfind('.')) + ".expected.txt"));
}

class FeedGoldenTest : public ::testing::TestWithParam<Sample> {
protected:
    static void SetUpTestSuite() { initScriptTokenTables(); }
};

TEST_P(FeedGoldenTest, PageGivesTheExpectedRecords) {
    const Sample& sample = GetParam();
    std::unique_ptr<std::wstring> text = readPageText(samplePath(sample.page));
    ASSERT_TRUE(text) << sample.page;
    const std::string expected = expectedLines(sample.page);
    ASSERT_FALSE(expected.empty()) << sample.page;
    if (sample.profile) {
        EXPECT_EQ(feedtext::profileLines(scanProfilePage(*text)), expected);
    } else {
        const FeedPageScan scan = scanFeedPage(*text, 3);
        EXPECT_EQ(feedtext::feedLines(scan), expected);
        for (const auto& photo : scan.photos) {
            EXPECT_EQ(photo->generation, 3);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SamplePages, FeedGoldenTest, ::testing::ValuesIn(kSamples),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                             std::string name = info.param.page;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

// What the pages mean for the feed as a whole: the pages a user's feed walks through and how it ends.
TEST(FeedGoldenOutcomes, MainUserWalksThreePagesAndEnds) {
    initScriptTokenTables();
    const std::pair<const char*, const wchar_t*> pages[] = {
        {"alice-media-1.json", L"/media"},
        {"alice-media-2.json", L"/media?max_id=1001_26"},
        {"alice-media-3.json", L"/media?max_id=1001_6"},
    };
    std::wstring suffix = L"/media";
    size_t photos = 0;
    for (const auto& page : pages) {
        ASSERT_EQ(suffix, page.second);
        std::unique_ptr<std::wstring> text = readPageText(samplePath(page.first));
        ASSERT_TRUE(text);
        const FeedPageScan scan = scanFeedPage(*text, 1);
        ASSERT_TRUE(isUsableFeedPage(scan, suffix));
        photos += scan.photos.size();
        const PageOutcome outcome = decidePageOutcome(scan.nextSuffix, false, suffix, 0);
        suffix = outcome.message == WM_FEED_NEXT_PAGE ? outcome.text : L"";
        if (outcome.message == WM_FEED_END) {
            EXPECT_EQ(outcome.code, 0);
        }
    }
    EXPECT_EQ(suffix, L"");
    EXPECT_EQ(photos, 45u);
}

TEST(FeedGoldenOutcomes, ServerIgnoringMaxIdIsNotPassedOn) {
    initScriptTokenTables();
    std::unique_ptr<std::wstring> text = readPageText(samplePath("loop-media-2.json"));
    ASSERT_TRUE(text);
    const FeedPageScan scan = scanFeedPage(*text, 1);
    EXPECT_TRUE(scan.valid);
    EXPECT_EQ(scan.nextSuffix, L"/media?max_id=9009_11");
    EXPECT_FALSE(isUsableFeedPage(scan, L"/media?max_id=9009_11"));
    // The same page reached as the first page is fine.
    EXPECT_TRUE(isUsableFeedPage(scan, L"/media"));
}

}  // namespace
