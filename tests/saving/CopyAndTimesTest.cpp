// The copy and file-time threads with the folder scan that feeds the second: copies replacing old
// files, failed copies with their error and no file left, a stop, progress batches, item times and
// the user's other files moved before the oldest item with their spacing.
#include "JobMessageSink.h"
#include "SavedFiles.h"

#include "saving/CopyPhotosThread.h"
#include "saving/FolderScan.h"
#include "saving/JobArithmetic.h"
#include "saving/JobStopFlag.h"
#include "saving/JobSync.h"
#include "saving/PhotoTimesThread.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using testsupport::readFileBytes;
using testsupport::writeFileBytes;

class CopyAndTimesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sink_.handle()); }

    // Copies each source to its target, the photo indexes given.
    void copy(const std::vector<std::wstring>& sources, const std::vector<std::wstring>& targets,
              const std::vector<int32_t>& indexes) {
        auto params = std::make_unique<CopyPhotosParams>(2, 9, sink_.handle(), &stopFlag_);
        params->sourcePaths = sources;
        params->targetPaths = targets;
        params->photoIndexes = indexes;
        ASSERT_TRUE(startJobThread(copyPhotosThreadProc, std::move(params)));
    }

    // Sets the times and waits for the thread's last record.
    void stamp(std::unique_ptr<UpdatePhotoTimesParams> params) {
        sink_.times.clear();
        ASSERT_TRUE(startJobThread(updatePhotoTimesThreadProc, std::move(params)));
        ASSERT_TRUE(sink_.waitFor([&] { return !sink_.times.empty() && sink_.times.back()->done; }));
    }

    testsupport::TempFolder folder_;
    JobMessageSink sink_;
    JobStopFlag stopFlag_;
};

