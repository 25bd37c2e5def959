// The connection layer on its own: connect outcomes and waits, line reading, time-outs.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "SegmentFetch.h"
#include "downloadcontrol/net/HttpDownloader.h"
#include "downloadcontrol/net/NetResult.h"
#include "downloadcontrol/net/ProtocolClient.h"
#include "support/TestSupport.h"
#include "support/Peers.h"

using testsupport::peerPort;

namespace {

// A one-connection server in this process: accepts, sends its script, then holds the connection
// open until the client closes.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::string script) : script_(std::move(script)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int length = sizeof(address);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::listen(listener_, 1);
        thread_ = CreateThread(nullptr, 0, &ScriptedPeer::run, this, 0, nullptr);
    }
    ~ScriptedPeer() {
        closesocket(listener_);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    int port() const { return port_; }

private:
    static DWORD WINAPI run(void* self) {
        auto* peer = static_cast<ScriptedPeer*>(self);
        SOCKET connection = ::accept(peer->listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) {
            return 0;
        }
        // Sent in pieces a little apart, so that lines arrive split.
        for (std::size_t offset = 0; offset < peer->script_.size(); offset += 100) {
            const std::string piece = peer->script_.substr(offset, 100);
            ::send(connection, piece.data(), static_cast<int>(piece.size()), 0);
            Sleep(5);
        }
        char sink[256];
        while (::recv(connection, sink, sizeof(sink), 0) > 0) {
        }
        closesocket(connection);
        return 0;
    }

    std::string script_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    HANDLE thread_ = nullptr;
};

TEST(ProtocolClient, ConnectsToDottedAndNamedHosts) {
    ProtocolClient dotted;
    ASSERT_EQ(dotted.connect(peerPort("nginx_http"), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(dotted.remoteAddress(), "127.0.0.1");
    EXPECT_EQ(dotted.remotePort(), peerPort("nginx_http"));
    EXPECT_GT(dotted.localPort(), 0);
    EXPECT_EQ(dotted.connect(peerPort("nginx_http"), "127.0.0.1", 5, AF_INET, SOCK_STREAM),
              NetAlreadyConnected);
    EXPECT_EQ(dotted.disconnect(), 0);
    EXPECT_FALSE(dotted.isConnected());
    EXPECT_EQ(dotted.localPort(), 0);

    ProtocolClient named;
    ASSERT_EQ(named.connect(peerPort("nginx_http"), L"localhost", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(named.remoteAddress(), "127.0.0.1");

    ProtocolClient nameless;
    EXPECT_EQ(nameless.connect(80, "", 5, AF_INET, SOCK_STREAM), NetHostNotResolved);
    EXPECT_EQ(nameless.connect(80, "nonexistent.invalid", 5, AF_INET, SOCK_STREAM), NetHostNotResolved);
    EXPECT_FALSE(nameless.isConnected());
}

TEST(ProtocolClient, AProxyHostReplacesTheTarget) {
    ProtocolClient client;
    client.setProxy("127.0.0.1", peerPort("nginx_http"));
    ASSERT_EQ(client.connect(peerPort("closed"), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    EXPECT_EQ(client.remotePort(), peerPort("nginx_http"));
}

TEST(ProtocolClient, ARefusedConnectFailsWithoutWaiting) {
    ProtocolClient client;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(client.connect(peerPort("closed"), "127.0.0.1", 20, AF_INET, SOCK_STREAM), NetConnectFailed);
    EXPECT_LT(GetTickCount64() - start, 10000u);
    EXPECT_FALSE(client.isConnected());

    LastErrorHolder errors;
    HttpDownloader http(false, L"127.0.0.1", peerPort("closed"), L"/", L"", L"", L"", L"", 0, L"", L"", 0,
                        20000, 4096, errors);
    const nettest::Fetched fetched = nettest::fetchSegment(http, errors, 0, -1, -1, -1);
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrConnect);
}

TEST(ProtocolClient, ABlackHoleEndsInAConnectTimeOutAfterTheComputedSeconds) {
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(1000), 1);
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(1499), 1);
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(1500), 2);
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(0), 1);
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(-1), 1);
    EXPECT_EQ(HttpDownloader::connectWaitSeconds(12000), 12);

    ProtocolClient client;
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(client.connect(peerPort("black_hole"), "127.0.0.1", 1, AF_INET, SOCK_STREAM),
              NetConnectTimedOut);
    EXPECT_GE(GetTickCount64() - start, 900u);
    EXPECT_FALSE(client.isConnected());

    // 1500 ms of connection time-out wait 2 seconds, then the client reports a connect failure.
    LastErrorHolder errors;
    HttpDownloader http(false, L"127.0.0.1", peerPort("black_hole"), L"/", L"", L"", L"", L"", 0, L"", L"", 0,
                        1500, 4096, errors);
    start = GetTickCount64();
    const nettest::Fetched fetched = nettest::fetchSegment(http, errors, 0, -1, -1, -1);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_FALSE(fetched.ok);
    EXPECT_EQ(fetched.error, ErrConnect);
    EXPECT_GE(elapsed, 1900u);
    EXPECT_LT(elapsed, 15000u);
}

