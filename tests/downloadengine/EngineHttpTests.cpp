// Runs against nginx and the scripted server: whole files, segments, concurrency, file times and the
// errors of real replies.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::Event;
using enginetest::fileHash;
using enginetest::TestEngine;
using testsupport::AccessEntry;
using testsupport::accessLog;
using testsupport::peerUrl;
using testsupport::servedPath;
using testsupport::TempFolder;

// The most files whose requests were served at one moment (segments of one file count once). Requests
// that only touch within a few milliseconds of the log's rounding do not count as overlapping.
int mostFilesAtOnce(const std::vector<AccessEntry>& entries) {
    int most = 0;
    for (const AccessEntry& at : entries) {
        std::set<std::string> files;
        for (const AccessEntry& other : entries) {
            if (other.start <= at.start && other.end > at.start + 0.003) {
                files.insert(other.uri);
            }
        }
        most = std::max(most, static_cast<int>(files.size()));
    }
    return most;
}

// The log entries after the first `first`, once there are at least `count` of them (nginx writes an entry
// when it has sent the reply, which may be a moment after the client has read it).
std::vector<AccessEntry> logSince(std::size_t first, std::size_t count = 0) {
    std::vector<AccessEntry> entries;
    enginetest::pumpUntil(
        [&] {
            entries = accessLog();
            return entries.size() >= first + count;
        },
        5000);
    entries.erase(entries.begin(),
                  entries.begin() + static_cast<std::ptrdiff_t>(std::min(first, entries.size())));
    return entries;
}

FILETIME lastWriteTime(const std::wstring& path) {
    FILETIME written{};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        written = data.ftLastWriteTime;
    }
    return written;
}

class ConcurrentFiles : public ::testing::TestWithParam<int> {};

TEST_P(ConcurrentFiles, EveryFileArrivesWholeStampedAndNoMoreFilesRunThanAllowed) {
    const int limit = GetParam();
    TempFolder folder;
    TestEngine test;
    test.engine->settings().concurrentDownloadFileCount = limit;
    test.engine->settings().minFileSegmentSize = 65536;
    test.engine->settings().autoRemoveCompletedFiles = true;
    const FILETIME stamp{0x12345600u, 0x01D5A000u};
    std::map<int32_t, std::wstring> names;
    for (int i = 0; i < 6; ++i) {
        const std::wstring name = L"file" + std::to_wstring(i) + L".bin";
        const std::wstring savePath = folder.file(name) + L"|" + std::to_wstring(stamp.dwLowDateTime) + L"-" +
                                      std::to_wstring(stamp.dwHighDateTime);
        const int32_t id = test.add(peerUrl("nginx_http", L"/files/" + name), savePath, 3);
        ASSERT_GE(id, 0);
        names[id] = name;
    }
    std::map<int32_t, std::string> hashesInEvent;
    test.host.whenFileComplete = [&](int32_t fileId, bool) {
        hashesInEvent[fileId] = fileHash(test.engine->fileInfo(fileId, 11));
    };
    const std::size_t logStart = accessLog().size();
    ASSERT_TRUE(test.runToEnd());

    EXPECT_TRUE(test.host.last(L"Complete")->result);
    ASSERT_EQ(test.host.count(L"FileComplete"), 6);
    for (const auto& [id, name] : names) {
        const std::string expected = fileHash(servedPath(L"files/" + name));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(fileHash(folder.file(name)), expected) << "file " << id;
        EXPECT_EQ(hashesInEvent[id], expected) << "file " << id;
        const FILETIME written = lastWriteTime(folder.file(name));
        EXPECT_EQ(written.dwLowDateTime, stamp.dwLowDateTime);
        EXPECT_EQ(written.dwHighDateTime, stamp.dwHighDateTime);
    }
    EXPECT_EQ(test.engine->fileInfo(0, 16), L"0");  // every completed file left the list

    for (const Event& start : test.host.named(L"Start")) {
        EXPECT_EQ(start.number, 3) << "file " << start.fileId;
    }
    // Files in flight, as the host saw them and as the server saw them.
    int inFlight = 0;
    int mostInFlight = 0;
    for (const Event& event : test.host.events) {
        if (event.name == L"Start") {
            mostInFlight = std::max(mostInFlight, ++inFlight);
        } else if (event.name == L"FileComplete") {
            --inFlight;
        }
    }
    EXPECT_LE(mostInFlight, limit);
    const std::vector<AccessEntry> served = logSince(logStart, 18);
    EXPECT_EQ(served.size(), 18u);
    EXPECT_LE(mostFilesAtOnce(served), limit);
}

INSTANTIATE_TEST_SUITE_P(Limits, ConcurrentFiles, ::testing::Values(1, 3, 6));

