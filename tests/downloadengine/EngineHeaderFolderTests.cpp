// Two controls that share a header folder never delete or overwrite the header files of each other's run.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScopedHandle.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::fileHash;
using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::binaryPath;
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
    first.keepDefaultHeaderFolder();
    second.keepDefaultHeaderFolder();
    startSlowRun(first, folder);
    second.engine->settings().autoRemoveCompletedFiles = true;
    second.add(peerUrl("nginx_http", L"/files/medium.bin"), folder.file(L"medium.bin"));
    ASSERT_TRUE(second.runToEnd()) << second.errors.error();
    EXPECT_TRUE(second.host.last(L"Complete")->result);
    expectEveryFileArrived(first, folder);
}

// Stops the download of a slow file halfway in a host process of its own, which then ends (see
// stophalfway/); the process, held open as a host that started it may hold it.
ScopedHandle stopHalfwayInAnEndingProcess(const TempFolder& folder, const std::wstring& name) {
    std::wstring command = L"\"" + binaryPath(L"tests\\downloadengine\\stop_halfway.exe") + L"\" " +
                           peerUrl("nginx_http", L"/slow/" + name) + L" \"" + folder.file(name) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    EXPECT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &started));
    ScopedHandle process(started.hProcess);
    CloseHandle(started.hThread);
    DWORD exitCode = 1;
    EXPECT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(process.get(), &exitCode) && exitCode == 0) << exitCode;
    return process;
}

TEST(EngineHeaderFolder, HeadersOfAnEndedProcessResumeInANewControlAndThoseOfALiveOneStayItsOwn) {
    TempFolder folder;
    // What ended processes of other suites left.
    deleteHeaderFiles(defaultHeaderFolder(), uniqueHeaderNameScope());
    TestEngine live;
    live.keepDefaultHeaderFolder();
    ASSERT_TRUE(live.stopHalfway(peerUrl("nginx_http", L"/slow/slow6.bin"), folder.file(L"slow6.bin")));
    const ScopedHandle ended = stopHalfwayInAnEndingProcess(folder, L"slow7.bin");
    auto resumesWhole = [&](TestEngine& test, const std::wstring& name) {
        ASSERT_TRUE(test.engine->resumeDownload()) << test.errors.error();
        EXPECT_EQ(test.host.count(L"Resume"), 1);
        ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
        EXPECT_EQ(fileHash(folder.file(name)), fileHash(servedPath(L"slow/" + name)));
    };
    TestEngine fresh;
    fresh.keepDefaultHeaderFolder();
    resumesWhole(fresh, L"slow7.bin");
    // The live control's header is still its own.
    ASSERT_TRUE(live.engine->clearFiles());
    live.host.events.clear();
    resumesWhole(live, L"slow6.bin");
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
