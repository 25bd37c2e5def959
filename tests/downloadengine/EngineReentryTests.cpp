// Hosts that call back into the engine from its events and dialogs, end reports that never arrive, and
// the failure code a host reads: one run at a time, a stop that always returns, each file's own code.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"

namespace {

using namespace enginetest;
using testsupport::TempFolder;

// Answers every save dialog with `answer`; the first one first runs `inside`, as a host's timer or
// event would while the dialog pumps messages.
struct NestingDialogs : SaveDialogs {
    bool askSaveFile(const std::wstring&, const std::wstring&, std::wstring& path) override {
        if (const std::function<void()> nested = std::exchange(inside, nullptr)) {
            nested();
        }
        path = answer;
        return true;
    }
    bool askFolder(const std::wstring&, const std::wstring&, std::wstring&) override { return false; }
    std::wstring answer;
    std::function<void()> inside;
};

// Drops the next FileFinished report this thread takes from its queue, as if it had never been posted.
int g_reportsToLose = 0;
LRESULT CALLBACK loseReport(int code, WPARAM removal, LPARAM parameter) {
    auto* message = reinterpret_cast<MSG*>(parameter);
    if (code == HC_ACTION && removal == PM_REMOVE && g_reportsToLose > 0 &&
        message->message == notificationMessageId(NotificationMessage::FileFinished)) {
        message->message = WM_NULL;
        --g_reportsToLose;
    }
    return CallNextHookEx(nullptr, code, removal, parameter);
}

class EngineReentry : public ::testing::Test {
protected:
    void SetUp() override {
        auto factory = std::make_unique<ScriptedFactory>();
        scripted = factory.get();
        scripted->controlErrors = &test.errors;
        test.engine->setClientFactory(std::move(factory));
        slow.blockDelayMs = 5;
        slow.body = someBytes(3000000, 80);
    }
    // Serves `file` and queues it, saved under its name in the test's folder unless `savePath` is given.
    int32_t add(const std::wstring& name, const ScriptedFile& file, const wchar_t* savePath = nullptr) {
        scripted->serve(L"/" + name, file);
        return test.add(L"http://scripted.test/" + name, savePath ? savePath : folder.file(name));
    }

