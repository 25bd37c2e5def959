#include "downloadcontrol/net/RawSocket.h"

int RawSocket::startTls(SOCKET, const char*) {
    return 0;
}

int RawSocket::closeSocket(SOCKET socket) {
    return ::closesocket(socket);
}

int RawSocket::shutdownSocket(SOCKET socket, int how) {
    return ::shutdown(socket, how);
}

int RawSocket::receiveRaw(SOCKET socket, char* buffer, int size, int flags) {
    return receiveFromSocket(socket, buffer, size, flags);
}

int RawSocket::sendRaw(SOCKET socket, const char* data, int length, int flags) {
    return sendAll(socket, data, length, flags);
}

bool RawSocket::hasPendingData(SOCKET socket) {
    u_long count = 0;
    return ::ioctlsocket(socket, FIONREAD, &count) == 0 && count > 0;
}

bool RawSocket::isNotReadable(SOCKET socket, long seconds, long microseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{seconds, microseconds};
    return ::select(0, &readable, nullptr, nullptr, &wait) != 1;
}

int RawSocket::receiveFromSocket(SOCKET socket, char* buffer, int size, int flags) {
    return ::recv(socket, buffer, size, flags);
}

int RawSocket::sendToSocket(SOCKET socket, const char* data, int length, int flags) {
    return ::send(socket, data, length, flags);
}

int RawSocket::sendAll(SOCKET socket, const char* data, int length, int flags) {
    int sent = 0;
    while (sent < length) {
        int result = sendToSocket(socket, data + sent, length - sent, flags);
        if (result <= 0) {
            return result;
        }
        sent += result;
    }
    return length;
}
