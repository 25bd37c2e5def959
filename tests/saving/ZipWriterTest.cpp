// The zip writer: shares posted per chunk, archives read back by Python's zipfile and `unzip -t`
// (names incl. non-ASCII ones, sizes, CRCs, bytes, dates), files queued while it runs, stop, and
// archives that cannot be written.
#include "JobMessageSink.h"
#include "SavedFiles.h"
#include "UnixTools.h"

#include "common/PathFunctions.h"
#include "saving/JobStopFlag.h"
#include "saving/JobSync.h"
#include "saving/ZipArchive.h"
#include "saving/ZipQueue.h"
#include "saving/ZipWriterThread.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace {

class ZipWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sink_.handle());
        reference_ = folder_.file(L"reference");
        staging_ = folder_.file(L"alice_0123_tmp");
        ASSERT_TRUE(CreateDirectoryW(reference_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(staging_.c_str(), nullptr));
    }

    // A staged file and its reference copy, both with the same last-write time.
    std::wstring stage(const std::wstring& name, size_t size) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random_() % 7);  // compressible, not trivially so
        const std::wstring staged = staging_ + L"\\" + name;
        EXPECT_TRUE(testsupport::writeFileBytes(staged, bytes));
        EXPECT_TRUE(testsupport::writeFileBytes(reference_ + L"\\" + name, bytes));
        SYSTEMTIME stamp = {2024, 5, 0, 6, 7, 8, static_cast<WORD>(10 + stamped_++ % 40), 0};
        FILETIME time;
        SystemTimeToFileTime(&stamp, &time);
        setWriteTime(staged, ticks(time));
        setWriteTime(reference_ + L"\\" + name, ticks(time));
        return staged;
    }

    void startThread(std::unique_ptr<ZipPhotosParams> params) {
        ASSERT_TRUE(startJobThread(zipPhotosThreadProc, std::move(params)));
    }

    const ZipArchiveMessageInfo* finalRecord() {
        EXPECT_TRUE(sink_.waitFor([&] { return !sink_.zip.empty() && sink_.zip.back()->done; }));
        return sink_.zip.empty() ? nullptr : sink_.zip.back().get();
    }

    double shareSum() const {
        double sum = 0;
        for (const auto& record : sink_.zip)
            sum += record->share;
        return sum;
    }

    testsupport::TempFolder folder_;
    std::wstring reference_;
    std::wstring staging_;
    JobMessageSink sink_;
    JobStopFlag stopFlag_;
    ZipQueue queue_;
    std::mt19937 random_{15};
    int stamped_ = 0;
};

