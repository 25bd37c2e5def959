// Two controls that share a header folder never delete or overwrite the header files of each other's run.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::fileHash;
using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::peerUrl;
using testsupport::servedPath;
using testsupport::TempFolder;

// A slow file that keeps the run going and a quick one whose header waits, closed, for its turn.
void startSlowRun(TestEngine& test, const TempFolder& folder) {
    test.engine->settings().concurrentDownloadFileCount = 1;
    test.engine->settings().autoRemoveCompletedFiles = true;
    test.add(peerUrl("nginx_http", L"/slow/slow1.bin"), folder.file(L"slow1.bin"));
    test.add(peerUrl("nginx_http", L"/files/small.bin"), folder.file(L"small.bin"));
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") > 0; }));
}

void expectEveryFileArrived(TestEngine& test, const TempFolder& folder) {
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    EXPECT_EQ(fileHash(folder.file(L"slow1.bin")), fileHash(servedPath(L"slow/slow1.bin")));
    EXPECT_EQ(fileHash(folder.file(L"small.bin")), fileHash(servedPath(L"files/small.bin")));
}

TEST(EngineHeaderFolder, ControlsKeepingTheDefaultFolderRunSideBySide) {
    TempFolder folder;
    TestEngine first;
    TestEngine second;
    for (TestEngine* test : {&first, &second}) {
        test->engine = std::make_unique<DownloadEngine>(test->errors, test->host, test->host);
        ASSERT_TRUE(test->engine->create());
    }
    startSlowRun(first, folder);
    second.engine->settings().autoRemoveCompletedFiles = true;
    second.add(peerUrl("nginx_http", L"/files/medium.bin"), folder.file(L"medium.bin"));
    ASSERT_TRUE(second.runToEnd()) << second.errors.error();
    EXPECT_TRUE(second.host.last(L"Complete")->result);
    expectEveryFileArrived(first, folder);
}

TEST(EngineHeaderFolder, ARunHoldsTheFolderItsHostNamedUntilItEnds) {
    TempFolder folder;
    TempFolder headers;
    TestEngine first;
    TestEngine second;
    first.engine->setSessionTempSubfolder(headers.path());
    second.engine->setSessionTempSubfolder(headers.path());
    startSlowRun(first, folder);
    second.add(peerUrl("nginx_http", L"/files/medium.bin"), folder.file(L"medium.bin"));
    EXPECT_FALSE(second.engine->download());
    EXPECT_EQ(second.errors.error(), 20);
    EXPECT_FALSE(second.engine->clearHeaderFiles());
    EXPECT_FALSE(second.engine->resumeDownload());
    EXPECT_EQ(second.errors.error(), 20);
    expectEveryFileArrived(first, folder);

    ASSERT_TRUE(second.runToEnd());
    EXPECT_TRUE(second.host.last(L"Complete")->result);
}

}  // namespace
