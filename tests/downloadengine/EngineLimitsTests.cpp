// Sizes that a host or a server chooses never end the host's process: receive buffers are bounded, an
// allocation that fails fails only its own file, and a length no disk can hold is never set on a file.
#include <gtest/gtest.h>

#include <new>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::fileHash;
using enginetest::TestEngine;
using testsupport::peerUrl;
using testsupport::servedPath;
using testsupport::TempFolder;

// The control's own clients, except that making one for a path with "/throw" runs out of memory.
class ThrowingFactory final : public DownloadClientFactory {
public:
    std::unique_ptr<DownloadClient> makeClient(const DownloadItem& item, int32_t connectionTimeout,
                                               int32_t receiveBufferSize, LastErrorHolder& errors) override {
        if (item.path.find(L"/throw") != std::wstring::npos) {
            throw std::bad_alloc();
        }
        return clients_.makeClient(item, connectionTimeout, receiveBufferSize, errors);
    }

private:
    ProtocolClientFactory clients_;
};

TEST(EngineLimits, TheLargestReceiveBufferStillDownloadsThreeFilesOfThreeSegments) {
    TempFolder folder;
    TestEngine test;
    test.engine->settings().receiveBufferSize = INT32_MAX;
    test.engine->settings().minFileSegmentSize = 65536;
    const std::wstring names[] = {L"small.bin", L"medium.bin", L"large.bin"};
    for (const std::wstring& name : names) {
        ASSERT_GE(test.add(peerUrl("nginx_http", L"/files/" + name), folder.file(name), 3), 0);
    }
    ASSERT_TRUE(test.runToEnd());
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    for (const std::wstring& name : names) {
        EXPECT_EQ(fileHash(folder.file(name)), fileHash(servedPath(L"files/" + name)));
    }
}

TEST(EngineLimits, AnAllocationThatFailsInAWorkerFailsOnlyItsFile) {
    TempFolder folder;
    TestEngine test;
    test.engine->setClientFactory(std::make_unique<ThrowingFactory>());
    test.add(peerUrl("nginx_http", L"/throw/one.bin"), folder.file(L"throw.bin"));
    const int32_t fine = test.add(peerUrl("nginx_http", L"/files/small.bin"), folder.file(L"small.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    for (const auto& file : test.host.named(L"FileComplete")) {
        EXPECT_EQ(file.result, file.fileId == fine) << file.fileId;
    }
    EXPECT_EQ(test.errors.error(), 8);
    EXPECT_EQ(fileHash(folder.file(L"small.bin")), fileHash(servedPath(L"files/small.bin")));

    test.engine->querySizeAndTime(peerUrl("nginx_http", L"/throw/one.bin"), L"", L"", L"", 0);
    ASSERT_TRUE(enginetest::pumpUntil([&] { return test.host.count(L"SizeQuery") == 1; }));
    EXPECT_EQ(test.host.last(L"SizeQuery")->texts[1], L"-2");
}

TEST(EngineLimits, ALengthNoDiskCanHoldIsNeverSetOnTheDataFile) {
    // 8 TiB (a sparse file on many systems) and the largest 64-bit length.
    for (const wchar_t* size : {L"8796093022208", L"9223372036854775807"}) {
        TempFolder folder;
        TestEngine test;
        test.add(peerUrl("scripted", L"/claims/" + std::wstring(size) + L"/claims.bin"), folder.file(L"c"),
                 3);
        ASSERT_TRUE(test.runToEnd());
        EXPECT_FALSE(test.host.last(L"FileComplete")->result);
        EXPECT_EQ(test.errors.error(), 7) << size;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExW((folder.file(L"c") + dataFileSuffix()).c_str(),
                                         GetFileExInfoStandard, &data));
        EXPECT_EQ(data.nFileSizeHigh, 0u) << size;
    }
}

}  // namespace