TEST_F(CopyAndTimesTest, CopiesReplaceAndFailuresTravelWithTheirError) {
    const std::wstring target = folder_.file(L"Zielördner");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(folder_.file(L"a.jpg"), "picture a"));
    ASSERT_TRUE(writeFileBytes(folder_.file(L"c.jpg"), "picture c"));
    ASSERT_TRUE(writeFileBytes(target + L"\\alice_a.jpg", "an older file"));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\alice_c.jpg").c_str(), nullptr));  // a folder holds the name
    ASSERT_TRUE(writeFileBytes(target + L"\\alice_d.jpg", "a file the job did not make"));

    // b and d are not in the cache any more.
    copy({folder_.file(L"a.jpg"), folder_.file(L"b.jpg"), folder_.file(L"c.jpg"), folder_.file(L"d.jpg")},
         {target + L"\\alice_a.jpg", target + L"\\alice_b.jpg", target + L"\\alice_c.jpg",
          target + L"\\alice_d.jpg"},
         {10, 11, 12, 13});
    ASSERT_TRUE(sink_.waitFor([&] { return sink_.copied.size() == 4; }));
    EXPECT_EQ(readFileBytes(target + L"\\alice_d.jpg"), "a file the job did not make");

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sink_.copied[i]->photoIndex, 10 + i);
        EXPECT_EQ(sink_.copied[i]->lastFile, 0);
    }
    EXPECT_EQ(sink_.copied[0]->error, 0u);
    EXPECT_EQ(readFileBytes(target + L"\\alice_a.jpg"), "picture a");
    EXPECT_EQ(sink_.copied[1]->error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW((target + L"\\alice_b.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(sink_.copied[2]->error, 0u);
    EXPECT_TRUE(GetFileAttributesW((target + L"\\alice_c.jpg").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(CopyAndTimesTest, StoppedCopyEndsWithOneRecordListingEveryPhoto) {
    std::vector<std::wstring> sources;
    std::vector<std::wstring> targets;
    for (int i = 0; i < 5; ++i) {
        sources.push_back(folder_.file(std::to_wstring(i)));
        ASSERT_TRUE(writeFileBytes(sources.back(), "x"));
        targets.push_back(folder_.file(L"alice_" + std::to_wstring(i)));
    }
    stopFlag_.set(true);
    copy(sources, targets, {0, 2, 4, 6, 8});
    ASSERT_TRUE(sink_.waitFor([&] { return !sink_.copied.empty(); }));
    sink_.waitFor([] { return false; }, 200);  // nothing else may follow

    ASSERT_EQ(sink_.copied.size(), 1u);
    EXPECT_EQ(sink_.copied[0]->threadEnded, 1);
    ASSERT_TRUE(sink_.copied[0]->photoIndexList);
    EXPECT_EQ(*sink_.copied[0]->photoIndexList, (std::vector<int32_t>{0, 2, 4, 6, 8}));
}

TEST_F(CopyAndTimesTest, ProgressRecordsPerTenFiles) {
    for (int count : {9, 10, 20}) {
        auto params = std::make_unique<UpdatePhotoTimesParams>(count, kPhotoTimesBatchSize, folder_.path(),
                                                               L"alice", sink_.handle());
        for (int i = 0; i < count; ++i)  // split over both lists: the count runs on between them
            (i % 2 ? params->itemsInFolder : params->otherFiles).push_back({L"none", fileTimeOf(0)});
        ASSERT_NO_FATAL_FAILURE(stamp(std::move(params)));
        EXPECT_EQ(sink_.times.size(), static_cast<size_t>(count / 10 + 1)) << count;
    }
}

TEST_F(CopyAndTimesTest, ScannedFilesGetItemTimesAndOtherFilesEndBeforeTheOldestItem) {
    const std::wstring target = folder_.file(L"Fotos ü");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    const int64_t now = 133500000000000000LL;
    // Loaded items by name, with their item times 3 s apart.
    const std::map<std::wstring, int64_t> items = {{L"p1.jpg", now}, {L"p2.jpg", now - kItemTimeStep}};
    const int64_t t1 = now - 5000 * kItemTimeStep;
    const int64_t t2 = t1 + 7 * kItemTimeStep;
    // A file of user alice_b matches "alice_*" too; a folder takes p1's name.
    for (const auto& [name, time] : std::vector<std::pair<std::wstring, int64_t>>{{L"Alice_P2.jpg", 0},
                                                                                  {L"alice_old1.jpg", t1},
                                                                                  {L"alice_old2.jpg", t2},
                                                                                  {L"bob_x.jpg", 0},
                                                                                  {L"alice_b_x.jpg", 0}}) {
        ASSERT_TRUE(writeFileBytes(target + L"\\" + name, "some bytes"));
        if (time)
            setWriteTime(target + L"\\" + name, time);
    }
    ASSERT_TRUE(CreateDirectoryW((target + L"\\alice_p1.jpg").c_str(), nullptr));
    const int64_t bobTime = writeTime(target + L"\\bob_x.jpg");
    const int64_t otherUserTime = writeTime(target + L"\\alice_b_x.jpg");

    FolderScan scan = scanTargetFolder(target, L"alice",
                                       [&](const std::wstring& name, int32_t& index, FILETIME& time) {
                                           auto found = items.find(name);
                                           if (found == items.end())
                                               return false;
                                           index = found->first == L"p1.jpg" ? 0 : 1;
                                           time = fileTimeOf(found->second);
                                           return true;
                                       },
                                       {L"bob", L"Alice_B"});
    ASSERT_EQ(scan.itemsInFolder.size(), 1u);  // the folder named like p1's file does not count
    EXPECT_EQ(scan.itemsInFolder[0].name, L"p2.jpg");
    EXPECT_EQ(scan.itemIndexes, std::vector<int32_t>{1});
    ASSERT_EQ(scan.otherFiles.size(), 2u);
    EXPECT_EQ(ticks(scan.newestOther), t2);

    // The job also saves p1, the oldest item being saved or present is p2.
    auto params =
        std::make_unique<UpdatePhotoTimesParams>(1, kPhotoTimesBatchSize, target, L"alice", sink_.handle());
    params->offset = otherFilesOffset(scan.oldest, scan.newestOther);
    params->itemsInFolder = std::move(scan.itemsInFolder);
    params->otherFiles = std::move(scan.otherFiles);
    ASSERT_NO_FATAL_FAILURE(stamp(std::move(params)));

    const int64_t oldest = now - kItemTimeStep;
    EXPECT_EQ(writeTime(target + L"\\alice_p2.jpg"), oldest);
    EXPECT_EQ(writeTime(target + L"\\alice_old2.jpg"), oldest - kItemTimeStep);
    EXPECT_EQ(writeTime(target + L"\\alice_old1.jpg"), oldest - kItemTimeStep - (t2 - t1));
    EXPECT_EQ(writeTime(target + L"\\bob_x.jpg"), bobTime);
    EXPECT_EQ(writeTime(target + L"\\alice_b_x.jpg"), otherUserTime);
}

}  // namespace