    HangGuard wholeTest{"an EngineReentry test (or its engine's release)", 240000};
    TempFolder folder;
    TestEngine test;
    ScriptedFactory* scripted = nullptr;
    ScriptedFile slow;
};

TEST_F(EngineReentry, AStopFromAnEventReturnsAndTheEventsItRaisesCannotStartARun) {
    add(L"a.bin", slow);
    add(L"b.bin", slow);
    std::vector<int32_t> refusals;
    auto refused = [&](bool done) { refusals.push_back(done ? 0 : test.errors.error()); };
    test.host.whenFileComplete = [&](int32_t, bool) { refused(test.engine->download()); };
    test.host.whenComplete = [&](bool) { refused(test.engine->resumeDownload()); };
    bool stopped = false;
    test.host.whenProgress = [&](const Event&) {
        if (!std::exchange(stopped, true)) {
            HangGuard guard("StopDownload inside an event, whose own events start a run");
            test.engine->stopDownload();
            EXPECT_FALSE(test.engine->running());
        }
    };
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(refusals, (std::vector<int32_t>{20, 20, 20}));
    EXPECT_EQ(test.errors.error(), 33);
    EXPECT_EQ(test.host.count(L"Complete"), 1);
}

TEST_F(EngineReentry, AStopFromTheLastFilesEventEndsTheRunBeforeItReturns) {
    add(L"last.bin", ScriptedFile{someBytes(3000, 86)});
    int endsSeenByTheStop = -1;
    test.host.whenFileComplete = [&](int32_t, bool) {
        test.engine->stopDownload();
        endsSeenByTheStop = test.host.count(L"Complete");
    };
    ASSERT_TRUE(test.runToEnd(20000));
    EXPECT_EQ(endsSeenByTheStop, 1);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(test.errors.error(), 33);
}

TEST_F(EngineReentry, AStopFromASegmentEventStillTellsThatReportsFileProgressFirst) {
    // One block, then nothing: no byte arrives after the report, so the stop leaves none to report.
    slow.holdAfter = 1;
    add(L"a.bin", slow);
    bool stopped = false;
    test.host.whenSegment = [&](const Event&) {
        if (!std::exchange(stopped, true)) {
            test.engine->stopDownload();
        }
    };
    ASSERT_TRUE(test.runToEnd());
    // From the segment event on (the timer may have told some progress before it).
    std::vector<std::wstring> names;
    for (const Event& event : test.host.events) {
        if (event.name == L"Segment" || !names.empty()) {
            names.push_back(event.name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Segment", L"Progress", L"FileComplete", L"Complete"}));
}

TEST_F(EngineReentry, CallsWhileASaveDialogPumpsAreRefusedAndTheOuterRunCompletes) {
    auto dialogs = std::make_unique<NestingDialogs>();
    NestingDialogs& asked = *dialogs;
    test.engine->setSaveDialogs(std::move(dialogs));
    slow.blockDelayMs = 1;
    slow.body.resize(400000);
    const ScriptedFile other{someBytes(300000, 82)};
    add(L"d.bin", slow, L"");  // no save path: Download asks for one
    const int32_t otherId = add(L"o.bin", other);
    asked.answer = folder.file(L"d.bin");
    std::vector<int32_t> refusals;
    auto refused = [&](bool done) { refusals.push_back(done ? 0 : test.errors.error()); };
    asked.inside = [&] {
        refused(test.engine->download());
        refused(test.engine->resumeDownload());
        refused(add(L"x.bin", other) >= 0);
        refused(test.engine->removeFile(otherId));
        refused(test.engine->clearFiles());
    };
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(refusals, (std::vector<int32_t>{20, 20, 20, 20, 20}));
    EXPECT_EQ(test.host.count(L"Start"), 2);
    EXPECT_EQ(test.host.count(L"Complete"), 1);
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    EXPECT_EQ(fileHash(folder.file(L"d.bin")), bytesHash(slow.body));
    EXPECT_EQ(fileHash(folder.file(L"o.bin")), bytesHash(other.body));
}

TEST_F(EngineReentry, ARefusedResumeIsJudgedByItsOwnCodeNotByAnotherFilesCode) {
    const int32_t id = add(L"r.bin", slow);
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") >= 2; }));
    test.engine->stopDownload();
    const int64_t part = std::stoll(test.engine->fileInfo(id, 4));

    // The server refuses the resumed request (403) while another file's thread fails with 17.
    slow.failOpens = 1;
    slow.openError = 30;
    slow.concurrentError = 17;
    scripted->serve(L"/r.bin", slow);
    int32_t seen = 0;
    test.host.whenFileComplete = [&](int32_t, bool) { seen = test.errors.error(); };
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Complete") == 2; }));
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(seen, 30);
    // A refusal is no reason to fetch the file again from its first byte.
    EXPECT_EQ(scripted->opens(L"/r.bin").back(), std::to_string(part) + "+" + std::to_string(3000000 - part));
}

TEST_F(EngineReentry, AFileWhoseEndReportIsLostIsSettledAsFailedAndStopAndReleaseReturn) {
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &loseReport, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    const ScriptedFile small{someBytes(3000, 83)};
    for (int round = 0; round < 3; ++round) {
        if (test.engine) {
            ASSERT_TRUE(test.engine->clearFiles());
        }
        test.host.events.clear();
        const int32_t lost = add(L"l.bin", small);
        if (round > 0) {
            add(L"s.bin", slow);
        }
        g_reportsToLose = 1;
        ASSERT_TRUE(test.engine->download());
        if (round == 0) {
            // Alone: the run still ends, with the file failed.
            ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }, 20000));
            EXPECT_FALSE(test.host.last(L"FileComplete")->result);
            EXPECT_EQ(test.engine->fileInfo(lost, 2), L"1");
            continue;
        }
        // Beside a running file: a stop, or a release, returns (or the test's guard ends the program).
        ASSERT_TRUE(pumpUntil([&] { return g_reportsToLose == 0 && test.host.count(L"Progress") > 0; }));
        if (round == 1) {
            test.engine->stopDownload();
            EXPECT_EQ(test.host.count(L"FileComplete"), 2);
            EXPECT_EQ(test.host.count(L"Complete"), 1);
        } else {
            test.engine.reset();
        }
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(EngineReentry, AFailedFileReportsItsOwnCodeAndTheRunItsLastFailure) {
    // The server refuses the file (403) while another file's thread fails with 17.
    ScriptedFile refused{someBytes(1000, 84)};
    refused.failOpens = 1;
    refused.openError = 30;
    refused.concurrentError = 17;
    add(L"403.bin", refused);
    std::vector<int32_t> seen;
    test.host.whenFileComplete = [&](int32_t, bool) {
        seen.push_back(test.errors.error());
        test.engine->clearFiles();  // refused (20) during the run
    };
    test.host.whenComplete = [&](bool) { seen.push_back(test.errors.error()); };
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(seen, (std::vector<int32_t>{30, 30}));
}

}  // namespace
