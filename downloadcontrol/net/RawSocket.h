#pragma once
// The bottom of the connection class chain: each operation is the plain blocking WinSock call. The TLS
// socket overrides them to run a TLS session in between; the protocol client above uses only these.
#include <winsock2.h>
#include <windows.h>

class RawSocket {
public:
    RawSocket() = default;
    virtual ~RawSocket() = default;
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    // Called once the TCP connection stands; nothing to do without TLS. 0 is success.
    virtual int startTls(SOCKET socket, const char* host);
    virtual int closeSocket(SOCKET socket);
    virtual int shutdownSocket(SOCKET socket, int how);
    // recv: the byte count, 0 when the peer closed, -1 on failure (WSAGetLastError tells why).
    virtual int receiveRaw(SOCKET socket, char* buffer, int size, int flags);
    // Sends all bytes (a partial send is continued): `length`, or the failing send's result (0 or -1).
    virtual int sendRaw(SOCKET socket, const char* data, int length, int flags);
    // True when bytes are waiting to be read.
    virtual bool hasPendingData(SOCKET socket);
    // True unless the socket becomes readable within the given time.
    virtual bool isNotReadable(SOCKET socket, long seconds, long microseconds);

protected:
    // Every read from and write to the socket, plain or TLS, goes through these two so that a derived
    // class can bound and interrupt the waits. The defaults are the plain recv and send.
    virtual int receiveFromSocket(SOCKET socket, char* buffer, int size, int flags);
    virtual int sendToSocket(SOCKET socket, const char* data, int length, int flags);
    // Sends all `length` bytes, looping on partial sends: `length` on success, else the failing
    // send's result (0 or -1).
    int sendAll(SOCKET socket, const char* data, int length, int flags = 0);
};
