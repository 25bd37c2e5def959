// The recommendation window's decisions and the rule for links a page may open.
#include "common/OpenLink.h"
#include "forms/RecommendRules.h"

#include <gtest/gtest.h>

namespace {

const RECT screen{0, 0, 1280, 1024};
const SIZE initial{100, 100};

TEST(RecommendFit, APageOfSixHundredByFourHundredSizesBrowserAndWindow) {
    const RecommendFit fit = decideRecommendFit(true, L"600", L"400", initial, screen);
    ASSERT_TRUE(fit.resize);
    EXPECT_EQ(fit.browserWidth, 600);
    EXPECT_EQ(fit.browserHeight, 400);
    EXPECT_EQ(fit.clientWidth, 604);
    EXPECT_EQ(fit.clientHeight, 432);
    // Once there, the same report changes nothing.
    EXPECT_FALSE(decideRecommendFit(true, L"600", L"400", SIZE{600, 400}, screen).resize);
}

TEST(RecommendFit, NoSizeOrTheCurrentOneShowsNothingAndAHugeOneIsKeptOnScreen) {
    EXPECT_FALSE(decideRecommendFit(true, L"100", L"400", initial, screen).resize);
    EXPECT_FALSE(decideRecommendFit(false, L"600", L"400", initial, screen).resize);
    for (const wchar_t* bad : {L"abc", L"0", L"-5", L"", L"1.5"}) {
        EXPECT_FALSE(decideRecommendFit(true, bad, L"400", initial, screen).resize) << bad;
        EXPECT_FALSE(decideRecommendFit(true, L"600", bad, initial, screen).resize) << bad;
    }
    const RECT workArea{0, 0, 1280, 1000};
    const RecommendFit huge = decideRecommendFit(true, L"100000", L"100000", initial, workArea);
    ASSERT_TRUE(huge.resize);
    EXPECT_EQ(huge.clientWidth, 1280);
    EXPECT_EQ(huge.clientHeight, 1000);
    EXPECT_EQ(huge.browserWidth, 1276);
}

TEST(RecommendLinks, OnlyWebAndMailAddressesAreOpened) {
    for (const wchar_t* open : {L"http://127.0.0.1:8/x", L"HTTPS://example.invalid/", L"mailto:a@b.invalid"})
        EXPECT_EQ(recommendLinkAction(open), RecommendLinkAction::OpenAndClose) << open;
    for (const wchar_t* closeOnly :
         {L"ABOUT:BLANK", L"about:blank", L"file:///C:/windows/notepad.exe", L"\\\\host\\share\\x.exe",
          L"javascript:alert(1)", L"C:\\x.exe", L"http:", L"ms-settings:", L""})
        EXPECT_EQ(recommendLinkAction(closeOnly), RecommendLinkAction::CloseOnly) << closeOnly;
}

}  // namespace
