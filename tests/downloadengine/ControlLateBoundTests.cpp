// The whole control driven as a script host drives it: names resolved with GetIDsOfNames, calls through
// IDispatch::Invoke, and the events taken by a plain IDispatch on the source interface that
// IProvideClassInfo2 names. Also the control released in the middle of runs, and a run with no sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "AllocationCounter.h"
#include "EngineTestSupport.h"
#include "downloadcontrol/Pxhl.h"
#include "support/LateBoundControl.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::fileHash;
using namespace testsupport;

TEST(ScriptHost, TwoFilesFromNginxWithEveryEvent) {
    OleApartment ole;
    TempFolder folder;
    TempFolder headers;
    ScriptedControl script(Pxhl::create);
    LateBound pxhl(script.control);
    ScriptSink& sink = script.sink;
    pxhl.put(L"DownloadSessionTempSubfolder", Value(headers.path()));
    pxhl.put(L"MinFileSegmentSize", Value(262144L));

    const std::wstring small = peerUrl("nginx_http", L"/files/small.bin");
    pxhl.call(L"GetFileSizeLastModified",
              {Value(small), Value(std::wstring()), Value(std::wstring()), Value(std::wstring()), Value(0L)});
    ASSERT_TRUE(pumpUntil([&] { return sink.count(kSizeQuery) == 1; }));
    EXPECT_EQ(sink.last(kSizeQuery)->arguments[0], L"BSTR:" + small);
    EXPECT_EQ(sink.last(kSizeQuery)->arguments[1], L"BSTR:300000");

    const std::wstring one = peerUrl("nginx_http", L"/slow/slow6.bin");
    const std::wstring two = peerUrl("nginx_http", L"/slow/slow7.bin");
    EXPECT_EQ(addFile(pxhl, one, folder.file(L"one.bin"), 2).v.lVal, 0);
    EXPECT_EQ(addFile(pxhl, two, folder.file(L"two.bin"), 1).v.lVal, 1);
    EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
    auto progressFor = [&](long fileId) {
        return std::any_of(sink.events.begin(), sink.events.end(), [&](const Heard& h) {
            return h.id == kProgress && h.arguments[0] == L"I4:" + std::to_wstring(fileId);
        });
    };
    ASSERT_TRUE(pumpUntil([&] { return progressFor(0) && progressFor(1); }));
    pxhl.call(L"StopDownload");
    EXPECT_EQ(pxhl.call(L"GetLastError").v.lVal, 33);
    ASSERT_EQ(sink.count(kDownloadComplete), 1);
    EXPECT_EQ(sink.last(kDownloadComplete)->arguments, std::vector<std::wstring>{L"BOOL:0"});

    // A new list rebuilds itself from the header files; each resumed file is announced at once.
    EXPECT_TRUE(pxhl.call(L"ClearFiles").v.boolVal);
    EXPECT_TRUE(pxhl.call(L"ResumeDownload").v.boolVal);
    ASSERT_EQ(sink.count(kResume), 2);
    EXPECT_EQ(sink.events[sink.events.size() - 2].arguments[0], L"BSTR:" + one);
    EXPECT_EQ(sink.events[sink.events.size() - 2].arguments[1], L"I4:0");
    EXPECT_EQ(sink.events.back().arguments[0], L"BSTR:" + two);
    EXPECT_EQ(sink.events.back().arguments[1], L"I4:1");
    ASSERT_TRUE(pumpUntil([&] { return sink.count(kDownloadComplete) == 2; }));
    EXPECT_EQ(sink.last(kDownloadComplete)->arguments, std::vector<std::wstring>{L"BOOL:-1"});
    EXPECT_EQ(fileHash(folder.file(L"one.bin")), fileHash(servedPath(L"slow/slow6.bin")));
    EXPECT_EQ(fileHash(folder.file(L"two.bin")), fileHash(servedPath(L"slow/slow7.bin")));

    // Every event came, with the argument types a script expects.
    std::set<DISPID> kinds;
    for (const Heard& heard : sink.events) {
        kinds.insert(heard.id);
    }
    EXPECT_EQ(kinds, (std::set<DISPID>{kSizeQuery, kDownloadComplete, kFileComplete, kProgress, kSegment,
                                       kStart, kResume}));
    const Heard* start = sink.last(kStart);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->arguments.size(), 3u);
    EXPECT_EQ(start->arguments[1], L"BSTR:786432");
    const Heard* progress = sink.last(kProgress);
    ASSERT_TRUE(progress);
    ASSERT_EQ(progress->arguments.size(), 7u);
    EXPECT_EQ(progress->arguments[3].rfind(L"I4:", 0), 0u);
    EXPECT_EQ(progress->arguments[6], L"R8");
    const Heard* segment = sink.last(kSegment);
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->arguments.size(), 5u);
    for (const Heard& heard : sink.events) {
        if (heard.id == kFileComplete && heard.arguments[1] == L"BOOL:-1") {
            EXPECT_TRUE(heard.arguments[0] == L"I4:0" || heard.arguments[0] == L"I4:1");
        }
    }
}

TEST(ScriptHost, ReleasingTheControlInTheMiddleOfRuns) {
    OleApartment ole;
    TempFolder folder;
    for (int round = 0; round < 50; ++round) {
        auto script = std::make_unique<ScriptedControl>(Pxhl::create);
        LateBound pxhl(script->control);
        pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
        const std::wstring prefix = L"r" + std::to_wstring(round);
        addFile(
            pxhl,
            peerUrl("nginx_http", L"/slow/" + std::wstring(L"slow") + std::to_wstring(round % 8) + L".bin"),
            folder.file(prefix + L"a.bin"), 2);
        addFile(pxhl, peerUrl("nginx_http", L"/files/large.bin"), folder.file(prefix + L"b.bin"), 3);
        EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
        if (round % 2) {
            pumpUntil([&] { return script->sink.count(kProgress) > 0; }, 10000);
        }
        script.reset();
    }
}

TEST(ScriptHost, ARunWithNoSinkFreesEveryRecord) {
    OleApartment ole;
    TempFolder folder;
    IDispatch* control = nullptr;
    ASSERT_EQ(Pxhl::create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
    {
        LateBound pxhl(control);
        pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
        pxhl.put(L"AutoRemoveCompletedFiles", Value(1L));
        auto run = [&] {
            for (int i = 0; i < 4; ++i) {
                addFile(pxhl, peerUrl("nginx_http", L"/files/file" + std::to_wstring(i) + L".bin"),
                        folder.file(L"f" + std::to_wstring(i) + L".bin"), 3);
            }
            EXPECT_TRUE(pxhl.call(L"Download").v.boolVal);
            // Without a sink the end shows in the list: every completed file leaves it.
            ASSERT_TRUE(pumpUntil([&] {
                Value count = pxhl.call(L"GetFileInfo", {Value(0L), Value(16L)});
                return count.v.vt == VT_BSTR && std::wstring(count.v.bstrVal) == L"0";
            }));
            ASSERT_TRUE(pumpUntil([&] { return pxhl.call(L"ClearFiles").v.boolVal != VARIANT_FALSE; }));
            enginetest::pumpWaiting();  // the run has ended: what it reported is queued already
        };
        run();
        const long before = enginetest::liveAllocations();
        for (int i = 0; i < 3; ++i) {
            run();
        }
        EXPECT_EQ(enginetest::liveAllocations(), before);
    }
    control->Release();
}

}  // namespace