TEST_F(ZipWriterTest, PostsOneShareEachChunkAndReplacesAnOldArchive) {
    const std::wstring zipPath = folder_.file(L"shares.zip");
    ASSERT_TRUE(testsupport::writeFileBytes(zipPath, "an old file, not an archive"));
    ZipArchive archive(sink_.handle(), 7);
    ASSERT_TRUE(archive.open(zipPath));

    struct Case {
        size_t size;
        std::vector<double> shares;
    };
    const Case cases[] = {
        {40000, {16384 / 40000.0, 16384 / 40000.0, 7232 / 40000.0}}, {32768, {0.5, 0.5, 0.0}}, {0, {1.0}}};
    int index = 0;
    for (const Case& c : cases) {
        const std::wstring path = stage(L"alice_" + std::to_wstring(index++) + L".jpg", c.size);
        EXPECT_EQ(archive.addFile(path), ZipArchive::AddResult::Added);
        sink_.zip.clear();
        ASSERT_TRUE(sink_.waitFor([&] { return sink_.zip.size() >= c.shares.size(); }, 10000));
        sink_.drain();
        ASSERT_EQ(sink_.zip.size(), c.shares.size()) << c.size;
        for (size_t i = 0; i < c.shares.size(); ++i) {
            EXPECT_EQ(sink_.zip[i]->generation, 7);
            EXPECT_EQ(sink_.zip[i]->done, 0);
            EXPECT_DOUBLE_EQ(sink_.zip[i]->share, c.shares[i]) << c.size << " chunk " << i;
        }
    }
    // Archived and then deleted; a file that may not be deleted is still archived, and kept.
    const std::wstring deleted = stage(L"alice_deleted.jpg", 9000);
    EXPECT_EQ(archive.addFile(deleted, true), ZipArchive::AddResult::Added);
    EXPECT_EQ(GetFileAttributesW(deleted.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring kept = stage(L"alice_kept.jpg", 9000);
    ASSERT_TRUE(SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(archive.addFile(kept, true), ZipArchive::AddResult::Added);
    EXPECT_NE(GetFileAttributesW(kept.c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(archive.addFile(staging_ + L"\\missing.jpg"), ZipArchive::AddResult::Unreadable);
    EXPECT_EQ(archive.unreadableError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(archive.close());
    EXPECT_EQ(checkArchive(zipPath, reference_, "all"), "OK");
}

TEST_F(ZipWriterTest, TwoHundredFilesQueuedWithRandomDelaysAreAllArchived) {
    const std::wstring outFolder = folder_.file(L"Ärchiv Ω фото");
    ASSERT_TRUE(CreateDirectoryW(outFolder.c_str(), nullptr));
    const std::wstring zipPath = outFolder + L"\\alice ü.zip";
    queue_.setInputClosed(false);
    startThread(std::make_unique<ZipPhotosParams>(3, sink_.handle(), zipPath, staging_, &queue_, &stopFlag_));

    for (int i = 0; i < 200; ++i) {
        const std::wstring name = i % 25 == 0 ? L"alice_фото_" + std::to_wstring(i) + L"_é.jpg"
                                              : L"alice_" + std::to_wstring(i) + L"_n.jpg";
        queue_.queue(stage(name, random_() % 3 == 0 ? 0 : random_() % 50000));
        if (random_() % 4 == 0)
            Sleep(random_() % 4);  // vary the interleaving with the writer
    }
    queue_.setInputClosed(true);

    const ZipArchiveMessageInfo* last = finalRecord();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->generation, 3);
    EXPECT_EQ(last->error, 0u);
    EXPECT_EQ(last->skippedFiles, 0);
    EXPECT_NEAR(shareSum(), 200.0, 1e-6);
    EXPECT_EQ(GetFileAttributesW(staging_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(checkArchive(zipPath, reference_, "all"), "OK");
}

TEST_F(ZipWriterTest, StopLeavesAClosedArchiveOfWholeEntries) {
    const std::wstring zipPath = folder_.file(L"stopped.zip");
    for (int i = 0; i < 40; ++i)
        queue_.queue(stage(L"alice_" + std::to_wstring(i) + L".mp4", 300000));
    queue_.setInputClosed(false);
    startThread(std::make_unique<ZipPhotosParams>(4, sink_.handle(), zipPath, staging_, &queue_, &stopFlag_));
    ASSERT_TRUE(sink_.waitFor([&] { return !sink_.zip.empty(); }));
    stopFlag_.set(true);

    const ZipArchiveMessageInfo* last = finalRecord();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->error, 0u);
    EXPECT_LT(shareSum(), 40.0);
    EXPECT_EQ(GetFileAttributesW(staging_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(checkArchive(zipPath, reference_, "subset"), "OK");
}

TEST_F(ZipWriterTest, ArchiveThatCannotBeCreatedEndsTheThreadWithItsError) {
    const std::wstring zipPath = folder_.file(L"no such folder\\alice.zip");
    queue_.queue(stage(L"alice_1.jpg", 1000));
    queue_.setInputClosed(false);
    startThread(std::make_unique<ZipPhotosParams>(5, sink_.handle(), zipPath, staging_, &queue_, &stopFlag_));

    const ZipArchiveMessageInfo* last = finalRecord();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(sink_.zip.size(), 1u);
    EXPECT_EQ(GetFileAttributesW(staging_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
