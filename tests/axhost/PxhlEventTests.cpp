// TPxhl's seven event slots against real downloads from nginx: every event on the GUI thread with
// its arguments, slots that are cleared (also from inside an event) never called again, handlers
// that throw, and the resume event through a second control.
#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/TPxhl.h"
#include "support/TestSupport.h"

using namespace gui;

namespace {

// Everything a control reports, in order, with the thread it arrived on.
struct Journal {
    std::vector<std::string> events;
    std::vector<DWORD> threads;
    bool done = false;
    bool doneResult = false;

    void add(const std::string& event) {
        events.push_back(event);
        threads.push_back(GetCurrentThreadId());
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& event : events)
            n += event.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
        return n;
    }
};

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Binds all seven slots of control to journal.
void bindAll(TPxhl& control, Journal& journal) {
    control.OnGetFileSizeLastModified = [&journal](TObject*, const std::wstring& url,
                                                   const std::wstring& size, const std::wstring& modified) {
        journal.add("size " + narrow(url) + " " + narrow(size) + " " + (modified.empty() ? "-" : "date"));
    };
    control.OnDownloadComplete = [&journal](TObject*, bool result) {
        journal.add(std::string("done ") + (result ? "ok" : "failed"));
        journal.done = true;
        journal.doneResult = result;
    };
    control.OnFileDownloadComplete = [&journal](TObject*, long fileId, bool result) {
        journal.add("file " + std::to_string(fileId) + (result ? " ok" : " failed"));
    };
    control.OnFileDownloadProgress = [&journal](TObject*, long fileId, const std::wstring& size,
                                                const std::wstring& downloaded, long elapsed,
                                                const std::wstring& remain, long remainTime, double rate) {
        const bool consistent = std::stoll(downloaded) + std::stoll(remain) == std::stoll(size) &&
                                elapsed >= 0 && remainTime >= 0 && rate >= 0;
        journal.add("progress " + std::to_string(fileId) + " " + narrow(size) +
                    (consistent ? "" : " inconsistent"));
    };
    control.OnFileSegmentDownloadProgress = [&journal](
                                                TObject*, long fileId, long segment, const std::wstring& size,
                                                const std::wstring& downloaded, const std::wstring& remain) {
        const bool consistent = std::stoll(downloaded) + std::stoll(remain) == std::stoll(size);
        journal.add("segment " + std::to_string(fileId) + " " + std::to_string(segment) +
                    (consistent ? "" : " inconsistent"));
    };
    control.OnFileDownloadStart = [&journal](TObject*, long fileId, const std::wstring& size, long segments) {
        journal.add("start " + std::to_string(fileId) + " " + narrow(size) + " " + std::to_string(segments));
    };
    control.OnFileDownloadResume = [&journal](TObject*, const std::wstring& url, long fileId,
                                              const std::wstring& header) {
        journal.add("resume " + std::to_string(fileId) + " " + narrow(url) +
                    (header.empty() ? " no header" : ""));
    };
}

// A control as the pool hands it out: no header files, removed when complete.
void prepare(TPxhl& control) {
    control.SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, L"");
    control.SetBooleanProperty(PxhlDispId::AutoRemoveCompletedFiles, true);
}

}  // namespace

TEST(PxhlEvents, ADownloadReportsStartFileAndRunCompletionOnTheGuiThreadAndTheFileArrivesWhole) {
    testsupport::TempFolder folder;
    TPxhl control(nullptr);
    prepare(control);
    Journal journal;
    bindAll(control, journal);

    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/files/small.bin"), L"", L"", folder.file(L"small.bin"), 1,
                              L"", L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return journal.done; }));

    EXPECT_TRUE(journal.doneResult);
    ASSERT_GE(journal.events.size(), 3u);
    EXPECT_EQ(journal.events.front(), "start 0 300000 1");
    EXPECT_EQ(journal.events[journal.events.size() - 2], "file 0 ok");
    EXPECT_EQ(journal.events.back(), "done ok");
    EXPECT_EQ(journal.count("segment 0 0"), journal.count("segment"));
    for (DWORD thread : journal.threads)
        EXPECT_EQ(thread, GetCurrentThreadId());
    EXPECT_EQ(testsupport::readFileBytes(folder.file(L"small.bin")),
              testsupport::readFileBytes(axtest::ServedPath(L"files/small.bin")));
    // Completed files leave the list (AutoRemoveCompletedFiles).
    EXPECT_EQ(control.GetFileInfo(-1, 16), L"0");
}

