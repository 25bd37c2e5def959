// Resuming a file whose copy on the server changed, or stayed the same, between the stop and the resume.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "EngineTestSupport.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

namespace {

using enginetest::pumpUntil;
using enginetest::TestEngine;
using testsupport::peerUrl;
using testsupport::readFileBytes;
using testsupport::servedPath;
using testsupport::TempFolder;

std::string randomBytes(std::size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// Serves `bytes` under nginx's throttled folder, last written `hoursAhead` hours from now: nginx's entity
// tag and last-modified time tell two versions apart by that time.
void serve(const std::wstring& name, const std::string& bytes, int hoursAhead) {
    const std::wstring path = servedPath(L"slow/" + name);
    ASSERT_TRUE(testsupport::writeFileBytes(path, bytes));
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart += static_cast<uint64_t>(hoursAhead) * 36000000000ull;
    const FILETIME written{ticks.LowPart, ticks.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
}

TEST(EngineResumeIntegrity, AChangedFileIsFetchedAgainAndAnUnchangedOneResumes) {
    TempFolder folder;
    TempFolder headers;
    const std::string kept = randomBytes(3 << 20, 1);
    const std::string before = randomBytes(3 << 20, 2);
    const std::string after = randomBytes(3 << 20, 3);
    serve(L"kept.bin", kept, 0);
    serve(L"changing.bin", before, 0);
    {
        TestEngine first;
        first.engine->setSessionTempSubfolder(headers.path());
        first.engine->settings().minFileSegmentSize = 262144;
        first.add(peerUrl("nginx_http", L"/slow/kept.bin"), folder.file(L"kept.bin"), 3);
        first.add(peerUrl("nginx_http", L"/slow/changing.bin"), folder.file(L"changing.bin"), 3);
        ASSERT_TRUE(first.engine->download());
        // Both files under way.
        ASSERT_TRUE(pumpUntil([&] {
            std::set<int32_t> files;
            for (const enginetest::Event& progress : first.host.named(L"Progress")) {
                files.insert(progress.fileId);
            }
            return files.size() == 2;
        }));
        first.engine->stopDownload();
    }
    // Same size, other bytes.
    serve(L"changing.bin", after, 1);

    // A new control knows the versions only from the header files.
    TestEngine second;
    second.engine->setSessionTempSubfolder(headers.path());
    ASSERT_TRUE(second.engine->resumeDownload());
    ASSERT_TRUE(pumpUntil([&] { return second.host.completed(); }));
    EXPECT_TRUE(second.host.last(L"Complete")->result) << "error " << second.errors.error();
    EXPECT_TRUE(readFileBytes(folder.file(L"changing.bin")) == after) << "not the new version whole";
    EXPECT_TRUE(readFileBytes(folder.file(L"kept.bin")) == kept);
    // The unchanged file was asked for whole once only: the resume asked for the rest of each segment.
    int whole = 0;
    for (const testsupport::AccessEntry& entry : testsupport::accessLog()) {
        if (entry.uri == "/slow/kept.bin") {
            whole += entry.range == "-" ? 1 : 0;
            EXPECT_TRUE(entry.range == "-" || entry.status == 206) << entry.range << " " << entry.status;
        }
    }
    EXPECT_EQ(whole, 1);
}

}  // namespace
