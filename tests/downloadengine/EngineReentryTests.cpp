// Hosts that call back into the engine from its events and dialogs, reports that never arrive, and
// whose failure code a host reads: the engine keeps one run at a time, always returns from a stop, and
// tells each failed file's own code.
#include <gtest/gtest.h>

#include <map>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"

namespace {

using enginetest::bytesHash;
using enginetest::Event;
using enginetest::fileHash;
using enginetest::HangGuard;
using enginetest::pumpUntil;
using enginetest::ScriptedFactory;
using enginetest::ScriptedFile;
using enginetest::TestEngine;
using testsupport::TempFolder;

std::string someBytes(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    unsigned value = seed * 2246822519u + 7;
    for (char& c : bytes) {
        value = value * 1664525u + 1013904223u;
        c = static_cast<char>(value >> 24);
    }
    return bytes;
}

// Answers every save dialog with one path; the first dialog first runs `inside`, as a host's timer or
// event would while the dialog pumps its messages.
class NestingDialogs : public SaveDialogs {
public:
    bool askSaveFile(const std::wstring&, const std::wstring&, std::wstring& path) override {
        if (inside) {
            const std::function<void()> nested = std::move(inside);
            inside = nullptr;
            nested();
        }
        path = answer;
        return true;
    }
    bool askFolder(const std::wstring&, const std::wstring&, std::wstring&) override { return false; }

    std::wstring answer;
    std::function<void()> inside;
};

// Drops FileFinished reports as this thread takes them from its queue, as if they had never been posted.
class LostReports {
public:
    explicit LostReports(int count) {
        left_ = count;
        lost_ = 0;
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, &LostReports::filter, nullptr, GetCurrentThreadId());
    }
    ~LostReports() { UnhookWindowsHookEx(hook_); }
    LostReports(const LostReports&) = delete;
    LostReports& operator=(const LostReports&) = delete;
    bool installed() const { return hook_ != nullptr; }
    int lost() const { return lost_; }

private:
    static LRESULT CALLBACK filter(int code, WPARAM removal, LPARAM parameter) {
        auto* message = reinterpret_cast<MSG*>(parameter);
        if (code == HC_ACTION && removal == PM_REMOVE && left_ > 0 &&
            message->message == notificationMessageId(NotificationMessage::FileFinished)) {
            message->message = WM_NULL;
            --left_;
            ++lost_;
        }
        return CallNextHookEx(nullptr, code, removal, parameter);
    }
    static inline int left_ = 0;
    static inline int lost_ = 0;
    HHOOK hook_ = nullptr;
};

class EngineReentry : public ::testing::Test {
protected:
    void SetUp() override {
        auto factory = std::make_unique<ScriptedFactory>();
        scripted = factory.get();
        scripted->controlErrors = &test.errors;
        test.engine->setClientFactory(std::move(factory));
    }

    std::wstring url(const std::wstring& path) { return L"http://scripted.test" + path; }
    int progressOf(int32_t fileId) {
        int count = 0;
        for (const Event& event : test.host.named(L"Progress")) {
            count += event.fileId == fileId;
        }
        return count;
    }
    const Event* fileEnd(int32_t fileId) {
        for (const Event& event : test.host.events) {
            if (event.name == L"FileComplete" && event.fileId == fileId) {
                return &event;
            }
        }
        return nullptr;
    }

    HangGuard wholeTest{"an EngineReentry test (or its engine's release)", 240000};
    TempFolder folder;
    TestEngine test;
    ScriptedFactory* scripted = nullptr;
};