TEST(ProtocolClient, LinesLongerThanTheBufferComeInPieces) {
    const std::string longLine(600, 'x');
    ScriptedPeer peer("220 first line\r\nsecond\n" + longLine + "\r\nlast");
    ProtocolClient client;
    ASSERT_EQ(client.connect(peer.port(), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    char line[256];
    EXPECT_EQ(client.readLine(line, sizeof(line), 5), 16);
    EXPECT_STREQ(line, "220 first line\r\n");
    EXPECT_EQ(client.readLine(line, sizeof(line), 5), 7);
    EXPECT_STREQ(line, "second\n");
    std::string pieces;
    for (int i = 0; i < 3; ++i) {
        const int count = client.readLine(line, sizeof(line), 5);
        EXPECT_LE(count, 255);
        pieces.append(line, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(pieces, longLine + "\r\n");
    // The last line has no line feed: it ends when no more data arrives within the wait.
    EXPECT_EQ(client.readLine(line, sizeof(line), 1), 4);
    EXPECT_STREQ(line, "last");
}

TEST(ProtocolClient, DrainDropsWhatIsWaiting) {
    const std::string script = "one\r\ntwo\r\nthree\r\n";
    ScriptedPeer peer(script);
    ProtocolClient client;
    ASSERT_EQ(client.connect(peer.port(), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    // Every line is waiting before the drain.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            u_long waiting = 0;
            return ioctlsocket(client.socketHandle(), FIONREAD, &waiting) == 0 && waiting >= script.size();
        },
        5000));
    EXPECT_EQ(client.drainInput(), 0);
    char buffer[16];
    EXPECT_EQ(client.receive(buffer, sizeof(buffer), 1), -1) << "nothing is left";
}

TEST(ProtocolClient, ASilentPeerEndsTheReceiveWithATimeOutNotAnEnd) {
    ScriptedPeer peer("");
    ProtocolClient client;
    ASSERT_EQ(client.connect(peer.port(), "127.0.0.1", 5, AF_INET, SOCK_STREAM), NetOk);
    char buffer[16];
    // A wait of its own: -1 with a time-out, never 0 (which means the peer closed).
    EXPECT_EQ(client.receive(buffer, sizeof(buffer), 1), -1);
    EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
    // The socket's receive time-out.
    ASSERT_TRUE(client.setReceiveTimeout(800));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(client.receive(buffer, sizeof(buffer), 0), -1);
    EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
    EXPECT_GE(GetTickCount64() - start, 700u);
}

TEST(ProtocolClient, TimeOutsAreKeptOnlyForAnOpenSocket) {
    ProtocolClient client;
    EXPECT_FALSE(client.setReceiveTimeout(1000));
    EXPECT_FALSE(client.setSendTimeout(1000));
}

}  // namespace
