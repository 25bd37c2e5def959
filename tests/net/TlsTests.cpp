// TLS sessions through the system security provider, against the scripted TLS servers, nginx and an
// openssl server that speaks only TLS 1.3 (which the provider here cannot). The peers' certificates are
// signed by the suite's test authority, which the suite trusts while it runs; nginx and vsftpd also
// offer a self-signed certificate and one made out to another name, which are refused.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SegmentFetch.h"
#include "downloadcontrol/net/FtpDownloader.h"
#include "downloadcontrol/net/HttpDownloader.h"
#include "downloadcontrol/net/NetResult.h"
#include "downloadcontrol/net/ProtocolClient.h"
#include "support/Peers.h"

using nettest::Fetched;
using nettest::fetchSegment;
using nettest::pattern;
using testsupport::peerPort;

namespace {

HttpDownloader secureClient(LastErrorHolder& errors, const char* peer, const std::wstring& path) {
    return HttpDownloader(true, L"localhost", peerPort(peer), path, L"", L"", L"", L"", 0, L"", L"", 0, 4000,
                          4096, errors);
}

// A TLS connection that records the certificate questions it is asked and answers them as told.
class CheckingConnection : public ProtocolClient {
public:
    explicit CheckingConnection(bool answer) : answer_(answer) { setTlsEnabled(true); }
    int questions = 0;
    DWORD lastError = 0;
    std::wstring subject;
    std::wstring askedHost;

protected:
    bool confirmCertificate(const CertificateHolder& certificate, DWORD policyError,
                            const std::wstring& host) override {
        ++questions;
        lastError = policyError;
        subject = certificate.subjectName();
        askedHost = host;
        return answer_;
    }

private:
    bool answer_;
};

std::string readAll(ProtocolClient& connection) {
    std::string all;
    char buffer[4096];
    for (;;) {
        const int count = connection.receive(buffer, sizeof(buffer), 0);
        if (count <= 0) {
            return all;
        }
        all.append(buffer, static_cast<std::size_t>(count));
    }
}

TEST(Tls, RecordsSplitAcrossReadsAreDecryptedWhole) {
    LastErrorHolder errors;
    HttpDownloader http(true, L"localhost", peerPort("tls_split"), L"/data?size=60000", L"", L"", L"", L"", 0,
                        L"", L"", 0, 4000, 1000, errors);
    const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_EQ(fetched.fileSize, 60000);
    EXPECT_TRUE(fetched.body == pattern(0, 60000));
}

TEST(Tls, BytesSentRightAfterTheHandshakeAreKept) {
    // Read at the connection: the server speaks first, in the same write as its last handshake message.
    ProtocolClient connection;
    connection.setTlsEnabled(true);
    ASSERT_EQ(connection.connect(peerPort("tls_greeting"), "localhost", 5, AF_INET, SOCK_STREAM), NetOk);
    char line[64];
    // A peek that finds the line, then the read: the same bytes.
    ASSERT_EQ(connection.readLine(line, sizeof(line), 5), 17);
    EXPECT_STREQ(line, "HTTP/1.1 200 OK\r\n");
    connection.disconnect();

    // And through the HTTP client, which asks only after the reply is already there.
    LastErrorHolder errors;
    HttpDownloader http = secureClient(errors, "tls_greeting", L"/");
    const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
    ASSERT_TRUE(fetched.ok) << fetched.error;
    EXPECT_TRUE(fetched.body == pattern(0, 20000));
}

TEST(Tls, CloseNotifyEndsTheBodyAndAResetFailsIt) {
    LastErrorHolder errors;
    HttpDownloader http = secureClient(errors, "tls_closenotify", L"/?size=30000");
    // Twice with the same client: closing one session must not spoil the next.
    for (int round = 0; round < 2; ++round) {
        const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
        ASSERT_TRUE(fetched.ok) << "round " << round << " error " << fetched.error;
        EXPECT_EQ(fetched.fileSize, -1);
        EXPECT_TRUE(fetched.body == pattern(0, 30000));
        EXPECT_FALSE(http.isAborted());
    }

    // A reset without a close-notify: the body has no length, so it may be cut. Depending on whether
    // the reset shows as a failed read (34, the session aborted) or only as a close (16), the transfer
    // fails either way.
    HttpDownloader reset = secureClient(errors, "tls_reset", L"/?size=30000");
    const Fetched broken = fetchSegment(reset, errors, 0, -1, -1, -1);
    EXPECT_FALSE(broken.ok);
    EXPECT_TRUE(broken.error == ErrReceive || broken.error == ErrTransferStopped) << broken.error;
}

TEST(Tls, AServerThatSpeaksOnlyTls13FailsCleanly) {
    ProtocolClient connection;
    connection.setTlsEnabled(true);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(connection.connect(peerPort("tls13_only"), "localhost", 5, AF_INET, SOCK_STREAM),
              TlsHandshakeNotStarted);
    EXPECT_FALSE(connection.isConnected());

    LastErrorHolder errors;
    HttpDownloader http = secureClient(errors, "tls13_only", L"/");
    const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrConnect);
    EXPECT_LT(GetTickCount64() - start, 20000u);
}

