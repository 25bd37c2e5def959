// The FTP client against real servers: pyftpdlib in the clear (with one scripted misbehaviour per
// server) and vsftpd over TLS, negotiated on the control connection and implicit on its own port.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "SegmentFetch.h"
#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/net/FtpDownloader.h"
#include "downloadcontrol/net/NetResult.h"
#include "support/Peers.h"

using nettest::Fetched;
using nettest::fetchSegment;
using testsupport::peerPort;
using testsupport::servedFile;

namespace {

struct FtpPeer {
    const char* name;
    bool secure;
    bool implicitTls;
    const wchar_t* user;  // vsftpd takes guests only
    const wchar_t* password;
};

// Certificates are made out to names: the system's check here does not match addresses.
std::wstring hostOf(const FtpPeer& peer) {
    return peer.secure ? L"localhost" : L"127.0.0.1";
}

std::unique_ptr<FtpDownloader> ftpClient(LastErrorHolder& errors, const FtpPeer& peer,
                                         const std::wstring& path, int bufferSize = 4096) {
    return std::make_unique<FtpDownloader>(peer.secure, peer.implicitTls, hostOf(peer), peerPort(peer.name),
                                           path, peer.user, peer.password, L"", 0, L"", L"", 0, 4000,
                                           bufferSize, errors);
}

const FtpPeer kPlain{"ftp_plain", false, false, L"user", L"secret"};

class FtpServerTest : public ::testing::TestWithParam<FtpPeer> {
protected:
    LastErrorHolder errors;
};

TEST_P(FtpServerTest, SizeAndModificationTime) {
    auto ftp = ftpClient(errors, GetParam(), L"/files/medium.bin");
    int64_t size = 0;
    std::wstring modified;
    std::wstring location;
    std::wstring proxyLocation;
    ASSERT_TRUE(ftp->querySize(size, modified, location, proxyLocation)) << errors.error();
    EXPECT_EQ(size, 1000000);
    ASSERT_EQ(modified.size(), 14u) << "YYYYMMDDhhmmss";
    EXPECT_EQ(modified.find_first_not_of(L"0123456789"), std::wstring::npos);
    EXPECT_TRUE(location.empty() && proxyLocation.empty());

    // A file the server does not have: the query itself succeeds, without a size.
    ftp->retarget(hostOf(GetParam()), peerPort(GetParam().name), L"/files/no-such.bin", L"", 0);
    ASSERT_TRUE(ftp->querySize(size, modified, location, proxyLocation)) << errors.error();
    EXPECT_EQ(size, -1);
    EXPECT_TRUE(modified.empty());
}

TEST_P(FtpServerTest, FilesOfUnknownSizeArriveWholeOnOneSession) {
    auto ftp = ftpClient(errors, GetParam(), L"/files/empty.bin", 1000);
    int controlPort = 0;
    for (const char* name : {"files/empty.bin", "files/one.bin", "files/small.bin", "files/large.bin"}) {
        ftp->retarget(hostOf(GetParam()), peerPort(GetParam().name),
                      L"/" + std::wstring(name, name + strlen(name)), L"", 0);
        const Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
        ASSERT_TRUE(fetched.ok) << name << " error " << fetched.error;
        EXPECT_EQ(fetched.fileSize, -1) << "FTP tells the size only when asked";
        EXPECT_FALSE(fetched.rangesAccepted);
        EXPECT_TRUE(fetched.body == servedFile(name)) << name << ": " << fetched.body.size() << " bytes";
        // Each transfer's final reply was read: the next one reuses the same control connection.
        if (controlPort == 0) {
            controlPort = ftp->localPort();
        }
        EXPECT_EQ(ftp->localPort(), controlPort) << name;
    }
}

TEST_P(FtpServerTest, RestartedSegmentsReassembleTheFile) {
    const std::string expected = servedFile("files/medium.bin");
    const int64_t size = static_cast<int64_t>(expected.size());
    auto ftp = ftpClient(errors, GetParam(), L"/files/medium.bin", 8192);
    const int64_t bounds[] = {0, 1, 333333, 700001, size - 1, size};
    std::string whole;
    int controlPort = 0;
    for (int segment = 0; segment + 1 < 6; ++segment) {
        const int64_t start = bounds[segment];
        const int64_t length = bounds[segment + 1] - start;
        const Fetched fetched = fetchSegment(*ftp, errors, segment, start, length, size);
        ASSERT_TRUE(fetched.ok) << "segment " << segment << " error " << fetched.error;
        EXPECT_TRUE(fetched.rangesAccepted) << segment;
        ASSERT_EQ(fetched.body.size(), static_cast<std::size_t>(length)) << segment;
        whole += fetched.body;
        // The transfer was cut at the expected count with ABOR; its replies were read before the next.
        if (controlPort == 0) {
            controlPort = ftp->localPort();
        }
        EXPECT_EQ(ftp->localPort(), controlPort) << segment;
    }
    EXPECT_TRUE(whole == expected);
}

TEST_P(FtpServerTest, APartOfAnotherVersionOfTheFileIsRefused) {
    auto ftp = ftpClient(errors, GetParam(), L"/files/small.bin");
    ASSERT_TRUE(fetchSegment(*ftp, errors, 0, -1, -1, -1).ok);
    const std::wstring version = ftp->validator();
    EXPECT_EQ(version.size(), 14u) << "the modification time, YYYYMMDDhhmmss";
    ftp->setValidator(version);
    EXPECT_TRUE(fetchSegment(*ftp, errors, 1, 1000, 5000, 300000).ok);
    // Another modification time, or another size.
    const struct {
        std::wstring version;
        int64_t size;
    } changes[] = {{L"20000101000000", 300000}, {version, 300001}};
    for (const auto& change : changes) {
        ftp->setValidator(change.version);
        const Fetched fetched = fetchSegment(*ftp, errors, 1, 1000, 5000, change.size);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrServerFileChanged);
        EXPECT_TRUE(ftp->fileChanged());
    }
}

