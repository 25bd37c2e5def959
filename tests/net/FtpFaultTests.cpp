// The FTP client against the scripted FTP servers and proxies: greetings that never end, long reply
// lines, broken passive replies, replies owed by earlier transfers, transfers cut short, and the
// command sequences of the proxy log-on variants.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SegmentFetch.h"
#include "downloadcontrol/net/FtpDownloader.h"
#include "support/Peers.h"

using nettest::Fetched;
using nettest::fetchSegment;
using nettest::pattern;
using testsupport::peerPort;

namespace {

std::unique_ptr<FtpDownloader> scripted(LastErrorHolder& errors, const char* mode, const std::wstring& user,
                                        const std::wstring& path) {
    return std::make_unique<FtpDownloader>(false, false, L"127.0.0.1", peerPort(mode), path, user, L"pass",
                                           L"", 0, L"", L"", 0, 4000, 4096, errors);
}

TEST(FtpScriptedServer, GreetingsCutShortOrEndlessFailTheLogOn) {
    LastErrorHolder errors;
    for (const char* mode : {"ftpfault_cut_banner", "ftpfault_endless_banner"}) {
        const Fetched fetched =
            fetchSegment(*scripted(errors, mode, L"user", L"/pattern-10"), errors, 0, -1, -1, -1);
        EXPECT_FALSE(fetched.ok) << mode;
        EXPECT_EQ(fetched.error, ErrFtpLogOn) << mode;
    }
}

TEST(FtpScriptedServer, AServerThatKnowsNeitherSecurityRequestFailsTheSecureLogOn) {
    LastErrorHolder errors;
    FtpDownloader ftp(true, false, L"127.0.0.1", peerPort("ftpfault_normal"), L"/log", L"user", L"pass", L"",
                      0, L"", L"", 0, 4000, 4096, errors);
    const Fetched fetched = fetchSegment(ftp, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrFtpLogOn);
}

TEST(FtpScriptedServer, OverlongReplyLinesAreReadToTheirEnd) {
    // Every reply line is 300 bytes, and the one that opens each transfer 5000.
    LastErrorHolder errors;
    auto ftp = scripted(errors, "ftpfault_long_lines", L"user", L"/pattern-70000");
    int64_t size = 0;
    std::wstring modified, location, proxyLocation;
    ASSERT_TRUE(ftp->querySize(size, modified, location, proxyLocation)) << errors.error();
    EXPECT_EQ(size, 70000);
    EXPECT_EQ(modified, L"20240102030405");
    for (int round = 0; round < 2; ++round) {
        Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_TRUE(fetched.body == pattern(0, 70000));
        fetched = fetchSegment(*ftp, errors, 1, 30000, 20000, 70000);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_TRUE(fetched.body == pattern(30000, 20000));
    }
}

TEST(FtpScriptedServer, MalformedPassiveRepliesFailAndForeignAddressesAreNotFollowed) {
    LastErrorHolder errors;
    for (const wchar_t* user :
         {L"pasv-five", L"pasv-big", L"pasv-host", L"pasv-zero", L"pasv-letters", L"pasv-none"}) {
        const Fetched fetched =
            fetchSegment(*scripted(errors, "ftpfault_normal", user, L"/pattern-1000"), errors, 0, -1, -1, -1);
        EXPECT_FALSE(fetched.ok);
        EXPECT_EQ(fetched.error, ErrReceive);
    }
    // Without parentheses the numbers still count; an address other than the server's is replaced by
    // the server's own.
    for (const wchar_t* user : {L"pasv-bare", L"pasv-foreign"}) {
        const Fetched fetched =
            fetchSegment(*scripted(errors, "ftpfault_normal", user, L"/pattern-1000"), errors, 0, -1, -1, -1);
        ASSERT_TRUE(fetched.ok) << fetched.error;
        EXPECT_TRUE(fetched.body == pattern(0, 1000));
    }
}

TEST(FtpScriptedServer, RepliesOwedByEarlierTransfersAreReadBeforeTheSessionIsReused) {
    // The server sends each transfer's final reply 300 ms after closing the data connection.
    LastErrorHolder errors;
    auto ftp = scripted(errors, "ftpfault_normal", L"late", L"/pattern-100000");
    Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == pattern(0, 100000));
    fetched = fetchSegment(*ftp, errors, 0, 0, 50000, 100000);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == pattern(0, 50000));
    fetched = fetchSegment(*ftp, errors, 1, 50000, 50000, 100000);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == pattern(50000, 50000));

    ftp->retarget(L"127.0.0.1", peerPort("ftpfault_normal"), L"/log", L"", 0);
    fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.body,
              "USER late\r\nPASS pass\r\nTYPE I\r\nMODE S\r\nSTRU F\r\n"
              "MDTM pattern-100000\r\nPASV\r\nRETR pattern-100000\r\n"
              "NOOP\r\nPASV\r\nREST 0\r\nRETR pattern-100000\r\nABOR\r\n"
              "NOOP\r\nSIZE pattern-100000\r\nPASV\r\nREST 50000\r\nRETR pattern-100000\r\nABOR\r\n"
              "NOOP\r\nMDTM log\r\nPASV\r\nRETR log\r\n");
}