TEST(Tls, ACertificateThatFailsTheCheckIsPutToTheHookAndRefused) {
    CheckingConnection refusing(false);
    EXPECT_EQ(refusing.connect(peerPort("nginx_selfsigned"), "localhost", 5, AF_INET, SOCK_STREAM),
              TlsCertificateRefused);
    EXPECT_EQ(refusing.questions, 1);
    EXPECT_EQ(refusing.lastError, static_cast<DWORD>(CERT_E_UNTRUSTEDROOT));
    EXPECT_EQ(refusing.subject, L"localhost");
    EXPECT_EQ(refusing.askedHost, L"localhost");
    EXPECT_FALSE(refusing.isConnected());

    CheckingConnection misnamed(true);
    ASSERT_EQ(misnamed.connect(peerPort("nginx_wrongname"), "localhost", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(misnamed.lastError, static_cast<DWORD>(CERT_E_CN_NO_MATCH));

    // A trusted chain made out to the name asked for: no question.
    CheckingConnection trusted(false);
    ASSERT_EQ(trusted.connect(peerPort("nginx_https"), "localhost", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(trusted.questions, 0);
    const std::string request = "GET /files/one.bin HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    ASSERT_EQ(trusted.send(request.data(), static_cast<int>(request.size())),
              static_cast<int>(request.size()));
    EXPECT_EQ(readAll(trusted).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);

    // Mode 2: no check, no question.
    CheckingConnection unchecked(false);
    unchecked.setVerificationMode(TlsSocket::SkipVerification);
    EXPECT_EQ(unchecked.connect(peerPort("nginx_selfsigned"), "localhost", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(unchecked.questions, 0);
}

TEST(Tls, TheClientsRefuseServersWhoseCertificateIsNotTrustedOrNotTheirs) {
    for (const char* peer : {"nginx_https", "nginx_selfsigned", "nginx_wrongname"}) {
        LastErrorHolder errors;
        HttpDownloader http = secureClient(errors, peer, L"/files/small.bin");
        const Fetched fetched = fetchSegment(http, errors, 0, -1, -1, -1);
        if (std::string(peer) == "nginx_https") {
            EXPECT_TRUE(fetched.ok && fetched.body == testsupport::servedFile("files/small.bin"));
            continue;
        }
        EXPECT_FALSE(fetched.ok) << peer;
        EXPECT_EQ(fetched.error, ErrCertificateRefused) << peer;
        EXPECT_NE(errors.description().find(L"certificate"), std::wstring::npos) << peer;
    }

    LastErrorHolder errors;
    FtpDownloader ftps(true, false, L"localhost", peerPort("ftps_selfsigned"), L"/files/one.bin", L"", L"",
                       L"", 0, L"", L"", 0, 4000, 4096, errors);
    const Fetched fetched = fetchSegment(ftps, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrCertificateRefused);
}

// The real provider, except that the handshake keeps asking for a client certificate `times` times.
class CertificateRequestingConnection : public ProtocolClient {
public:
    explicit CertificateRequestingConnection(int times) {
        setTlsEnabled(true);
        remaining() = times;
    }
    static int& remaining() {
        static int count = 0;
        return count;
    }

protected:
    int loadSecurityProvider() override {
        const int result = ProtocolClient::loadSecurityProvider();
        real() = functions_.InitializeSecurityContextW;
        functions_.InitializeSecurityContextW = &initialize;
        return result;
    }

private:
    static INITIALIZE_SECURITY_CONTEXT_FN_W& real() {
        static INITIALIZE_SECURITY_CONTEXT_FN_W function = nullptr;
        return function;
    }
    static SECURITY_STATUS SEC_ENTRY initialize(PCredHandle credentials, PCtxtHandle context,
                                                SEC_WCHAR* target, unsigned long request,
                                                unsigned long reserved1, unsigned long representation,
                                                PSecBufferDesc input, unsigned long reserved2,
                                                PCtxtHandle newContext, PSecBufferDesc output,
                                                unsigned long* attributes, PTimeStamp expiry) {
        if (input && remaining() > 0) {
            --remaining();
            return SEC_I_INCOMPLETE_CREDENTIALS;
        }
        return real()(credentials, context, target, request, reserved1, representation, input, reserved2,
                      newContext, output, attributes, expiry);
    }
};

TEST(Tls, ARequestForAClientCertificateIsAnsweredOnce) {
    CertificateRequestingConnection once(1);
    EXPECT_EQ(once.connect(peerPort("nginx_https"), "localhost", 5, AF_INET, SOCK_STREAM), NetOk)
        << "without a matching certificate the handshake goes on without one";

    CertificateRequestingConnection again(100);
    EXPECT_EQ(again.connect(peerPort("nginx_https"), "localhost", 5, AF_INET, SOCK_STREAM),
              TlsHandshakeNotStarted);
    EXPECT_EQ(CertificateRequestingConnection::remaining(), 98) << "asked twice, then given up";
}

}  // namespace
