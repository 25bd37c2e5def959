// Two controls that share a header folder never delete or overwrite the header files of each other's run.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineTestSupport.h"
#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::fileHash;
using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::peerUrl;
using testsupport::servedPath;
using testsupport::TempFolder;

// A new engine in place of the test's, with the default header folder.
void keepDefaultFolder(TestEngine& test) {
    test.engine = std::make_unique<DownloadEngine>(test.errors, test.host, test.host);
    ASSERT_TRUE(test.engine->create());
}

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
    keepDefaultFolder(first);
    keepDefaultFolder(second);
    startSlowRun(first, folder);
    second.engine->settings().autoRemoveCompletedFiles = true;
    second.add(peerUrl("nginx_http", L"/files/medium.bin"), folder.file(L"medium.bin"));
    ASSERT_TRUE(second.runToEnd()) << second.errors.error();
    EXPECT_TRUE(second.host.last(L"Complete")->result);
    expectEveryFileArrived(first, folder);
}

// Stops the run halfway through a slow file.
void stopHalfway(TestEngine& test, const TempFolder& folder, const std::wstring& name) {
    keepDefaultFolder(test);
    test.add(peerUrl("nginx_http", L"/slow/" + name), folder.file(name));
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") > 0; }));
    test.engine->stopDownload();
}

TEST(EngineHeaderFolder, HeadersOfAnEndedProcessResumeInANewControlAndThoseOfALiveOneStayItsOwn) {
    TempFolder folder;
    const std::wstring headers = defaultHeaderFolder();
    deleteHeaderFiles(headers, uniqueHeaderNameScope());  // what ended processes of other suites left
    TestEngine live;
    TestEngine ended;
    stopHalfway(live, folder, L"slow6.bin");
    const std::vector<std::wstring> before = findHeaderFiles(headers, L"-*");
    stopHalfway(ended, folder, L"slow7.bin");
    ended.engine.reset();
    // Its header as a control whose process has ended leaves it (no process has that id). (A Download in
    // any control would delete it, as it deletes every header no running control owns.)
    for (const std::wstring& path : findHeaderFiles(headers, L"-*")) {
        if (std::find(before.begin(), before.end(), path) == before.end()) {
            const std::wstring moved =
                headers + headerFileName(headerFileId(path), L"-FFFFFFF0-01D0000000000000-1");
            ASSERT_TRUE(MoveFileW(path.c_str(), moved.c_str()));
        }
    }
    TestEngine fresh;
    keepDefaultFolder(fresh);
    ASSERT_TRUE(fresh.engine->resumeDownload()) << fresh.errors.error();
    EXPECT_EQ(fresh.host.count(L"Resume"), 1);
    ASSERT_TRUE(pumpUntil([&] { return fresh.host.completed(); }));
    EXPECT_EQ(fileHash(folder.file(L"slow7.bin")), fileHash(servedPath(L"slow/slow7.bin")));

    // The live control's header is still its own.
    ASSERT_TRUE(live.engine->clearFiles());
    live.host.events.clear();
    ASSERT_TRUE(live.engine->resumeDownload()) << live.errors.error();
    ASSERT_TRUE(pumpUntil([&] { return live.host.completed(); }));
    EXPECT_EQ(fileHash(folder.file(L"slow6.bin")), fileHash(servedPath(L"slow/slow6.bin")));
    EXPECT_TRUE(live.engine->clearHeaderFiles() && fresh.engine->clearHeaderFiles());
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
