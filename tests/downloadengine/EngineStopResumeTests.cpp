// Stopping and resuming against real peers: nginx's throttled files and the scripted server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::Event;
using enginetest::fileHash;
using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::AccessEntry;
using testsupport::accessLog;
using testsupport::peerUrl;
using testsupport::servedPath;
using testsupport::TempFolder;

// Seconds since 1970, the clock of nginx's log.
double unixNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart - 116444736000000000ull) / 1e7;
}

std::wstring slowName(int index) {
    return L"slow" + std::to_wstring(index) + L".bin";
}

// Files that reported progress so far.
std::set<int32_t> filesWithProgress(const enginetest::RecordingHost& host) {
    std::set<int32_t> files;
    for (const Event& progress : host.named(L"Progress")) {
        files.insert(progress.fileId);
    }
    return files;
}

TEST(EngineStop, AStopEndsEveryTransferAndNoConnectionFollowsIt) {
    TempFolder folder;
    TestEngine test;
    test.engine->settings().minFileSegmentSize = 262144;
    for (int i = 0; i < 6; ++i) {
        test.add(peerUrl("nginx_http", L"/slow/" + slowName(i)), folder.file(slowName(i)), 2);
    }
    const double began = unixNow();
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return filesWithProgress(test.host).size() == 3; }));

    const ULONGLONG before = GetTickCount64();
    test.engine->stopDownload();
    const double stopped = unixNow();
    std::printf("StopDownload took %llu ms with 3 files of 2 segments running\n", GetTickCount64() - before);

    EXPECT_FALSE(test.engine->running());
    EXPECT_EQ(test.errors.error(), 33);
    ASSERT_EQ(test.host.count(L"Complete"), 1);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(test.host.count(L"FileComplete"), 3);
    EXPECT_TRUE(test.engine->clearFiles());

    // nginx logs a request when it ends: once the three aborted files are logged, every request of
    // the run is, and none may have begun after the stop.
    auto slowFilesLogged = [&] {
        std::set<std::string> files;
        for (const AccessEntry& entry : accessLog()) {
            if (entry.uri.rfind("/slow/", 0) == 0 && entry.end >= began - 1) {
                EXPECT_LT(entry.start, stopped + 0.01) << entry.uri;
                files.insert(entry.uri);
            }
        }
        return files;
    };
    ASSERT_TRUE(pumpUntil([&] { return slowFilesLogged().size() >= 3; }, 20000));
    EXPECT_EQ(slowFilesLogged().size(), 3u);
}

TEST(EngineStop, TheProgramsPoolPatternStopsClearsAndReusesAControl) {
    TempFolder folder;
    TestEngine test;
    for (int round = 0; round < 50; ++round) {
        test.host.events.clear();
        const std::wstring prefix = L"r" + std::to_wstring(round) + L"_";
        test.add(peerUrl("nginx_http", L"/slow/" + slowName(round % 8)), folder.file(prefix + L"a.bin"));
        test.add(peerUrl("nginx_http", L"/slow/" + slowName((round + 1) % 8)),
                 folder.file(prefix + L"b.bin"));
        ASSERT_TRUE(test.engine->download()) << "round " << round;
        ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") > 0; })) << "round " << round;
        test.engine->stopDownload();
        ASSERT_EQ(test.errors.error(), 33) << "round " << round;
        ASSERT_EQ(test.host.count(L"Complete"), 1) << "round " << round;
        ASSERT_TRUE(test.engine->clearFiles()) << "round " << round;
    }
}

TEST(EngineStop, ReleasingTheEngineMidRunJoinsItsThreads) {
    TempFolder folder;
    int threads = 0;
    int handles = 0;
    for (int round = 0; round < 20; ++round) {
        TestEngine test;
        test.engine->settings().minFileSegmentSize = 262144;
        test.add(peerUrl("nginx_http", L"/slow/" + slowName(round % 8)), folder.file(L"a.bin"), 3);
        test.add(peerUrl("nginx_http", L"/files/large.bin"), folder.file(L"b.bin"), 3);
        ASSERT_TRUE(test.engine->download());
        if (round % 2) {
            pumpUntil([&] { return test.host.count(L"Progress") > 2; }, 10000);
        }
        test.engine.reset();
        // The first round's leftovers are what the process keeps (the socket layer, caches); from then
        // on every release ends each thread it started.
        if (round == 0) {
            threads = enginetest::processThreads();
            handles = enginetest::openHandles();
        } else {
            EXPECT_TRUE(pumpUntil([&] { return enginetest::processThreads() <= threads; }, 5000))
                << "round " << round << ": " << enginetest::processThreads() << " threads, " << threads
                << " before";
        }
    }
    // Nor is any handle of theirs left open.
    EXPECT_LE(enginetest::openHandles(), handles);
}

