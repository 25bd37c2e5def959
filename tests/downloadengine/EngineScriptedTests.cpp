// The engine's runs with a scripted client: event order and values, segment plans, retries, failures,
// stops and resumes that no real server produces on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"

namespace {

using enginetest::Event;
using enginetest::pumpUntil;
using enginetest::ScriptedFactory;
using enginetest::ScriptedFile;
using enginetest::someBytes;
using enginetest::TestEngine;
using testsupport::readFileBytes;
using testsupport::TempFolder;

class EngineScripted : public ::testing::Test {
protected:
    void SetUp() override {
        auto factory = std::make_unique<ScriptedFactory>();
        scripted = factory.get();
        test.engine->setClientFactory(std::move(factory));
    }

    std::wstring url(const std::wstring& path) { return L"http://scripted.test" + path; }
    std::vector<std::wstring> names() {
        std::vector<std::wstring> result;
        for (const Event& event : test.host.events) {
            result.push_back(event.name);
        }
        return result;
    }
    std::wstring info(int32_t fileId, int32_t field) { return test.engine->fileInfo(fileId, field); }

    TempFolder folder;
    TestEngine test;
    ScriptedFactory* scripted = nullptr;
};

TEST_F(EngineScripted, OneFileReportsItsStartItsBlocksAndItsEndWithExactFigures) {
    ScriptedFile file;
    file.body = someBytes(600000, 1);
    scripted->serve(L"/a.bin", file);
    const int32_t id = test.add(url(L"/a.bin"), folder.file(L"a.bin"));
    ASSERT_TRUE(test.runToEnd());

    // Start, then for each report a segment report and a file report, then the two ends.
    const auto& events = test.host.events;
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(events[0].name, L"Start");
    EXPECT_EQ(events[0].fileId, id);
    EXPECT_EQ(events[0].texts, (std::vector<std::wstring>{L"600000"}));
    EXPECT_EQ(events[0].number, 1);
    int64_t previous = 0;
    for (std::size_t i = 1; i + 2 < events.size(); i += 2) {
        ASSERT_EQ(events[i].name, L"Segment");
        ASSERT_EQ(events[i + 1].name, L"Progress");
        EXPECT_EQ(events[i].number, 0);
        const int64_t downloaded = std::stoll(events[i].texts[1]);
        EXPECT_GT(downloaded, previous);
        previous = downloaded;
        EXPECT_EQ(events[i].texts, (std::vector<std::wstring>{L"600000", std::to_wstring(downloaded),
                                                              std::to_wstring(600000 - downloaded)}));
        EXPECT_EQ(events[i + 1].texts, events[i].texts);
        EXPECT_EQ(events[i + 1].fileId, id);
        EXPECT_GE(events[i + 1].remainTime, 0);
    }
    EXPECT_EQ(previous, 600000);
    EXPECT_EQ(events[events.size() - 2].name, L"FileComplete");
    EXPECT_TRUE(events[events.size() - 2].result);
    EXPECT_EQ(events.back().name, L"Complete");
    EXPECT_TRUE(events.back().result);

    EXPECT_EQ(readFileBytes(folder.file(L"a.bin")), file.body);
    EXPECT_EQ(info(id, 2), L"3");
    EXPECT_EQ(info(id, 4), L"600000");
    EXPECT_EQ(info(id, 11), folder.file(L"a.bin"));
    EXPECT_GT(std::stod(info(id, 8)), 0.0);  // the rate, settled when the file ends
    EXPECT_DOUBLE_EQ(test.engine->overallProgress(), 1.0);
    EXPECT_FALSE(test.engine->running());
}

TEST_F(EngineScripted, AFileOfUnknownSizeReportsMinusOneUntilItEnds) {
    ScriptedFile file;
    file.body = someBytes(5000, 2);
    file.sizeKnown = false;
    file.rangesServed = false;
    scripted->serve(L"/u.bin", file);
    const int32_t id = test.add(url(L"/u.bin"), folder.file(L"u.bin"), 3);
    ASSERT_TRUE(test.runToEnd());

    const Event* start = test.host.last(L"Start");
    ASSERT_TRUE(start);
    EXPECT_EQ(start->texts[0], L"-1");
    EXPECT_EQ(start->number, 1);
    for (const Event& progress : test.host.named(L"Progress")) {
        EXPECT_EQ(progress.texts[0], L"-1");
        EXPECT_EQ(progress.texts[2], L"-1");
        EXPECT_EQ(progress.remainTime, -1);
    }
    for (const Event& segment : test.host.named(L"Segment")) {
        EXPECT_EQ(segment.texts[0], L"-1");
        EXPECT_EQ(segment.texts[2], L"-1");
    }
    EXPECT_TRUE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(info(id, 3), L"5000");
    EXPECT_EQ(readFileBytes(folder.file(L"u.bin")), file.body);
}

TEST_F(EngineScripted, ASegmentedFileAsksEachPieceOnceAndWritesItInPlace) {
    ScriptedFile file;
    file.body = someBytes(1000000, 3);
    scripted->serve(L"/s.bin", file);
    const int32_t id = test.add(url(L"/s.bin"), folder.file(L"s.bin"), 3);
    ASSERT_TRUE(test.runToEnd());

    // The first request is for the whole file; it tells the size and that ranges are served.
    auto opens = scripted->opens(L"/s.bin");
    std::sort(opens.begin() + 1, opens.end());
    EXPECT_EQ(opens, (std::vector<std::string>{"0+-1", "333334+333334", "666668+333332"}));
    EXPECT_EQ(test.host.last(L"Start")->number, 3);
    std::set<int32_t> indexes;
    for (const Event& segment : test.host.named(L"Segment")) {
        indexes.insert(segment.number);
    }
    EXPECT_EQ(indexes, (std::set<int32_t>{0, 1, 2}));
    EXPECT_EQ(readFileBytes(folder.file(L"s.bin")), file.body);
    EXPECT_EQ(test.engine->segmentInfo(id, 2, 0), L"666668");
    EXPECT_EQ(test.engine->segmentInfo(id, 2, 2), L"333332");
}

TEST_F(EngineScripted, AnEmptyFileFailsAndStaysIncomplete) {
    ScriptedFile file;
    scripted->serve(L"/e.bin", file);
    const int32_t id = test.add(url(L"/e.bin"), folder.file(L"e.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(info(id, 2), L"1");
    EXPECT_EQ(GetFileAttributesW(folder.file(L"e.bin").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EngineScripted, RetriesTakeTheirNumberOfRequests) {
    ScriptedFile failing;
    failing.body = someBytes(100, 4);
    failing.failOpens = 1;
    scripted->serve(L"/once.bin", failing);
    test.engine->settings().retryWait = 60000;  // never waited for with RetryCount 0
    test.add(url(L"/once.bin"), folder.file(L"once.bin"));
    ASSERT_TRUE(test.runToEnd(20000));
    EXPECT_EQ(scripted->opens(L"/once.bin").size(), 1u);
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(test.errors.error(), 17);

    ASSERT_TRUE(test.engine->clearFiles());
    failing.failOpens = 2;
    scripted->serve(L"/twice.bin", failing);
    test.engine->settings().retryWait = 20;
    test.engine->settings().attempts = 3;
    test.add(url(L"/twice.bin"), folder.file(L"twice.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(scripted->opens(L"/twice.bin").size(), 3u);
    EXPECT_TRUE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(readFileBytes(folder.file(L"twice.bin")), failing.body);
}

TEST_F(EngineScripted, AReceiveThatFailsAsksForTheRestOfItsSegment) {
    ScriptedFile file;
    file.body = someBytes(20000, 5);
    file.failAfter = 6000;
    scripted->serve(L"/cut.bin", file);
    test.engine->settings().retryWait = 10;
    test.engine->settings().attempts = 3;
    test.add(url(L"/cut.bin"), folder.file(L"cut.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_TRUE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(readFileBytes(folder.file(L"cut.bin")), file.body);
    EXPECT_EQ(scripted->opens(L"/cut.bin"),
              (std::vector<std::string>{"0+-1", "6000+14000", "12000+8000", "18000+2000"}));

    // Without a size, a cut body cannot be continued: the file fails instead of mixing offsets.
    ScriptedFile unknown = file;
    unknown.sizeKnown = false;
    unknown.rangesServed = false;
    scripted->serve(L"/cut2.bin", unknown);
    ASSERT_TRUE(test.engine->clearFiles());
    test.add(url(L"/cut2.bin"), folder.file(L"cut2.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(scripted->opens(L"/cut2.bin").size(), 1u);
}

TEST_F(EngineScripted, StopEndsTheRunAtOnceAndStartsNothingNew) {
    ScriptedFile slow;
    slow.blockDelayMs = 20;
    for (int i = 0; i < 3; ++i) {
        slow.body = someBytes(400000, 10 + i);
        scripted->serve(L"/slow" + std::to_wstring(i), slow);
        test.add(url(L"/slow" + std::to_wstring(i)), folder.file(L"slow" + std::to_wstring(i)));
    }
    test.engine->settings().concurrentDownloadFileCount = 2;
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") >= 4; }));
    test.engine->stopDownload();

    EXPECT_FALSE(test.engine->running());
    EXPECT_EQ(test.errors.error(), 33);
    EXPECT_EQ(test.host.count(L"FileComplete"), 2);
    for (const Event& done : test.host.named(L"FileComplete")) {
        EXPECT_FALSE(done.result);
    }
    ASSERT_EQ(test.host.count(L"Complete"), 1);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_TRUE(scripted->opens(L"/slow2").empty());
    EXPECT_EQ(test.engine->fileInfo(0, 2), L"1");
    EXPECT_TRUE(test.engine->clearFiles());
    // Nothing is left to arrive: every message of the run was queued before the stop returned.
    enginetest::pumpWaiting();
    EXPECT_EQ(test.host.count(L"Complete"), 1);
}

TEST_F(EngineScripted, ResumeContinuesStoppedFilesAndRestartsOnesWhoseServerDroppedRanges) {
    // Large enough that neither file can end before the stop, however slowly this thread pumps.
    constexpr int64_t kResumedSize = 3000000;
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(kResumedSize, 20);
    scripted->serve(L"/r1.bin", slow);
    slow.body = someBytes(kResumedSize, 21);
    scripted->serve(L"/r2.bin", slow);
    const int32_t one = test.add(url(L"/r1.bin"), folder.file(L"r1.bin"), 1);
    const int32_t two = test.add(url(L"/r2.bin"), folder.file(L"r2.bin"), 1);
    ASSERT_TRUE(test.engine->download());
    auto progressOf = [&](int32_t fileId) {
        int count = 0;
        for (const Event& event : test.host.named(L"Progress")) {
            count += event.fileId == fileId;
        }
        return count;
    };
    ASSERT_TRUE(pumpUntil([&] { return progressOf(one) >= 2 && progressOf(two) >= 2; }));
    test.engine->stopDownload();
    const int64_t partOne = std::stoll(test.engine->fileInfo(one, 4));
    ASSERT_GT(partOne, 0);
    ASSERT_LT(partOne, kResumedSize);

    // The second file's server no longer serves ranges: it starts again from its first byte.
    slow.rangesServed = false;
    slow.blockDelayMs = 0;
    scripted->serve(L"/r2.bin", slow);
    ScriptedFile fast = slow;
    fast.rangesServed = true;
    fast.body = someBytes(kResumedSize, 20);
    scripted->serve(L"/r1.bin", fast);
    test.host.events.clear();
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    EXPECT_EQ(readFileBytes(folder.file(L"r1.bin")), fast.body);
    EXPECT_EQ(readFileBytes(folder.file(L"r2.bin")), slow.body);
    const auto opensOne = scripted->opens(L"/r1.bin");
    EXPECT_EQ(opensOne.back(), std::to_string(partOne) + "+" + std::to_string(kResumedSize - partOne));
    EXPECT_EQ(scripted->opens(L"/r2.bin").back(), "0+-1");
    EXPECT_EQ(test.engine->fileInfo(two, 2), L"3");
}

TEST_F(EngineScripted, ASegmentWhoseServerDroppedRangesFailsTheFileInsteadOfCorruptingIt) {
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(900000, 30);
    // No segment can finish, so the stop always finds the file in the middle.
    slow.holdAfter = 100000;
    scripted->serve(L"/seg.bin", slow);
    test.engine->settings().minFileSegmentSize = 1000;
    const int32_t id = test.add(url(L"/seg.bin"), folder.file(L"seg.bin"), 3);
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Segment") >= 3; }));
    test.engine->stopDownload();

    slow.rangesServed = false;
    slow.blockDelayMs = 0;
    slow.holdAfter = -1;
    scripted->serve(L"/seg.bin", slow);
    test.host.events.clear();
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    const Event* fileEnd = test.host.last(L"FileComplete");
    ASSERT_NE(fileEnd, nullptr);
    // Either the whole file again from 0 (never bytes at the wrong offset) or a failure.
    if (fileEnd->result) {
        EXPECT_EQ(readFileBytes(folder.file(L"seg.bin")), slow.body);
    } else {
        EXPECT_EQ(GetFileAttributesW(folder.file(L"seg.bin").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(test.engine->fileInfo(id, 2), L"1");
    }
}

TEST_F(EngineScripted, EveryRecordOfARunIsFreed) {
    ScriptedFile file;
    file.body = someBytes(50000, 40);
    scripted->serve(L"/m.bin", file);
    auto run = [&] {
        test.add(url(L"/m.bin"), folder.file(L"m.bin"), 3);
        ASSERT_TRUE(test.runToEnd());
        ASSERT_TRUE(test.engine->clearFiles());
        std::vector<Event>().swap(test.host.events);
    };
    run();  // warms up what a first run keeps (list capacities)
    const long before = enginetest::liveAllocations();
    for (int i = 0; i < 3; ++i) {
        run();
    }
    EXPECT_EQ(enginetest::liveAllocations(), before);
}

TEST_F(EngineScripted, TheFilePathIsValidInsideTheCompletionEventAndTheFileThenLeavesTheList) {
    ScriptedFile file;
    file.body = someBytes(3000, 50);
    scripted->serve(L"/x.bin", file);
    test.engine->settings().autoRemoveCompletedFiles = true;
    const int32_t id = test.add(url(L"/x.bin"), folder.file(L"x.bin"));
    std::wstring seenPath;
    std::string seenBytes;
    test.host.whenFileComplete = [&](int32_t fileId, bool) {
        seenPath = test.engine->fileInfo(fileId, 11);
        seenBytes = readFileBytes(seenPath);
    };
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(seenPath, folder.file(L"x.bin"));
    EXPECT_EQ(seenBytes, file.body);
    EXPECT_EQ(test.engine->fileInfo(id, 16), L"0");
}

TEST_F(EngineScripted, ReleasingTheEngineDuringARunEndsEveryThread) {
    ScriptedFile slow;
    slow.blockDelayMs = 10;
    slow.body = someBytes(200000, 60);
    for (int round = 0; round < 50; ++round) {
        TestEngine local;
        auto factory = std::make_unique<ScriptedFactory>();
        factory->serve(L"/a", slow);
        factory->serve(L"/b", slow);
        local.engine->setClientFactory(std::move(factory));
        local.add(url(L"/a"), folder.file(L"a" + std::to_wstring(round)), 2);
        local.add(url(L"/b"), folder.file(L"b" + std::to_wstring(round)), 2);
        ASSERT_TRUE(local.engine->download());
        if (round % 2) {
            pumpUntil([&] { return local.host.count(L"Progress") >= 2; }, 10000);
        }
        local.engine.reset();
    }
}

TEST_F(EngineScripted, ResumeEdgesStopWhenIdleNoHeaderFolderAndAHeaderLeftOpen) {
    // A stop without a run changes nothing, not even the last error.
    test.errors.setError(17);
    test.engine->stopDownload();
    EXPECT_EQ(test.errors.error(), 17);
    // Without a header folder a new list has nothing to resume: TRUE, and nothing happens.
    EXPECT_TRUE(test.engine->resumeDownload());
    EXPECT_FALSE(test.engine->running());
    enginetest::pumpWaiting();
    EXPECT_TRUE(test.host.events.empty());

    // A header whose state slot still says "open" (left by a crash) is announced with id -1 and skipped.
    TempFolder headers;
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(2000000, 70);
    scripted->serve(L"/h.bin", slow);
    test.engine->setSessionTempSubfolder(headers.path());
    test.add(url(L"/h.bin"), folder.file(L"h.bin"));
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") > 0; }));
    test.engine->stopDownload();
    std::wstring headerPath;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((headers.path() + L"*.hdr").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    headerPath = headers.path() + entry.cFileName;
    FindClose(search);
    std::string bytes = readFileBytes(headerPath);
    ASSERT_GE(bytes.size(), 4u);
    bytes.replace(0, 4, std::string(4, '\0'));
    ASSERT_TRUE(testsupport::writeFileBytes(headerPath, bytes));

    TestEngine fresh;
    fresh.engine->setSessionTempSubfolder(headers.path());
    EXPECT_FALSE(fresh.engine->resumeDownload());
    EXPECT_EQ(fresh.errors.error(), 32);
    ASSERT_EQ(fresh.host.count(L"Resume"), 1);
    EXPECT_EQ(fresh.host.last(L"Resume")->fileId, -1);
    EXPECT_EQ(fresh.host.last(L"Resume")->texts[1], headerPath);
}

}  // namespace
