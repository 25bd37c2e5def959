// Job arithmetic, names, print layout and end texts: work units, shares that never go backwards or
// past one unit, the other files' time offset, the staging folder, where a photo lands on the page,
// the failure messages.
#include "saving/JobArithmetic.h"
#include "saving/JobMessages.h"
#include "saving/JobOutcome.h"
#include "saving/PageLayout.h"
#include "saving/SaveNames.h"

#include <gtest/gtest.h>

namespace {

FILETIME fileTime(int64_t value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

TEST(JobArithmeticTest, WorkUnits) {
    EXPECT_EQ(saveJobWorkUnits(25, 0, false), 2);  // 25 files to stamp
    EXPECT_EQ(saveJobWorkUnits(9, 0, false), 0);
    EXPECT_EQ(saveJobWorkUnits(0, 4, true), 8);  // a zip job of 4 downloads
    EXPECT_EQ(printJobWorkUnits(3, 2, 2), 8);    // 3 items, 2 downloaded, 2 copies
}

TEST(JobArithmeticTest, SharesNeverGoBackwardsNorPastOneUnit) {
    PhotoDownload entry;
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 10000, 40000), 0.25);
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 5000, 40000), 0.0);  // a retry starting over
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 10000, 40000), 0.0);
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 12000, 40000), 0.05);
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 1000, -1), 0.0);  // size unknown
    // The size shrinks: the bytes reached count against it, never beyond the whole unit.
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 20000, 20000), 0.7);
    EXPECT_DOUBLE_EQ(downloadProgressShare(entry, 30000, 20000), 0.0);
    EXPECT_DOUBLE_EQ(completionShare(entry), 0.0);

    PhotoDownload unsized;  // no Content-Length: the whole unit at completion
    EXPECT_DOUBLE_EQ(completionShare(unsized), 1.0);

    PhotoDownload huge;  // sizes past 32 bits
    const int64_t gib = 1LL << 30;
    EXPECT_DOUBLE_EQ(downloadProgressShare(huge, 3 * gib, 5 * gib), 0.6);
    EXPECT_EQ(huge.countedBytes, 3 * gib);
    EXPECT_DOUBLE_EQ(completionShare(huge), 0.4);
}

TEST(JobArithmeticTest, OtherFilesEndOneStepBeforeTheOldestItemWithTheirSpacing) {
    const int64_t oldest = 133000000000000000LL;
    const int64_t t1 = 132000000000000000LL;
    const int64_t t2 = t1 + 70000000;
    const int64_t offset = otherFilesOffset(fileTime(oldest), fileTime(t2));
    EXPECT_EQ(t2 + offset, oldest - kItemTimeStep);
    EXPECT_EQ((t2 + offset) - (t1 + offset), t2 - t1);
}

TEST(SaveNamesTest, StagingFolderBesideTheZipAndTimedSavePath) {
    const std::wstring unique = L"0123456789abcdef0123456789abcdef";
    EXPECT_EQ(zipStagingFolder(L"D:\\Out.d\\" + std::wstring(250, L'a') + L".zip", unique),
              L"D:\\Out.d\\" + unique + L"_tmp");
    EXPECT_EQ(timedSavePath(L"D:\\Pics\\anna_a.jpg", fileTime(0x0000000500000007LL)),
              L"D:\\Pics\\anna_a.jpg|7-5");
}

TEST(PageLayoutTest, ShrinksToFitAndCentres) {
    PageRect wide = fitPictureOnPage(3000, 2000, 2400, 3300);
    EXPECT_FLOAT_EQ(wide.x, 0);
    EXPECT_FLOAT_EQ(wide.y, 850);
    EXPECT_FLOAT_EQ(wide.width, 2400);
    EXPECT_FLOAT_EQ(wide.height, 1600);

    PageRect small = fitPictureOnPage(800, 600, 2400, 3300);  // never enlarged
    EXPECT_FLOAT_EQ(small.x, 800);
    EXPECT_FLOAT_EQ(small.y, 1350);
    EXPECT_FLOAT_EQ(small.width, 800);
    EXPECT_FLOAT_EQ(small.height, 600);

    PageRect cut = fitPictureOnPage(1000, 3000, 850, 1100);  // wider first, then taller: whole numbers
    EXPECT_FLOAT_EQ(cut.width, 366);
    EXPECT_FLOAT_EQ(cut.height, 1100);
    EXPECT_FLOAT_EQ(cut.x, 242);
}

TEST(JobMessagesTest, CountFolderAndTheSystemsReason) {
    const std::wstring reason = systemErrorText(ERROR_DISK_FULL);  // Windows and Wine word it apart
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find(L'\n'), std::wstring::npos);
    EXPECT_EQ(notSavedMessage(1, L"D:\\Pics", ERROR_DISK_FULL),
              L"1 photo could not be saved to \"D:\\Pics\".\r\n" + reason);
    EXPECT_EQ(notSavedMessage(3, L"D:\\Pics", 0), L"3 photos could not be saved to \"D:\\Pics\".");
}

// From a job's outcome to its one message and whether its strip shows 100%.
TEST(JobMessagesTest, OneMessagePerOutcome) {
    JobOutcome saved{JobOutcome::Kind::folder, L"D:\\Pics"};
    EXPECT_TRUE(saved.complete(false) && !saved.complete(true) && jobEndMessage(saved).empty());
    saved.itemNotDone(0);
    saved.itemNotDone(ERROR_DISK_FULL);
    EXPECT_FALSE(saved.complete(false));
    EXPECT_EQ(jobEndMessage(saved), notSavedMessage(2, L"D:\\Pics", ERROR_DISK_FULL));
    JobOutcome zip{JobOutcome::Kind::zip, L"D:\\a.zip", 1, 0, ERROR_WRITE_FAULT, false, true};
    EXPECT_EQ(jobEndMessage(zip), zipNotWrittenMessage(L"D:\\a.zip", ERROR_WRITE_FAULT));
    JobOutcome print{JobOutcome::Kind::print, L"", 1};
    EXPECT_EQ(jobEndMessage(print), notPrintedMessage());
    print.failureShown = true;
    EXPECT_EQ(jobEndMessage(print), L"");
}

}  // namespace
