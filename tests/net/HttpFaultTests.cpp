// The HTTP client against the scripted fault server: framings real servers rarely send, and replies
// that must fail without a hang, without unbounded memory and without a truncated file passed as whole.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <memory>
#include <string>

#include "SegmentFetch.h"
#include "downloadcontrol/net/HttpDownloader.h"
#include "support/Peers.h"

using nettest::Fetched;
using nettest::fetchSegment;
using nettest::pattern;
using testsupport::peerPort;

namespace {

class HttpFaultTest : public ::testing::Test {
protected:
    std::unique_ptr<HttpDownloader> client(const std::wstring& path, int bufferSize = 4096) {
        return std::make_unique<HttpDownloader>(false, L"127.0.0.1", peerPort("fault_http"), path, L"", L"",
                                                L"", L"", 0, L"", L"", 0, 4000, bufferSize, errors);
    }
    Fetched fetch(const std::wstring& path, int64_t start = -1, int64_t length = -1, int64_t fileSize = -1,
                  int bufferSize = 4096) {
        return fetchSegment(*client(path, bufferSize), errors, 0, start, length, fileSize);
    }
    LastErrorHolder errors;
};

TEST_F(HttpFaultTest, ChunkedRepliesSplitAtEveryBytePosition) {
    // The reply is 421 bytes: split once at each position, the pieces 2 ms apart.
    const std::string expected = pattern(0, 300);
    const Fetched whole = fetch(L"/chunked?size=300");
    ASSERT_TRUE(whole.ok) << whole.error;
    ASSERT_EQ(whole.body, expected);
    for (int split = 1; split < 421; ++split) {
        const Fetched fetched = fetch(L"/chunked?size=300&gap=2&split=" + std::to_wstring(split));
        ASSERT_TRUE(fetched.ok) << "split at " << split << ", error " << fetched.error;
        ASSERT_EQ(fetched.body, expected) << "split at " << split;
        EXPECT_EQ(fetched.fileSize, -1);
    }
}

TEST_F(HttpFaultTest, ChunkedReplySentByteByByteIntoSmallBuffers) {
    const Fetched fetched = fetch(L"/chunked?size=700&bytewise=1", -1, -1, -1, 3);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.body, pattern(0, 700));
}

TEST_F(HttpFaultTest, ContinueRepliesComeBeforeTheRealOne) {
    for (const wchar_t* path : {L"/continue?size=5000", L"/continue?size=5000&gap=50"}) {
        const Fetched fetched = fetch(path);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_EQ(fetched.fileSize, 5000);
        EXPECT_EQ(fetched.body, pattern(0, 5000));
    }
}

TEST_F(HttpFaultTest, CloseDelimitedBodiesEndWhenTheServerCloses) {
    for (const wchar_t* path :
         {L"/close-delimited?size=100000", L"/close-delimited?size=100000&version=1.1"}) {
        const Fetched fetched = fetch(path);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_EQ(fetched.fileSize, -1);
        EXPECT_EQ(fetched.body, pattern(0, 100000));
    }
}

TEST_F(HttpFaultTest, BodiesCutShortFail) {
    // Cut inside a chunk, after a whole chunk, and inside a size line: never a complete file.
    for (const wchar_t* path : {L"/truncated-chunked?size=3000", L"/truncated-chunked?size=3000&at=39",
                                L"/truncated-chunked?size=3000&at=41"}) {
        const Fetched fetched = fetch(path);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrReceive);
    }
    const Fetched shortBody = fetch(L"/truncated-length?size=10000");
    EXPECT_FALSE(shortBody.ok);
    EXPECT_EQ(shortBody.error, ErrReceive);
}

TEST_F(HttpFaultTest, MalformedChunkSizesFail) {
    for (const wchar_t* kind : {L"hex", L"long", L"overflow", L"empty", L"extension"}) {
        const Fetched fetched = fetch(std::wstring(L"/bad-chunk?kind=") + kind);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrHttpStatus) << std::string(kind, kind + wcslen(kind));
    }
}

TEST_F(HttpFaultTest, OversizedHeadersFailWithoutGrowingMemory) {
    PROCESS_MEMORY_COUNTERS before{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before)));
    // 32 MB of header lines, and 32 MB of one line: each is refused after the cap.
    for (const wchar_t* path : {L"/big-header?mb=32", L"/long-line?mb=32"}) {
        const Fetched fetched = fetch(path);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrHttpStatus);
    }
    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after)));
    EXPECT_LT(after.PeakPagefileUsage, before.PeakPagefileUsage + 8 * 1024 * 1024);
}

TEST_F(HttpFaultTest, CloseBeforeTheHeadersFailsAtOnce) {
    for (const wchar_t* path : {L"/close-early", L"/silent-close"}) {
        const ULONGLONG start = GetTickCount64();
        const Fetched fetched = fetch(path);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrHttpStatus);
        EXPECT_LT(GetTickCount64() - start, 10000u) << "no waiting for a receive time-out";
    }
}

TEST_F(HttpFaultTest, ARangeIsTakenOnlyFromTheOffsetAsked) {
    // Right: 206 with the range asked.
    const Fetched good = fetch(L"/range?size=50000", 1000, 2000, 50000);
    ASSERT_TRUE(good.ok) << good.error;
    EXPECT_EQ(good.body, pattern(1000, 2000));
    EXPECT_TRUE(good.rangesAccepted);

    // The whole file instead of the range, and a range from elsewhere: nothing is taken.
    const Fetched whole = fetch(L"/ignore-range?size=50000", 1000, 2000, 50000);
    EXPECT_FALSE(whole.ok);
    EXPECT_EQ(whole.error, ErrHttpStatus);
    const Fetched shifted = fetch(L"/range?size=50000&shift=10", 1000, 2000, 50000);
    EXPECT_FALSE(shifted.ok);
    EXPECT_EQ(shifted.error, ErrHttpStatus);

    // From offset 0 the whole file is the same bytes: it is taken, and cut at the segment's end.
    const Fetched fromStart = fetch(L"/ignore-range?size=50000", 0, 50000, 50000);
    ASSERT_TRUE(fromStart.ok) << fromStart.error;
    EXPECT_EQ(fromStart.body, pattern(0, 50000));
}