TEST(FtpScriptedServer, TransfersCutShortFail) {
    // Half the file, then the data connection closes and the server reports the transfer as failed.
    LastErrorHolder errors;
    auto ftp = scripted(errors, "ftpfault_normal", L"cut", L"/pattern-40000");
    Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrReceive);
    fetched = fetchSegment(*ftp, errors, 0, 0, 40000, 40000);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrReceive);
}

TEST(FtpScriptedServer, AnEmptyUserNameLogsOnAsAGuest) {
    LastErrorHolder errors;
    auto ftp = std::make_unique<FtpDownloader>(false, false, L"127.0.0.1", peerPort("ftpfault_normal"),
                                               L"/log", L"", L"", L"", 0, L"", L"", 0, 4000, 4096, errors);
    const Fetched fetched = fetchSegment(*ftp, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.body.rfind("USER anonymous\r\nPASS pxhl@\r\nTYPE I\r\n", 0), 0u) << fetched.body;
}

// ---- FTP proxies ----

struct ProxyCase {
    int method;
    const wchar_t* host;
    const wchar_t* user;
    const wchar_t* proxyUser;
    const wchar_t* proxyPassword;
};

Fetched fetchThroughProxy(LastErrorHolder& errors, const ProxyCase& c) {
    const std::string mode = "ftpfault_proxy" + std::to_string(c.method);
    FtpDownloader ftp(false, false, c.host, 2121, L"/log", c.user, L"secret", L"127.0.0.1",
                      peerPort(mode.c_str()), c.proxyUser, c.proxyPassword, c.method, 4000, 4096, errors);
    return fetchSegment(ftp, errors, 0, -1, -1, -1);
}

TEST(FtpProxy, EachMethodSendsItsOwnLogOnSequence) {
    const char* const expected[8] = {
        "USER puser\r\nPASS ppass\r\nSITE files.example.test:2121\r\nUSER user\r\nPASS secret\r\n",
        "USER user@files.example.test:2121\r\nPASS secret\r\n",
        "USER puser\r\nPASS ppass\r\nUSER user@files.example.test:2121\r\nPASS secret\r\n",
        "USER user@files.example.test:2121 puser\r\nPASS secret\r\nACCT ppass\r\n",
        "USER puser\r\nPASS ppass\r\nOPEN files.example.test:2121\r\nUSER user\r\nPASS secret\r\n",
        "USER puser@files.example.test:2121\r\nUSER user\r\nPASS secret\r\n",
        "USER puser\r\nPASS ppass\r\nHOST files.example.test:2121\r\nUSER user\r\nPASS secret\r\n",
        "USER user@puser@files.example.test:2121\r\nPASS secret@ppass\r\n",
    };
    LastErrorHolder errors;
    for (int method = 0; method < 8; ++method) {
        const Fetched fetched =
            fetchThroughProxy(errors, {method, L"files.example.test", L"user", L"puser", L"ppass"});
        ASSERT_TRUE(fetched.ok) << "method " << method << " error " << fetched.error;
        EXPECT_EQ(fetched.body, std::string(expected[method]) +
                                    "TYPE I\r\nMODE S\r\nSTRU F\r\nMDTM log\r\nPASV\r\nRETR log\r\n")
            << "method " << method;
    }
}

TEST(FtpProxy, RefusalsOfTheProxyAreLogOnFailuresAndOfTheUserAccessDenied) {
    // The scripted proxy refuses any command that holds "refuse".
    const struct {
        ProxyCase proxy;
        int32_t error;
    } cases[] = {
        {{0, L"refuse.example.test", L"user", L"puser", L"ppass"}, ErrFtpLogOn},
        {{4, L"refuse.example.test", L"user", L"puser", L"ppass"}, ErrFtpLogOn},
        {{6, L"refuse.example.test", L"user", L"puser", L"ppass"}, ErrFtpLogOn},
        {{3, L"files.example.test", L"user", L"puser", L"refuse"}, ErrFtpLogOn},
        {{0, L"files.example.test", L"user", L"puser", L"refuse"}, ErrAccessDenied},
        {{1, L"refuse.example.test", L"user", L"puser", L"ppass"}, ErrAccessDenied},
        {{2, L"files.example.test", L"refuse", L"puser", L"ppass"}, ErrAccessDenied},
        {{5, L"files.example.test", L"user", L"refuse", L"ppass"}, ErrAccessDenied},
        {{7, L"files.example.test", L"user", L"puser", L"refuse"}, ErrAccessDenied},
    };
    LastErrorHolder errors;
    for (const auto& c : cases) {
        const Fetched fetched = fetchThroughProxy(errors, c.proxy);
        EXPECT_FALSE(fetched.ok) << "method " << c.proxy.method;
        EXPECT_EQ(fetched.error, c.error) << "method " << c.proxy.method;
    }
}

TEST(FtpProxy, AProxyThatLetsTheUserInEarlyEndsTheSequence) {
    // The scripted proxy answers 230 to a command that holds "welcome".
    LastErrorHolder errors;
    const Fetched fetched =
        fetchThroughProxy(errors, {0, L"files.example.test", L"user", L"welcome", L"ppass"});
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.body, "USER welcome\r\nTYPE I\r\nMODE S\r\nSTRU F\r\nMDTM log\r\nPASV\r\nRETR log\r\n");
}

}  // namespace