TEST_P(FtpServerTest, RetriesOnTheSameClientAfterAFailure) {
    auto ftp = ftpClient(errors, GetParam(), L"/files/no-such.bin");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Fetched missing = fetchSegment(*ftp, errors, 0, -1, -1, -1);
        EXPECT_FALSE(missing.ok);
        EXPECT_EQ(missing.error, ErrReceive);
    }
    ftp->retarget(hostOf(GetParam()), peerPort(GetParam().name), L"files/small.bin", L"", 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Fetched fetched = fetchSegment(*ftp, errors, 0, 1000, 5000, 300000);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_TRUE(fetched.body == servedFile("files/small.bin").substr(1000, 5000));
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpServerTest,
                         ::testing::Values(kPlain, FtpPeer{"ftps_explicit", true, false, L"", L""},
                                           FtpPeer{"ftps_implicit", true, true, L"", L""}),
                         [](const ::testing::TestParamInfo<FtpPeer>& info) {
                             return std::string(info.param.name);
                         });

TEST(FtpLogOn, WrongPasswordIsAccessDeniedAndAClosedPortALogOnFailure) {
    LastErrorHolder errors;
    const FtpPeer wrongPassword{"ftp_plain", false, false, L"user", L"wrong"};
    Fetched fetched =
        fetchSegment(*ftpClient(errors, wrongPassword, L"/files/one.bin"), errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrAccessDenied);

    const FtpPeer unknownUser{"ftp_plain", false, false, L"nobody-here", L"secret"};
    fetched = fetchSegment(*ftpClient(errors, unknownUser, L"/files/one.bin"), errors, 0, -1, -1, -1);
    EXPECT_EQ(fetched.error, ErrAccessDenied);

    for (const FtpPeer& closed :
         {FtpPeer{"closed", false, false, L"user", L"secret"}, FtpPeer{"closed", true, true, L"", L""}}) {
        auto ftp = ftpClient(errors, closed, L"/files/one.bin");
        fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
        EXPECT_EQ(fetched.error, ErrFtpLogOn);
        int64_t size = 0;
        std::wstring modified, location, proxyLocation;
        errors.setError(0);
        EXPECT_FALSE(ftp->querySize(size, modified, location, proxyLocation));
        EXPECT_EQ(errors.error(), ErrFtpLogOn);
    }
}

TEST(FtpLogOn, TheConnectWaitIsTheConnectionTimeOutInWholeSeconds) {
    LastErrorHolder errors;
    const struct {
        int32_t milliseconds;
        int seconds;
    } cases[] = {{0, 1}, {-5, 1}, {499, 1}, {1499, 1}, {1500, 2}, {4000, 4}, {12000, 12}, {12500, 13}};
    for (const auto& c : cases) {
        FtpDownloader ftp(false, false, L"127.0.0.1", 21, L"/x", L"", L"", L"", 0, L"", L"", 0,
                          c.milliseconds, 4096, errors);
        EXPECT_EQ(ftp.connectWait(), c.seconds) << c.milliseconds;
    }
}

