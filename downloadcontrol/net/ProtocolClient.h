#pragma once
// One TCP connection of a protocol client, plain or with TLS: the connect step with its time-out, the
// send, receive and line-reading loops, and the disconnect. The HTTP client, the FTP session and its
// data connection derive from it. An object is used by one thread and holds one connection at a time.
//
// The socket is non-blocking once connected: a read or write that cannot go on at once waits in short
// slices and asks isTransferAborted() between them, so that a stop request is seen within a fraction of
// a second while a receive or send still waits up to its full time-out.
#include "downloadcontrol/net/SocketConnection.h"

#include <cstdint>
#include <string>

#include "downloadcontrol/net/HostLookup.h"

class ProtocolClient : public SocketConnection {
public:
    ProtocolClient();
    ~ProtocolClient() override;

    // Connects to `host`:`port` (the target), or to the proxy when a proxy host is set. With
    // `waitSeconds` of 0 or more the connect waits at most that long. Once connected, the socket's
    // time-outs are set and TLS is started unless deferred. 0 is success, else a NetResult; the
    // socket is closed after any failure.
    int connect(int port, const wchar_t* host, int waitSeconds, int family, int type);
    int connect(int port, const char* host, int waitSeconds, int family, int type);
    // The seconds a client's connect waits for the control's connection time-out (ms): rounded to whole
    // seconds, halves up, at least 1.
    static int connectWaitSeconds(int32_t connectionTimeoutMs);
    // SOCKET_ERROR-free socket creation: 0, or 1 when `socket` failed.
    int createSocket(SOCKET& created, int family, int type, int protocol);
    // Shuts down and closes both sockets: 0, or 1 when any of the calls failed.
    int disconnect();

    // Sends a text (wide texts go out in the ANSI code page); a length of 0 or less means the whole
    // text. The count of bytes sent, 0 when the send failed.
    int sendText(const wchar_t* text);
    int send(const char* text, int length);
    // Sends the data in pieces of at most `chunkSize` bytes, each followed by a line break; the count
    // of data bytes sent.
    int sendInChunks(const wchar_t* text, int chunkSize);
    int sendInChunks(const char* data, int length, int chunkSize);

    // 0 when the socket became writable within `seconds`, else 1.
    int waitWritable(int seconds);
    // One read of up to `size` bytes: the count, 0 when the peer closed, -1 on failure. A failure after
    // the receive time-out (or after `waitSeconds`, when above 0) leaves WSAETIMEDOUT as the last error.
    int receive(char* buffer, int size, int waitSeconds);
    // Reads up to and including a line feed, at most capacity - 1 bytes, and terminates the buffer; the
    // count read (a longer line comes back in pieces).
    int readLine(char* buffer, int capacity, int waitSeconds);
    // Reads and drops whatever is waiting.
    int drainInput();
    int waitReadable(long seconds, long microseconds);

    // Apply the time-out to the open socket; the value is kept only when that succeeds.
    bool setReceiveTimeout(int milliseconds);
    bool setSendTimeout(int milliseconds);

    // The text in the ANSI code page.
    static std::string toAnsi(const std::wstring& text);

    void setTarget(const char* host, int port);
    void setProxy(const char* host, int port);
    void setDeferTls(bool defer) { deferTls_ = defer; }

    SOCKET socketHandle() const { return socket_; }
    bool isConnected() const { return socket_ != INVALID_SOCKET; }
    const std::string& remoteAddress() const { return remoteAddress_; }
    int remotePort() const { return remotePort_; }
    // The local port of the connection, 0 when none.
    int localPort() const;

protected:
    // Every result of a step passes through here; a derived class may watch them.
    virtual int passResult(int code) { return code; }
    // Whether the loops go on sending and receiving.
    virtual bool continueSending() { return !isTransferAborted(); }
    virtual bool continueReceiving() { return !isTransferAborted(); }
    // True when the transfer should end now (a stop request); never in this class.
    virtual bool isTransferAborted() { return false; }
    // How host names are looked up: the system's lookup, unless a test names its own.
    virtual HostLookup::Resolver hostResolver() const { return &HostLookup::systemResolver; }

    int receiveFromSocket(SOCKET socket, char* buffer, int size, int flags) override;
    int sendToSocket(SOCKET socket, const char* data, int length, int flags) override;

    SOCKET socket_ = INVALID_SOCKET;
    SOCKET secondSocket_ = INVALID_SOCKET;
    int family_ = AF_INET;
    int type_ = SOCK_STREAM;
    std::string remoteAddress_;
    sockaddr_in peerAddress_{};
    int remotePort_ = 0;
    mutable int localPort_ = 0;  // -1: connected, not read yet
    bool nonBlocking_ = false;
    int sendTimeout_ = 30000;
    int receiveTimeout_ = 30000;
    bool deferTls_ = false;
    std::string targetHost_;
    int targetPort_ = 0;
    std::string proxyHost_;
    int proxyPort_ = 0;

private:
    // Waits in slices until the socket is readable (or, when `sessionCounts`, the TLS session holds
    // input): 0, or -1 with the last error set to WSAETIMEDOUT after `milliseconds`, or to WSAEINTR
    // when the transfer was aborted.
    int waitForInput(SOCKET socket, ULONGLONG milliseconds, bool sessionCounts);
    // The same for room to send.
    int waitForOutput(SOCKET socket, ULONGLONG milliseconds);
    // Waits in slices for the socket to become readable or writable.
    int waitForSocket(SOCKET socket, bool forOutput, ULONGLONG milliseconds, bool sessionCounts);
    // The connect's wait for the outcome of a non-blocking connect.
    int waitConnected(int waitSeconds);
    // The IPv4 address of a host name: NetOk, NetHostNotResolved, or NetConnectStopped when the transfer
    // was aborted meanwhile (the lookup then ends alone, see HostLookup).
    int lookUpHost(const std::string& name, in_addr& address);
    void closeQuietly(SOCKET& socket);
};
