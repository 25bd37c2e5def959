#include <gtest/gtest.h>

#include <set>

#include "downloadcontrol/LastErrorHolder.h"

namespace {

TEST(LastErrorHolder, StartsEmpty) {
    LastErrorHolder holder;
    EXPECT_EQ(holder.error(), 0);
    EXPECT_EQ(holder.description(), L"");
    EXPECT_FALSE(holder.stopRequest());
}

TEST(LastErrorHolder, KeepsTheLastCodeUntilTheNextError) {
    LastErrorHolder holder;
    holder.setError(ErrUrlParse);
    EXPECT_EQ(holder.error(), 12);
    EXPECT_EQ(holder.description(), downloadErrorDescription(12));
    holder.setError(ErrStopped);
    EXPECT_EQ(holder.error(), 33);
    // Stop requests come and go without touching the code.
    holder.setStopRequest(true);
    EXPECT_TRUE(holder.stopRequest());
    holder.setStopRequest(false);
    EXPECT_EQ(holder.error(), 33);
}

TEST(LastErrorHolder, EveryCodeHasItsOwnDescription) {
    std::set<std::wstring> seen;
    for (int32_t code = 1; code <= kLastDownloadErrorCode; ++code) {
        const std::wstring text = downloadErrorDescription(code);
        EXPECT_GT(text.size(), 10u) << code;
        EXPECT_EQ(text.back(), L'.') << code;
        EXPECT_TRUE(seen.insert(text).second) << code;
    }
    EXPECT_EQ(kLastDownloadErrorCode, 46);
    EXPECT_EQ(downloadErrorDescription(0), L"");
    EXPECT_EQ(downloadErrorDescription(47), L"");
    EXPECT_EQ(downloadErrorDescription(-1), L"");
    EXPECT_EQ(downloadErrorDescription(ErrStopped), L"The download was stopped.");

    LastErrorHolder holder;
    holder.setError(99);
    EXPECT_EQ(holder.error(), 99);
    EXPECT_EQ(holder.description(), L"");
}

}  // namespace