TEST(EngineResume, AStoppedRunResumesInTheSameControl) {
    TempFolder folder;
    TestEngine test;
    test.engine->settings().minFileSegmentSize = 262144;
    for (int i = 0; i < 3; ++i) {
        test.add(peerUrl("nginx_http", L"/slow/" + slowName(i)), folder.file(slowName(i)), 2);
    }
    test.add(peerUrl("nginx_http", L"/files/one.bin"), folder.file(L"one.bin"));
    test.engine->settings().concurrentDownloadFileCount = 4;
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil(
        [&] { return filesWithProgress(test.host).size() >= 3 && test.host.count(L"FileComplete") >= 1; }));
    test.engine->stopDownload();
    ASSERT_FALSE(test.host.last(L"Complete")->result);
    const std::vector<Event> finishedBefore = test.host.named(L"FileComplete");
    EXPECT_EQ(finishedBefore.size(), 4u);
    // A slow file may have completed before the stop on a busy machine.
    const auto stoppedBefore = std::count_if(finishedBefore.begin(), finishedBefore.end(),
                                             [](const Event& event) { return !event.result; });
    EXPECT_GE(stoppedBefore, 1);

    test.host.events.clear();
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    // Only the files that were not complete ran again.
    EXPECT_EQ(test.host.count(L"Start"), stoppedBefore);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fileHash(folder.file(slowName(i))), fileHash(servedPath(L"slow/" + slowName(i))));
    }
    EXPECT_EQ(fileHash(folder.file(L"one.bin")), fileHash(servedPath(L"files/one.bin")));
}

TEST(EngineResume, ANewControlResumesFromTheHeaderFiles) {
    TempFolder folder;
    TempFolder headers;
    std::vector<int32_t> ids;
    {
        TestEngine first;
        first.engine->setSessionTempSubfolder(headers.path());
        first.engine->settings().minFileSegmentSize = 262144;
        for (int i = 3; i < 6; ++i) {
            ids.push_back(
                first.add(peerUrl("nginx_http", L"/slow/" + slowName(i)), folder.file(slowName(i)), 2));
        }
        ASSERT_TRUE(first.engine->download());
        ASSERT_TRUE(pumpUntil([&] { return filesWithProgress(first.host).size() == 3; }));
        first.engine->stopDownload();
    }
    TestEngine second;
    second.engine->setSessionTempSubfolder(headers.path());
    ASSERT_TRUE(second.engine->resumeDownload());
    std::vector<Event> resumed = second.host.named(L"Resume");
    ASSERT_EQ(resumed.size(), 3u);
    for (std::size_t i = 0; i < resumed.size(); ++i) {
        EXPECT_EQ(resumed[i].fileId, ids[i]);
        EXPECT_EQ(resumed[i].texts[0], peerUrl("nginx_http", L"/slow/" + slowName(static_cast<int>(i) + 3)));
        EXPECT_EQ(resumed[i].texts[1].rfind(headers.path(), 0), 0u);
    }
    ASSERT_TRUE(pumpUntil([&] { return second.host.completed(); }));
    EXPECT_TRUE(second.host.last(L"Complete")->result);
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(fileHash(folder.file(slowName(i))), fileHash(servedPath(L"slow/" + slowName(i))));
    }
    // Ids go on after the resumed ones.
    EXPECT_EQ(second.add(peerUrl("nginx_http", L"/files/one.bin"), folder.file(L"one.bin")), ids.back() + 1);
}

TEST(EngineResume, AServerThatIgnoresRangesOnResumeNeverGivesACorruptFile) {
    for (int32_t segments : {1, 3}) {
        TempFolder folder;
        TestEngine test;
        test.engine->settings().minFileSegmentSize = 65536;
        const std::wstring name = L"switch" + std::to_wstring(segments) + L".bin";
        const int32_t id =
            test.add(peerUrl("scripted", L"/switch/600000/" + name), folder.file(name), segments);
        ASSERT_TRUE(test.engine->download());
        ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") >= 2; }));
        test.engine->stopDownload();
        ASSERT_TRUE(testsupport::writeFileBytes(testsupport::scriptedPath(name + L".ignore-ranges"), ""));

        test.host.events.clear();
        ASSERT_TRUE(test.engine->resumeDownload());
        ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
        const std::string expected = fileHash(testsupport::scriptedPath(name));
        if (test.host.last(L"FileComplete")->result) {
            EXPECT_EQ(fileHash(folder.file(name)), expected);
        } else {
            EXPECT_EQ(fileHash(folder.file(name)), "");
            EXPECT_EQ(test.engine->fileInfo(id, 2), L"1");
        }
        // A single segment starts again from its first byte and succeeds.
        if (segments == 1) {
            EXPECT_TRUE(test.host.last(L"FileComplete")->result);
        }
    }
}

}  // namespace
