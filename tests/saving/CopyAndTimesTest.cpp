// The copy and file-time threads with the folder scan that feeds the second: copies replacing old
// files, failed copies with their error and no file left, a stop, progress batches, item times and
// the user's other files moved before the oldest item with their spacing.
#include "JobMessageSink.h"

#include "common/PathFunctions.h"
#include "saving/CopyPhotosThread.h"
#include "saving/FolderScan.h"
#include "saving/JobArithmetic.h"
#include "saving/JobStopFlag.h"
#include "saving/PhotoTimesThread.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using testsupport::readFileBytes;
using testsupport::writeFileBytes;

int64_t value(const FILETIME& time) {
    return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME fileTime(int64_t value) {
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

int64_t writeTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(makeLongPath(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return value(data.ftLastWriteTime);
}

void setWriteTime(const std::wstring& path, int64_t time) {
    HANDLE file = openExistingFile(path, FILE_WRITE_ATTRIBUTES, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME stamp = fileTime(time);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    closeFileHandle(file);
}

template <typename Params>
void startThread(LPTHREAD_START_ROUTINE procedure, std::unique_ptr<Params> params) {
    HANDLE thread = CreateThread(nullptr, 0, procedure, params.get(), CREATE_SUSPENDED, nullptr);
    ASSERT_TRUE(thread);
    params.release()->thread = thread;
    ResumeThread(thread);
}

class CopyAndTimesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sink_.handle()); }

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

    auto params = std::make_unique<CopyPhotosParams>(2, 9, sink_.handle(), &stopFlag_);
    const wchar_t* names[] = {L"a.jpg", L"b.jpg", L"c.jpg"};  // b is not in the cache any more
    for (int i = 0; i < 3; ++i) {
        params->sourcePaths.push_back(folder_.file(names[i]));
        params->targetPaths.push_back(target + L"\\alice_" + names[i]);
        params->photoIndexes.push_back(10 + i);
    }
    startThread(copyPhotosThreadProc, std::move(params));
    ASSERT_TRUE(sink_.waitFor([&] { return sink_.copied.size() == 3; }));

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sink_.copied[i]->photoIndex, 10 + i);
        EXPECT_EQ(sink_.copied[i]->lastFile, i == 2 ? 1 : 0);
    }
    EXPECT_EQ(sink_.copied[0]->error, 0u);
    EXPECT_EQ(readFileBytes(target + L"\\alice_a.jpg"), "picture a");
    EXPECT_EQ(sink_.copied[1]->error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW((target + L"\\alice_b.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(sink_.copied[2]->error, 0u);
    EXPECT_TRUE(GetFileAttributesW((target + L"\\alice_c.jpg").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(CopyAndTimesTest, StoppedCopyEndsWithOneRecordListingEveryPhoto) {
    auto params = std::make_unique<CopyPhotosParams>(2, 9, sink_.handle(), &stopFlag_);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(writeFileBytes(folder_.file(std::to_wstring(i)), "x"));
        params->sourcePaths.push_back(folder_.file(std::to_wstring(i)));
        params->targetPaths.push_back(folder_.file(L"alice_" + std::to_wstring(i)));
        params->photoIndexes.push_back(i * 2);
    }
    stopFlag_.set(true);
    startThread(copyPhotosThreadProc, std::move(params));
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
            (i % 2 ? params->itemsInFolder : params->otherFiles).push_back({L"none", fileTime(0)});
        sink_.times.clear();
        startThread(updatePhotoTimesThreadProc, std::move(params));
        ASSERT_TRUE(sink_.waitFor([&] { return !sink_.times.empty() && sink_.times.back()->done; }));
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
    ASSERT_TRUE(writeFileBytes(target + L"\\Alice_P2.jpg", "item file"));
    ASSERT_TRUE(writeFileBytes(target + L"\\alice_old1.jpg", "other"));
    ASSERT_TRUE(writeFileBytes(target + L"\\alice_old2.jpg", "other"));
    ASSERT_TRUE(writeFileBytes(target + L"\\bob_x.jpg", "bob"));
    // A file of user alice_b matches "alice_*" too.
    ASSERT_TRUE(writeFileBytes(target + L"\\alice_b_x.jpg", "alice_b"));
    ASSERT_TRUE(CreateDirectoryW((target + L"\\alice_p1.jpg").c_str(), nullptr));
    setWriteTime(target + L"\\alice_old1.jpg", t1);
    setWriteTime(target + L"\\alice_old2.jpg", t2);
    const int64_t bobTime = writeTime(target + L"\\bob_x.jpg");
    const int64_t otherUserTime = writeTime(target + L"\\alice_b_x.jpg");

    FolderScan scan = scanTargetFolder(target, L"alice",
                                       [&](const std::wstring& name, int32_t& index, FILETIME& time) {
                                           auto found = items.find(name);
                                           if (found == items.end())
                                               return false;
                                           index = found->first == L"p1.jpg" ? 0 : 1;
                                           time = fileTime(found->second);
                                           return true;
                                       },
                                       {L"bob", L"Alice_B"});
    ASSERT_EQ(scan.itemsInFolder.size(), 1u);  // the folder named like p1's file does not count
    EXPECT_EQ(scan.itemsInFolder[0].name, L"p2.jpg");
    EXPECT_EQ(scan.itemIndexes, std::vector<int32_t>{1});
    ASSERT_EQ(scan.otherFiles.size(), 2u);
    EXPECT_EQ(value(scan.newestOther), t2);

    // The job also saves p1, the oldest item being saved or present is p2.
    auto params =
        std::make_unique<UpdatePhotoTimesParams>(1, kPhotoTimesBatchSize, target, L"alice", sink_.handle());
    params->offset = otherFilesOffset(scan.oldest, scan.newestOther);
    params->itemsInFolder = std::move(scan.itemsInFolder);
    params->otherFiles = std::move(scan.otherFiles);
    startThread(updatePhotoTimesThreadProc, std::move(params));
    ASSERT_TRUE(sink_.waitFor([&] { return !sink_.times.empty() && sink_.times.back()->done; }));

    const int64_t oldest = now - kItemTimeStep;
    EXPECT_EQ(writeTime(target + L"\\alice_p2.jpg"), oldest);
    EXPECT_EQ(writeTime(target + L"\\alice_old2.jpg"), oldest - kItemTimeStep);
    EXPECT_EQ(writeTime(target + L"\\alice_old1.jpg"), oldest - kItemTimeStep - (t2 - t1));
    EXPECT_EQ(writeTime(target + L"\\bob_x.jpg"), bobTime);
    EXPECT_EQ(writeTime(target + L"\\alice_b_x.jpg"), otherUserTime);
}

}  // namespace