TEST_F(HttpFaultTest, RequestsNameTheRangeAndAskForTheClose) {
    auto http = std::make_unique<HttpDownloader>(false, L"127.0.0.1", peerPort("fault_http"),
                                                 L"/echo?name=a b", L"http://referer.test/page", L"user",
                                                 L"pa:ss", L"", 0, L"", L"", 0, 4000, 4096, errors);
    const Fetched fetched = fetchSegment(*http, errors, 2, 0, 50, 1000);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    const std::string& request = fetched.body;
    EXPECT_EQ(request.rfind("GET /echo?name=a%20b HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(peerPort("fault_http")) + "\r\n"),
              std::string::npos);
    EXPECT_NE(request.find("\r\nRange: bytes=0-49\r\n"), std::string::npos);
    EXPECT_NE(request.find("(segment 3)"), std::string::npos);
    EXPECT_NE(request.find("\r\nReferer: http://referer.test/page\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nAuthorization: Basic dXNlcjpwYTpzcw==\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nConnection: close\r\n\r\n"), std::string::npos);

    const Fetched plain = fetch(L"/echo");
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.body.find("Range:"), std::string::npos);
    EXPECT_EQ(plain.body.find("Authorization:"), std::string::npos);
    EXPECT_NE(plain.body.find("\r\nConnection: close\r\n\r\n"), std::string::npos);
}

TEST_F(HttpFaultTest, SizeQueryFollowsNoLocationItself) {
    int64_t size = 0;
    std::wstring lastModified, location, proxyLocation;
    // A proxy named by the server is not taken.
    EXPECT_FALSE(client(L"/status?code=305&location=http://127.0.0.1:1/")
                     ->querySize(size, lastModified, location, proxyLocation));
    EXPECT_EQ(errors.error(), ErrHttpStatus);
    EXPECT_TRUE(location.empty() && proxyLocation.empty());
    ASSERT_TRUE(client(L"/status?code=303&location=/elsewhere")
                    ->querySize(size, lastModified, location, proxyLocation));
    EXPECT_EQ(location, L"/elsewhere");
    EXPECT_FALSE(client(L"/status?code=500")->querySize(size, lastModified, location, proxyLocation));
    EXPECT_EQ(errors.error(), ErrHttpStatus);
}

TEST_F(HttpFaultTest, AStalledServerEndsInAReceiveTimeOut) {
    // The 30-second receive time-out of the control, shortened for the test by a subclass.
    class QuickClient : public HttpDownloader {
    public:
        QuickClient(int port, const std::wstring& path, LastErrorHolder& errors)
            : HttpDownloader(false, L"127.0.0.1", port, path, L"", L"", L"", L"", 0, L"", L"", 0, 4000, 4096,
                             errors) {
            originalTimeout = receiveTimeout_;
            receiveTimeout_ = 1500;
        }
        int originalTimeout = 0;
    };
    for (const wchar_t* path :
         {L"/stall?after=nothing", L"/stall?after=headers", L"/stall?after=body&size=20000"}) {
        QuickClient http(peerPort("fault_http"), path, errors);
        EXPECT_EQ(http.originalTimeout, 30000);
        const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrReceiveTimeout);
    }
}

TEST_F(HttpFaultTest, AStopRequestEndsAStalledReceiveAtOnce) {
    struct Stopper {
        static DWORD WINAPI run(void* errors) {
            Sleep(700);
            static_cast<LastErrorHolder*>(errors)->setStopRequest(true);
            return 0;
        }
    };
    auto http = client(L"/stall?after=headers");
    HANDLE thread = CreateThread(nullptr, 0, &Stopper::run, &errors, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    const ULONGLONG start = GetTickCount64();
    const Fetched fetched = fetchSegment(*http, errors, 0, -1, -1, -1);
    const ULONGLONG elapsed = GetTickCount64() - start;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    errors.setStopRequest(false);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrTransferStopped);
    EXPECT_LT(elapsed, 10000u) << "the stop is seen long before the 30-second receive time-out";
}

// A name server that is stopped while it looks a name up, and finds nothing half a minute later.
LastErrorHolder* stoppedDuringLookup = nullptr;
std::atomic<bool> lookupEnded{false};

struct UnansweredLookups : HttpDownloader {
    using HttpDownloader::HttpDownloader;
    HostLookup::Resolver hostResolver() const override {
        return [](const char*, in_addr&) {
            stoppedDuringLookup->setStopRequest(true);
            Sleep(30000);
            lookupEnded = true;
            return false;
        };
    }
};

TEST_F(HttpFaultTest, AStopRequestDoesNotWaitForAHostLookup) {
    stoppedDuringLookup = &errors;
    UnansweredLookups http(false, L"unanswered.test", 80, L"/", L"", L"", L"", L"", 0, L"", L"", 0, 4000,
                           4096, errors);
    const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
    errors.setStopRequest(false);
    EXPECT_EQ(fetched.error, ErrTransferStopped);
    EXPECT_FALSE(lookupEnded) << "the stop waited for the lookup";
}

}  // namespace
