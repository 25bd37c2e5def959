// The update check's decisions: when a check is due, how the downloaded file is read, and which
// box each version text and failure gives.
#include "saving/UpdateCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const uint64_t day = 86400ULL * 10000000ULL;

TEST(UpdateCheck, IsDueOnlyWhenTheLastCheckLiesMoreThanTwoDaysAwayEitherWay) {
    const uint64_t now = 133000000000000000ULL;
    EXPECT_FALSE(updateCheckDue(now, now - 2 * day));
    EXPECT_TRUE(updateCheckDue(now, now - 2 * day - 1));
    EXPECT_FALSE(updateCheckDue(now, now - day));
    EXPECT_TRUE(updateCheckDue(now, now + 3 * day));
    EXPECT_TRUE(updateCheckDue(now, 0));
    // The halves come back from the registry as int: a high bit set must not spread.
    EXPECT_EQ(joinStoredTime(-1, 0), 0xFFFFFFFFULL);
    EXPECT_EQ(joinStoredTime(static_cast<int>(0x80000001u), 7), (7ULL << 32) | 0x80000001ULL);
}

TEST(UpdateCheck, VersionTextIsComparedAsExactText) {
    for (const wchar_t* same : {L"2.1", L" 2.1 ", L"2.1\r\nmore", L"2.1\nmore", L"\t2.1\r"}) {
        EXPECT_EQ(versionOutcome(versionLine(same), true), UpdateCheckOutcome::UpToDate) << same;
        EXPECT_EQ(versionOutcome(versionLine(same), false), UpdateCheckOutcome::Silent) << same;
    }
    for (const wchar_t* other : {L"2.2", L"2.10", L"2.0", L"", L"\r\n2.1", L"<!DOCTYPE html>"}) {
        EXPECT_EQ(versionOutcome(versionLine(other), false), UpdateCheckOutcome::NewVersionOffered) << other;
    }
    EXPECT_EQ(failedDownloadOutcome(13), UpdateCheckOutcome::NoConnection);
    EXPECT_EQ(failedDownloadOutcome(4), UpdateCheckOutcome::ServerIssues);
}

TEST(UpdateCheck, TheLocalCopyIsReadWhenSmallAndDecodable) {
    testsupport::TempFolder folder;
    const std::wstring file = folder.file(L"CurrentVersion.txt");
    std::wstring text;
    EXPECT_FALSE(readVersionFile(file, text));  // missing

    ASSERT_TRUE(testsupport::writeFileBytes(file, std::string("\xFF\xFE"
                                                              "2\0.\0"
                                                              "1\0\r\0\n\0",
                                                              12)));
    ASSERT_TRUE(readVersionFile(file, text));
    EXPECT_EQ(versionLine(text), L"2.1");

    ASSERT_TRUE(testsupport::writeFileBytes(file, ""));
    EXPECT_FALSE(readVersionFile(file, text));

    std::string limit = "2.2\r\n";
    limit.resize(kMaxVersionFileSize, 'x');
    ASSERT_TRUE(testsupport::writeFileBytes(file, limit));
    ASSERT_TRUE(readVersionFile(file, text));
    EXPECT_EQ(versionLine(text), L"2.2");
    ASSERT_TRUE(testsupport::writeFileBytes(file, limit + "x"));
    EXPECT_FALSE(readVersionFile(file, text));
    EXPECT_EQ(text, L"");
}

}  // namespace
