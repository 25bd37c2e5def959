// FTP and FTP over TLS through the whole control, driven late-bound as a script host would drive it:
// names resolved with GetIDsOfNames, calls through IDispatch::Invoke, and the events sunk by a plain
// IDispatch on the source interface that IProvideClassInfo2 names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "downloadcontrol/Pxhl.h"
#include "support/LateBoundControl.h"
#include "support/MessagePump.h"
#include "support/Peers.h"
#include "support/TestSupport.h"

namespace {

using namespace testsupport;

TEST(FtpThroughTheControl, OneFileEachOverFtpNegotiatedTlsAndImplicitTls) {
    OleApartment ole;
    ScriptedControl script(Pxhl::create);
    LateBound pxhl(script.control);
    ScriptSink& sink = script.sink;
    pxhl.put(L"DownloadSessionTempSubfolder", Value(std::wstring()));
    pxhl.put(L"ConnectionTimeout", Value(4000L));
    TempFolder folder;
    // Secure servers by the name their certificate is made out to.
    const std::wstring host = L"://127.0.0.1:";
    const std::wstring secureHost = L"://localhost:";
    const struct {
        std::wstring url;
        const wchar_t* size;
        long segments;
        const wchar_t* user;
        const wchar_t* password;
        long implicitTls;
        std::wstring savePath;
        const char* served;
    } files[] = {
        {L"ftp" + host + std::to_wstring(peerPort("ftp_plain")) + L"/files/small.bin", L"", 1, L"user",
         L"secret", 0, folder.file(L"plain.bin"), "files/small.bin"},
        {L"ftps" + secureHost + std::to_wstring(peerPort("ftps_explicit")) + L"/files/medium.bin", L"1000000",
         3, L"", L"", 0, folder.file(L"explicit.bin"), "files/medium.bin"},
        {L"ftps" + secureHost + std::to_wstring(peerPort("ftps_implicit")) + L"/files/large.bin", L"", 1, L"",
         L"", 1, folder.file(L"implicit.bin"), "files/large.bin"},
    };
    for (const auto& file : files) {
        const Value id = addFile(pxhl, file.url, file.savePath, file.segments, file.size, file.user,
                                 file.password, file.implicitTls);
        EXPECT_EQ(id.v.vt, VT_I4);
        EXPECT_GE(id.v.lVal, 0) << "error " << pxhl.call(L"GetLastError").v.lVal;
    }

    const Value started = pxhl.call(L"Download");
    EXPECT_EQ(started.v.vt, VT_BOOL);
    EXPECT_TRUE(started.v.boolVal);
    ASSERT_TRUE(pumpUntil([&] { return sink.count(kDownloadComplete) > 0; }, 120000));
    EXPECT_EQ(sink.last(kDownloadComplete)->arguments, std::vector<std::wstring>{L"BOOL:-1"})
        << "error " << pxhl.call(L"GetLastError").v.lVal;
    for (const auto& file : files) {
        EXPECT_TRUE(readFileBytes(file.savePath) == servedFile(file.served)) << file.served;
    }
    // Start, progress, file completion and run completion all came through the plain sink.
    for (DISPID id : {kStart, kProgress, kFileComplete, kDownloadComplete}) {
        EXPECT_GT(sink.count(id), 0) << id;
    }
}

}  // namespace