TEST(FtpLogOn, AFailedTlsSessionDoesNotSpoilTheNextSegment) {
    // TLS from the first byte to a web server that answers in the clear and closes: the handshake
    // fails and raises the abort flag, which the next segment clears.
    LastErrorHolder errors;
    auto ftp = ftpClient(errors, FtpPeer{"nginx_http", true, true, L"", L""}, L"/files/small.bin");
    Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrFtpLogOn);
    EXPECT_TRUE(ftp->isAborted());

    ftp->retarget(L"localhost", peerPort("ftps_implicit"), L"/files/small.bin", L"", 0);
    fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == servedFile("files/small.bin"));
    EXPECT_FALSE(ftp->isAborted());
}

TEST(FtpSessionReplies, AMultiLineGreetingIsReadWholeAndItsLastLineDecides) {
    ASSERT_TRUE(startWinSock());
    FtpSession session;
    ASSERT_EQ(session.connect(peerPort("ftp_plain"), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    ASSERT_EQ(session.replyLineCount(), 4);
    EXPECT_EQ(session.replyLine(0), "220-Pixhaul test server");
    EXPECT_EQ(session.replyLine(1), "plain FTP on the loopback address");
    EXPECT_EQ(session.replyLine(3), "220 ");
    EXPECT_EQ(session.replyLine(4), "");

    char narrow[16];
    int length = sizeof(narrow);
    EXPECT_EQ(session.lastReplyText(narrow, &length), NetOk);
    EXPECT_STREQ(narrow, "220 ");
    EXPECT_EQ(length, 4);
    wchar_t wide[4];
    length = 4;
    EXPECT_EQ(session.lastReplyText(wide, &length), NetBufferTooSmall);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(session.lastReplyText(static_cast<wchar_t*>(nullptr), &length), NetMissingArgument);

    // The conversation goes on in step after it.
    EXPECT_EQ(session.command(L"USER user"), 331);
    EXPECT_EQ(session.command(L"PASS secret"), 230);
    EXPECT_EQ(session.command(L"TYPE I"), 200);
    std::string text;
    EXPECT_EQ(session.command(L"SIZE files/small.bin", &text), 213);
    EXPECT_EQ(text, "300000");
    EXPECT_FALSE(session.sendCommand(std::wstring(L"NOOP\r\nDELE x"))) << "one command per line";
    EXPECT_EQ(session.checkAlive(), FtpOk);
    session.quit();
    EXPECT_FALSE(session.isConnected());
}

TEST(FtpRestart, RefusedRestartIsFineAtTheStartAndAFailureElsewhere) {
    LastErrorHolder errors;
    const std::string expected = servedFile("files/small.bin");
    auto ftp =
        ftpClient(errors, FtpPeer{"ftp_norest", false, false, L"user", L"secret"}, L"/files/small.bin");
    // From byte 0 the server sends what was asked anyway; without a restart the whole file is expected.
    Fetched fetched = fetchSegment(*ftp, errors, 0, 0, 1000, 300000);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_FALSE(fetched.rangesAccepted);
    EXPECT_TRUE(fetched.body == expected);

    // Elsewhere it would send the file's first bytes to be written at the offset.
    fetched = fetchSegment(*ftp, errors, 1, 1000, 1000, 300000);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrReceive);

    fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == expected);
}

TEST(FtpReplies, ReplyLinesOfThreeHundredBytesKeepTheConversationInStep) {
    LastErrorHolder errors;
    const std::string expected = servedFile("files/small.bin");
    auto ftp =
        ftpClient(errors, FtpPeer{"ftp_longreply", false, false, L"user", L"secret"}, L"/files/small.bin");
    int64_t size = 0;
    std::wstring modified, location, proxyLocation;
    ASSERT_TRUE(ftp->querySize(size, modified, location, proxyLocation)) << errors.error();
    EXPECT_EQ(size, 300000);
    EXPECT_EQ(modified.size(), 14u);

    Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == expected);
    fetched = fetchSegment(*ftp, errors, 1, 100000, 50000, 300000);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == expected.substr(100000, 50000));
}

TEST(FtpPassive, AReplyWithFiveNumbersFailsTheSegment) {
    LastErrorHolder errors;
    auto ftp =
        ftpClient(errors, FtpPeer{"ftp_badpasv", false, false, L"user", L"secret"}, L"/files/small.bin");
    const Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrReceive);
}

}  // namespace