TEST(PxhlEvents, ASlowSegmentedDownloadReportsFileAndSegmentProgressWithConsistentSizes) {
    testsupport::TempFolder folder;
    TPxhl control(nullptr);
    prepare(control);
    control.SetIntegerProperty(PxhlDispId::MinFileSegmentSize, 65536);
    Journal journal;
    bindAll(control, journal);

    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/slow/slow0.bin"), L"", L"", folder.file(L"slow0.bin"), 2,
                              L"", L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return journal.done; }));

    EXPECT_TRUE(journal.doneResult);
    EXPECT_EQ(journal.events.front(), "start 0 786432 2");
    EXPECT_GE(journal.count("progress 0 786432"), 1);
    EXPECT_EQ(journal.count("progress 0 786432"), journal.count("progress"));
    EXPECT_GE(journal.count("segment 0 0"), 1);
    EXPECT_GE(journal.count("segment 0 1"), 1);
    EXPECT_EQ(journal.count("segment 0 0") + journal.count("segment 0 1"), journal.count("segment"));
    for (const std::string& event : journal.events)
        EXPECT_EQ(event.find("inconsistent"), std::string::npos) << event;
    EXPECT_EQ(testsupport::readFileBytes(folder.file(L"slow0.bin")),
              testsupport::readFileBytes(axtest::ServedPath(L"slow/slow0.bin")));
}

TEST(PxhlEvents, ASizeQueryAnswersThroughItsOwnSlot) {
    TPxhl control(nullptr);
    Journal journal;
    bindAll(control, journal);
    const std::wstring url = axtest::PeerUrl(L"/files/small.bin");
    control.GetFileSizeLastModified(url, L"", L"", L"", 0);
    ASSERT_TRUE(axtest::PumpUntil([&] { return journal.count("size") == 1; }));
    EXPECT_EQ(journal.events, std::vector<std::string>{"size " + narrow(url) + " 300000 date"});
    EXPECT_EQ(journal.threads.front(), GetCurrentThreadId());
}

TEST(PxhlEvents, AClearedSlotIsNeverCalledAgainAlsoWhenItClearsItselfDuringItsEvent) {
    testsupport::TempFolder folder;
    TPxhl control(nullptr);
    prepare(control);
    Journal journal;
    bindAll(control, journal);
    int progressCalls = 0;
    control.OnFileDownloadProgress = [&](TObject* sender, long, const std::wstring&, const std::wstring&,
                                         long, const std::wstring&, long, double) {
        ++progressCalls;
        static_cast<TPxhl*>(sender)->OnFileDownloadProgress = nullptr;
    };
    control.OnFileSegmentDownloadProgress = nullptr;  // cleared before the run

    // 768 KB at 256 KB/s on one connection: about three seconds, so several progress events.
    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/slow/slow1.bin"), L"", L"", folder.file(L"slow1.bin"), 1,
                              L"", L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return journal.done; }));
    EXPECT_TRUE(journal.doneResult);
    EXPECT_EQ(progressCalls, 1);
    EXPECT_EQ(journal.count("segment"), 0);
    EXPECT_EQ(journal.count("start"), 1);
}

TEST(PxhlEvents, AControlResetFromInsideItsOwnEventFiresNothingIntoItsFormerHandlers) {
    // What giving a control back to the pool does: Tag -1, all slots cleared, stop, clear.
    testsupport::TempFolder folder;
    TPxhl control(nullptr);
    prepare(control);
    control.SetTag(7);
    Journal journal;
    bindAll(control, journal);
    bool reset = false;
    control.OnFileDownloadStart = [&](TObject* sender, long, const std::wstring&, long) {
        auto* self = static_cast<TPxhl*>(sender);
        self->SetTag(-1);
        self->ClearEventHandlers();
        self->StopDownload();
        self->ClearFiles();
        reset = true;
    };
    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/slow/slow2.bin"), L"", L"", folder.file(L"slow2.bin"), 2,
                              L"", L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return reset; }));
    axtest::Pump(1500);  // long enough for a progress tick, had the run gone on
    EXPECT_EQ(journal.events, std::vector<std::string>{});
    EXPECT_EQ(control.Tag(), -1);
    EXPECT_EQ(control.GetFileInfo(-1, 16), L"0");

    // The control is reusable: bound again, it downloads and reports as new.
    Journal again;
    bindAll(control, again);
    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/files/one.bin"), L"", L"", folder.file(L"one.bin"), 1, L"",
                              L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return again.done; }));
    EXPECT_TRUE(again.doneResult);
    EXPECT_EQ(again.events.front(), "start 0 1 1");
}