TEST_F(EngineReentry, AStopReenteredFromItsOwnEventsReturnsAndRefusesANewRunUntilItHas) {
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(3000000, 1);
    scripted->serve(L"/a.bin", slow);
    scripted->serve(L"/b.bin", slow);
    test.add(url(L"/a.bin"), folder.file(L"a.bin"));
    test.add(url(L"/b.bin"), folder.file(L"b.bin"));
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.count(L"Progress") >= 2; }));

    std::vector<bool> startedInside;
    std::vector<int32_t> codesInside;
    test.host.whenFileComplete = [&](int32_t, bool) {
        startedInside.push_back(test.engine->download());
        codesInside.push_back(test.errors.error());
    };
    test.host.whenComplete = [&](bool) {
        startedInside.push_back(test.engine->resumeDownload());
        codesInside.push_back(test.errors.error());
    };
    {
        HangGuard guard("StopDownload whose events start a run");
        test.engine->stopDownload();
    }
    EXPECT_EQ(startedInside, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(codesInside, (std::vector<int32_t>{20, 20, 20}));
    EXPECT_FALSE(test.engine->running());
    EXPECT_EQ(test.errors.error(), 33);
    EXPECT_EQ(test.host.count(L"Complete"), 1);

    // Once the stop has returned, the run resumes and completes.
    test.host.whenFileComplete = nullptr;
    test.host.whenComplete = nullptr;
    slow.blockDelayMs = 0;
    scripted->serve(L"/a.bin", slow);
    scripted->serve(L"/b.bin", slow);
    test.host.events.clear();
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    EXPECT_EQ(fileHash(folder.file(L"a.bin")), bytesHash(slow.body));
    EXPECT_EQ(fileHash(folder.file(L"b.bin")), bytesHash(slow.body));

    // A stop raised from the event of a file that ended while another runs returns, and ends the run.
    ASSERT_TRUE(test.engine->clearFiles());
    ScriptedFile quick;
    quick.body = someBytes(2000, 2);
    scripted->serve(L"/q.bin", quick);
    slow.blockDelayMs = 5;
    scripted->serve(L"/s.bin", slow);
    const int32_t quickId = test.add(url(L"/q.bin"), folder.file(L"q.bin"));
    const int32_t slowId = test.add(url(L"/s.bin"), folder.file(L"s.bin"));
    bool stoppedInside = false;
    test.host.whenFileComplete = [&](int32_t fileId, bool) {
        if (fileId == quickId) {
            HangGuard guard("StopDownload inside OnFileDownloadComplete");
            test.engine->stopDownload();
            stoppedInside = !test.engine->running();
        }
    };
    test.host.events.clear();
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_TRUE(stoppedInside);
    ASSERT_TRUE(fileEnd(quickId) && fileEnd(slowId));
    EXPECT_TRUE(fileEnd(quickId)->result);
    EXPECT_FALSE(fileEnd(slowId)->result);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(test.host.count(L"Complete"), 1);
}