TEST(EngineHttp, SegmentsAskTheirRangesOfTheServer) {
    TempFolder folder;
    TestEngine test;
    const std::size_t logStart = accessLog().size();
    test.add(peerUrl("nginx_http", L"/files/medium.bin"), folder.file(L"medium.bin"), 3);
    test.add(peerUrl("nginx_http", L"/files/small.bin"), folder.file(L"small.bin"), 3);
    ASSERT_TRUE(test.runToEnd());
    EXPECT_TRUE(test.host.last(L"Complete")->result);
    std::multiset<std::string> ranges;
    for (const AccessEntry& entry : logSince(logStart, 5)) {
        ranges.insert(entry.uri + " " + entry.range);
    }
    EXPECT_EQ(ranges,
              (std::multiset<std::string>{"/files/medium.bin -", "/files/medium.bin bytes=333334-666667",
                                          "/files/medium.bin bytes=666668-999999", "/files/small.bin -",
                                          "/files/small.bin bytes=204800-299999"}));
    EXPECT_EQ(fileHash(folder.file(L"medium.bin")), fileHash(servedPath(L"files/medium.bin")));
    EXPECT_EQ(fileHash(folder.file(L"small.bin")), fileHash(servedPath(L"files/small.bin")));
}

TEST(EngineHttp, AServerWithoutRangesGivesOneSegment) {
    TempFolder folder;
    TestEngine test;
    test.add(peerUrl("scripted", L"/noranges/300000/whole.bin"), folder.file(L"whole.bin"), 3);
    ASSERT_TRUE(test.runToEnd());
    EXPECT_EQ(test.host.last(L"Start")->number, 1);
    EXPECT_TRUE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(fileHash(folder.file(L"whole.bin")), fileHash(testsupport::scriptedPath(L"whole.bin")));
}

struct FailureCase {
    const char* peer;
    const wchar_t* path;
    int32_t error;
    const wchar_t* statedSize = L"-1";
    int32_t attempts = 1;
};

TEST(EngineHttp, FailedRepliesAndFoldersGiveTheirErrorAndAFailedFile) {
    const FailureCase cases[] = {
        {"nginx_http", L"/files/missing.bin", 17},
        {"nginx_http", L"/forbidden/secret.bin", 30},
        {"scripted", L"/short/100000/short.bin", 16},
        {"nginx_http", L"/files/empty.bin", 21},
        // Fewer bytes than the host said, from a server that cannot give the rest.
        {"scripted", L"/noranges/1000/stated.bin", 21, L"2000"},
        // Asked for the rest, a server without ranges sends the same file whole: not another version.
        {"scripted", L"/short/100000/again.bin", 17, L"-1", 2},
    };
    for (const FailureCase& failure : cases) {
        TempFolder folder;
        TestEngine test;
        test.engine->settings().attempts = failure.attempts;
        test.engine->settings().retryWait = 10;
        const int32_t id =
            test.add(peerUrl(failure.peer, failure.path), folder.file(L"out.bin"), 1, failure.statedSize);
        ASSERT_TRUE(test.runToEnd());
        EXPECT_FALSE(test.host.last(L"FileComplete")->result);
        EXPECT_FALSE(test.host.last(L"Complete")->result);
        EXPECT_EQ(test.errors.error(), failure.error);
        EXPECT_EQ(test.engine->fileInfo(id, 2), L"1");
        EXPECT_EQ(GetFileAttributesW(folder.file(L"out.bin").c_str()), INVALID_FILE_ATTRIBUTES);
    }

    // A folder that cannot be made, because a file of its name is in the way.
    TempFolder folder;
    ASSERT_TRUE(testsupport::writeFileBytes(folder.file(L"blocker"), "x"));
    TestEngine test;
    test.add(peerUrl("nginx_http", L"/files/one.bin"), folder.file(L"blocker\\sub\\one.bin"));
    ASSERT_TRUE(test.runToEnd());
    EXPECT_FALSE(test.host.last(L"FileComplete")->result);
    EXPECT_EQ(test.errors.error(), 45);
}

TEST(EngineHttp, RetriesAskAsOftenAsAllowed) {
    for (int32_t retries : {0, 2}) {
        TempFolder folder;
        TestEngine test;
        test.engine->settings().attempts = retries + 1;
        test.engine->settings().retryWait = 100;
        const std::wstring path = L"/files/missing" + std::to_wstring(retries) + L".bin";
        const std::size_t logStart = accessLog().size();
        test.add(peerUrl("nginx_http", path), folder.file(L"m.bin"));
        ASSERT_TRUE(test.runToEnd());
        EXPECT_FALSE(test.host.last(L"FileComplete")->result);
        std::vector<AccessEntry> served = logSince(logStart, static_cast<std::size_t>(retries + 1));
        enginetest::pumpFor(100);
        served = logSince(logStart);
        EXPECT_EQ(served.size(), static_cast<std::size_t>(retries + 1));
        for (const AccessEntry& entry : served) {
            EXPECT_EQ(entry.status, 404);
        }
    }
}

}  // namespace