TEST(PxhlEvents, AnExceptionFromAHandlerReachesTheApplicationAndTheRunGoesOn) {
    testsupport::TempFolder folder;
    TPxhl control(nullptr);
    prepare(control);
    Journal journal;
    bindAll(control, journal);
    control.OnFileDownloadStart = [](TObject*, long, const std::wstring&, long) {
        throw std::runtime_error("handler failed");
    };
    const size_t caughtBefore = axtest::CaughtExceptions().size();
    ASSERT_EQ(control.AddFile(axtest::PeerUrl(L"/files/one.bin"), L"", L"", folder.file(L"one.bin"), 1, L"",
                              L"", L"", 0),
              0);
    ASSERT_TRUE(control.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return journal.done; }));
    EXPECT_TRUE(journal.doneResult);
    ASSERT_EQ(axtest::CaughtExceptions().size(), caughtBefore + 1);
    EXPECT_EQ(axtest::CaughtExceptions().back(), L"handler failed");
}

TEST(PxhlEvents, AStoppedRunResumesInAnotherControlThatReportsEachFileItTakesOver) {
    testsupport::TempFolder folder;
    const std::wstring session = L"axhost-resume-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring url = axtest::PeerUrl(L"/slow/slow3.bin");

    TPxhl first(nullptr);
    first.SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, session);
    first.ClearDownloadSessionTempSubfolder();
    Journal stopped;
    bindAll(first, stopped);
    ASSERT_EQ(first.AddFile(url, L"", L"", folder.file(L"slow3.bin"), 1, L"", L"", L"", 0), 0);
    ASSERT_TRUE(first.Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return stopped.count("progress") >= 1; }));
    first.StopDownload();
    // Stopping finishes the file and the run, unsuccessfully, before it returns.
    ASSERT_TRUE(stopped.done);
    EXPECT_FALSE(stopped.doneResult);
    EXPECT_EQ(stopped.count("file 0 failed"), 1);
    EXPECT_EQ(first.GetLastError(), 33);

    TPxhl second(nullptr);
    second.SetTextProperty(PxhlDispId::DownloadSessionTempSubfolder, session);
    Journal resumed;
    bindAll(second, resumed);
    ASSERT_TRUE(second.ResumeDownload());
    ASSERT_FALSE(resumed.events.empty());
    EXPECT_EQ(resumed.events.front(), "resume 0 " + narrow(url));  // before ResumeDownload returned
    ASSERT_TRUE(axtest::PumpUntil([&] { return resumed.done; }));
    EXPECT_TRUE(resumed.doneResult);
    EXPECT_EQ(resumed.count("file 0 ok"), 1);
    EXPECT_EQ(testsupport::readFileBytes(folder.file(L"slow3.bin")),
              testsupport::readFileBytes(axtest::ServedPath(L"slow/slow3.bin")));
    second.ClearFiles();
    second.ClearDownloadSessionTempSubfolder();
}

TEST(PxhlEvents, AHandlerMayFreeItsOwnControl) {
    testsupport::TempFolder folder;
    TComponent owner(nullptr);
    auto* control = new TPxhl(&owner);
    prepare(*control);
    bool freed = false;
    control->OnFileDownloadComplete = [&](TObject* sender, long, bool) {
        delete sender;
        freed = true;
    };
    ASSERT_EQ(control->AddFile(axtest::PeerUrl(L"/files/one.bin"), L"", L"", folder.file(L"one.bin"), 1, L"",
                               L"", L"", 0),
              0);
    ASSERT_TRUE(control->Download());
    ASSERT_TRUE(axtest::PumpUntil([&] { return freed; }));
    axtest::Pump(200);
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(axtest::PxhlCanUnloadNow(), S_OK);
}