TEST_F(EngineReentry, CallsWhileASaveDialogPumpsAreRefusedAndTheOuterRunCompletes) {
    auto dialogs = std::make_unique<NestingDialogs>();
    NestingDialogs& asked = *dialogs;
    test.engine->setSaveDialogs(std::move(dialogs));
    ScriptedFile file;
    file.blockDelayMs = 1;
    file.body = someBytes(400000, 3);
    scripted->serve(L"/d.bin", file);
    ScriptedFile other;
    other.body = someBytes(300000, 4);
    scripted->serve(L"/o.bin", other);
    test.add(url(L"/d.bin"), L"", 2);  // no save path: Download asks for one
    const int32_t otherId = test.add(url(L"/o.bin"), folder.file(L"o.bin"), 2);

    asked.answer = folder.file(L"d.bin");
    std::vector<bool> results;
    std::vector<int32_t> codes;
    asked.inside = [&] {
        results.push_back(test.engine->download());
        codes.push_back(test.errors.error());
        results.push_back(test.engine->resumeDownload());
        codes.push_back(test.errors.error());
        results.push_back(test.add(url(L"/x.bin"), folder.file(L"x.bin")) >= 0);
        codes.push_back(test.errors.error());
        results.push_back(test.engine->removeFile(otherId));
        codes.push_back(test.errors.error());
        results.push_back(test.engine->clearFiles());
        codes.push_back(test.errors.error());
    };
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(results, (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(codes, (std::vector<int32_t>{20, 20, 20, 20, 20}));
    EXPECT_EQ(test.host.count(L"Start"), 2);
    EXPECT_EQ(test.host.count(L"Complete"), 1);
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    EXPECT_EQ(fileHash(folder.file(L"d.bin")), bytesHash(file.body));
    EXPECT_EQ(fileHash(folder.file(L"o.bin")), bytesHash(other.body));
    EXPECT_EQ(test.engine->fileInfo(-1, 16), L"2");
}

TEST_F(EngineReentry, ARefusedResumeIsJudgedByItsOwnCodeNotByAnotherFilesCode) {
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(3000000, 5);
    scripted->serve(L"/r.bin", slow);
    const int32_t id = test.add(url(L"/r.bin"), folder.file(L"r.bin"));
    ASSERT_TRUE(test.engine->download());
    ASSERT_TRUE(pumpUntil([&] { return progressOf(id) >= 2; }));
    test.engine->stopDownload();
    const int64_t part = std::stoll(test.engine->fileInfo(id, 4));
    ASSERT_GT(part, 0);

    // The server refuses the resumed request (403) while another file's thread fails with 17.
    slow.blockDelayMs = 0;
    slow.failOpens = 1;
    slow.openError = 30;
    slow.concurrentError = 17;
    scripted->serve(L"/r.bin", slow);
    int32_t seen = 0;
    test.host.whenFileComplete = [&](int32_t, bool) { seen = test.errors.error(); };
    test.host.events.clear();
    ASSERT_TRUE(test.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(seen, 30);
    // A refusal is no reason to fetch the file again from its first byte.
    EXPECT_EQ(scripted->opens(L"/r.bin").back(),
              std::to_string(part) + "+" + std::to_string(3000000 - part));
}

TEST_F(EngineReentry, AFileWhoseEndReportIsLostIsSettledAsFailedAndStopAndReleaseReturn) {
    ScriptedFile small;
    small.body = someBytes(3000, 6);
    scripted->serve(L"/l.bin", small);
    const int32_t id = test.add(url(L"/l.bin"), folder.file(L"l.bin"));
    {
        LostReports lost(1);
        ASSERT_TRUE(lost.installed());
        ASSERT_TRUE(test.engine->download());
        ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }, 20000));
        EXPECT_EQ(lost.lost(), 1);
    }
    ASSERT_TRUE(fileEnd(id));
    EXPECT_FALSE(fileEnd(id)->result);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(test.engine->fileInfo(id, 2), L"1");

    // A stop, and a release, while a file whose report was lost holds its place.
    ScriptedFile slow;
    slow.blockDelayMs = 5;
    slow.body = someBytes(3000000, 7);
    scripted->serve(L"/s.bin", slow);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(test.engine->clearFiles());
        test.host.events.clear();
        const int32_t slowId = test.add(url(L"/s.bin"), folder.file(L"s.bin"));
        test.add(url(L"/l.bin"), folder.file(L"l.bin"));
        LostReports lost(1);
        ASSERT_TRUE(test.engine->download());
        ASSERT_TRUE(pumpUntil([&] { return lost.lost() == 1 && progressOf(slowId) > 0; }));
        HangGuard guard(round == 0 ? "StopDownload after a lost report" : "release after a lost report");
        if (round == 0) {
            test.engine->stopDownload();
            EXPECT_FALSE(test.engine->running());
            EXPECT_EQ(test.host.count(L"FileComplete"), 2);
            EXPECT_EQ(test.host.count(L"Complete"), 1);
        } else {
            test.engine.reset();
        }
    }
}

TEST_F(EngineReentry, EachFailedFileReportsItsOwnCodeAndTheRunItsLastFailure) {
    ScriptedFile refused;
    refused.body = someBytes(1000, 8);
    refused.failOpens = 1;
    refused.openError = 30;
    ScriptedFile broken = refused;
    broken.openError = 17;
    scripted->serve(L"/403.bin", refused);
    scripted->serve(L"/500.bin", broken);
    const int32_t refusedId = test.add(url(L"/403.bin"), folder.file(L"403.bin"));
    const int32_t brokenId = test.add(url(L"/500.bin"), folder.file(L"500.bin"));
    std::map<int32_t, int32_t> seen;
    test.host.whenFileComplete = [&](int32_t fileId, bool) { seen[fileId] = test.errors.error(); };
    ASSERT_TRUE(test.engine->download());
    // Both fail before the host hears of either.
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (scripted->failedOpens() < 2 && GetTickCount64() < deadline) {
        Sleep(1);
    }
    ASSERT_EQ(scripted->failedOpens(), 2);
    ASSERT_TRUE(pumpUntil([&] { return test.host.completed(); }));
    EXPECT_EQ(seen[refusedId], 30);
    EXPECT_EQ(seen[brokenId], 17);
    EXPECT_FALSE(test.host.last(L"Complete")->result);
    EXPECT_EQ(test.errors.error(), seen[test.host.last(L"FileComplete")->fileId]);

    // An empty body fails with its own code, never with what an earlier stop left.
    ASSERT_TRUE(test.engine->clearFiles());
    scripted->serve(L"/empty.bin", ScriptedFile());
    const int32_t emptyId = test.add(url(L"/empty.bin"), folder.file(L"empty.bin"));
    test.errors.setError(33);
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(seen[emptyId], 21);
    EXPECT_EQ(test.errors.error(), 21);
}

}  // namespace
