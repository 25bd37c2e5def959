// A full disk (a small tmpfs the test mounts; skipped where mounting is refused): the zip writer
// ends with the system's error and deletes its incomplete archive, and a copy that does not fit
// reports its error and leaves no partial file.
#include "JobMessageSink.h"
#include "UnixTools.h"

#include "saving/CopyPhotosThread.h"
#include "saving/JobStopFlag.h"
#include "saving/JobSync.h"
#include "saving/ZipQueue.h"
#include "saving/ZipWriterThread.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(full_.c_str(), nullptr));
        mount_.emplace(full_, "256k");
        if (!mount_->mounted())
            GTEST_SKIP() << "cannot mount a small file system: " << mount_->result();
        std::mt19937 random(112);
        photo_.resize(150000);
        for (char& c : photo_)
            c = static_cast<char>(random());  // incompressible, as photos are
    }

    testsupport::TempFolder folder_;
    const std::wstring full_ = folder_.file(L"full");
    std::optional<Mount> mount_;
    std::string photo_;
    JobMessageSink sink_;
    JobStopFlag stopFlag_;
};

TEST_F(FullDiskTest, ZipWriterEndsWithTheErrorAndDeletesTheArchive) {
    const std::wstring staging = folder_.file(L"staging");
    ASSERT_TRUE(CreateDirectoryW(staging.c_str(), nullptr));
    ZipQueue queue;
    for (int i = 0; i < 4; ++i) {
        const std::wstring path = staging + L"\\alice_" + std::to_wstring(i) + L".jpg";
        ASSERT_TRUE(testsupport::writeFileBytes(path, photo_));
        queue.queue(path);
    }
    queue.setInputClosed(true);
    const std::wstring zipPath = full_ + L"\\alice.zip";
    ASSERT_TRUE(startJobThread(
        zipPhotosThreadProc,
        std::make_unique<ZipPhotosParams>(1, sink_.handle(), zipPath, staging, &queue, &stopFlag_)));
    ASSERT_TRUE(sink_.waitFor([&] { return !sink_.zip.empty() && sink_.zip.back()->done; }));
    EXPECT_EQ(sink_.zip.back()->error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(GetFileAttributesW(zipPath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(staging.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FullDiskTest, CopyThatDoesNotFitLeavesNoPartialFile) {
    auto params = std::make_unique<CopyPhotosParams>(1, 1, sink_.handle(), &stopFlag_);
    for (int i = 0; i < 2; ++i) {
        params->sourcePaths.push_back(folder_.file(std::to_wstring(i) + L".jpg"));
        ASSERT_TRUE(testsupport::writeFileBytes(params->sourcePaths.back(), photo_));
        params->targetPaths.push_back(full_ + L"\\alice_" + std::to_wstring(i) + L".jpg");
        params->photoIndexes.push_back(i);
    }
    ASSERT_TRUE(startJobThread(copyPhotosThreadProc, std::move(params)));
    ASSERT_TRUE(sink_.waitFor([&] { return sink_.copied.size() == 2; }));
    EXPECT_EQ(sink_.copied[0]->error, 0u);
    EXPECT_EQ(testsupport::readFileBytes(full_ + L"\\alice_0.jpg"), photo_);
    EXPECT_EQ(sink_.copied[1]->error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(GetFileAttributesW((full_ + L"\\alice_1.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
