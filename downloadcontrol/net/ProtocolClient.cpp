#include "downloadcontrol/net/ProtocolClient.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/net/NetResult.h"

namespace {

// Longest single wait between two looks at the stop request.
constexpr DWORD kWaitSliceMilliseconds = 200;

timeval sliceOf(ULONGLONG milliseconds) {
    const ULONGLONG slice = std::min<ULONGLONG>(milliseconds, kWaitSliceMilliseconds);
    return timeval{static_cast<long>(slice / 1000), static_cast<long>((slice % 1000) * 1000)};
}

}  // namespace

ProtocolClient::ProtocolClient() = default;

ProtocolClient::~ProtocolClient() {
    disconnect();
}

std::string ProtocolClient::toAnsi(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &converted[0], length, nullptr,
                        nullptr);
    return converted;
}

void ProtocolClient::setTarget(const char* host, int port) {
    targetHost_ = host ? host : "";
    targetPort_ = port;
}

void ProtocolClient::setProxy(const char* host, int port) {
    proxyHost_ = host ? host : "";
    proxyPort_ = port;
}

int ProtocolClient::connectWaitSeconds(int32_t connectionTimeoutMs) {
    const int64_t seconds = roundHalfUp(static_cast<double>(connectionTimeoutMs) * 0.001);
    return static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(seconds, INT32_MAX / 1000)));
}

int ProtocolClient::connect(int port, const wchar_t* host, int waitSeconds, int family, int type) {
    const std::string narrow = toAnsi(host ? host : L"");
    return connect(port, narrow.c_str(), waitSeconds, family, type);
}

int ProtocolClient::connect(int port, const char* host, int waitSeconds, int family, int type) {
    family_ = family;
    type_ = type;
    setTarget(host, port);
    const bool viaProxy = !proxyHost_.empty();
    const std::string address = viaProxy ? proxyHost_ : targetHost_;
    const int addressPort = viaProxy ? proxyPort_ : targetPort_;

    if (socket_ != INVALID_SOCKET) {
        return passResult(NetAlreadyConnected);
    }
    if (address.empty()) {
        return passResult(NetHostNotResolved);
    }

    in_addr resolved{};
    resolved.s_addr = ::inet_addr(address.c_str());
    if (resolved.s_addr == INADDR_NONE) {
        const int looked = lookUpHost(address, resolved);
        if (looked != NetOk) {
            return passResult(looked);
        }
    }
    remoteAddress_ = ::inet_ntoa(resolved);
    peerAddress_ = sockaddr_in{};
    peerAddress_.sin_family = static_cast<short>(family);
    peerAddress_.sin_port = ::htons(static_cast<u_short>(addressPort));
    peerAddress_.sin_addr = resolved;

    socket_ = ::socket(family, type, 0);
    if (socket_ == INVALID_SOCKET) {
        return passResult(NetSocketNotCreated);
    }
    if (waitSeconds >= 0) {
        u_long on = 1;
        if (::ioctlsocket(socket_, FIONBIO, &on) == 0) {
            nonBlocking_ = true;
        }
    }

    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&peerAddress_), sizeof(peerAddress_)) != 0) {
        int result = NetConnectFailed;
        if (::WSAGetLastError() == WSAEWOULDBLOCK && nonBlocking_) {
            result = waitConnected(waitSeconds);
        }
        if (result != NetOk) {
            closeQuietly(socket_);
            return passResult(result);
        }
    }

    // Connected, at once or after the wait: the same steps follow either way. The socket stays
    // non-blocking: reads and writes wait for it themselves, in slices, up to the time-outs (see
    // receiveFromSocket). Only a socket left blocking needs the system's time-outs. (Every socket call
    // is a round trip to the system under some hosts, so none is made without need.)
    if (!nonBlocking_) {
        u_long on = 1;
        nonBlocking_ = ::ioctlsocket(socket_, FIONBIO, &on) == 0;
    }
    if (!nonBlocking_) {
        const DWORD receiveTimeout = static_cast<DWORD>(receiveTimeout_);
        const DWORD sendTimeout = static_cast<DWORD>(sendTimeout_);
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
                     sizeof(receiveTimeout));
        ::setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
                     sizeof(sendTimeout));
    }
    remotePort_ = ::ntohs(peerAddress_.sin_port);
    localPort_ = -1;  // read from the socket when asked for

    if (!deferTls_) {
        const int started = startTls(socket_, targetHost_.c_str());
        if (started != NetOk) {
            closeQuietly(socket_);
            return passResult(started);
        }
    }
    return passResult(NetOk);
}

int ProtocolClient::lookUpHost(const std::string& name, in_addr& address) {
    const HostLookup::Resolver resolver = hostResolver();
    const std::shared_ptr<HostLookup> lookup = HostLookup::start(name, resolver);
    if (!lookup) {
        // Without a thread of its own the lookup runs here; a stop then waits for it.
        return resolver(name.c_str(), address) ? NetOk : NetHostNotResolved;
    }
    while (!lookup->wait(kWaitSliceMilliseconds)) {
        if (isTransferAborted()) {
            return NetConnectStopped;
        }
    }
    if (!lookup->resolved()) {
        return NetHostNotResolved;
    }
    address = lookup->address();
    return NetOk;
}

int ProtocolClient::waitConnected(int waitSeconds) {
    const ULONGLONG limit = static_cast<ULONGLONG>(waitSeconds) * 1000;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (isTransferAborted()) {
            return NetConnectStopped;
        }
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= limit && limit > 0) {
            return NetConnectTimedOut;
        }
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket_, &writable);
        FD_SET(socket_, &failed);
        timeval wait = sliceOf(limit - std::min(elapsed, limit));
        const int ready = ::select(0, nullptr, &writable, &failed, &wait);
        if (ready < 0) {
            return NetConnectFailed;
        }
        if (ready > 0) {
            // A failed connect shows in the error set (and may be writable as well); writable alone
            // means connected. (No further question to the socket: each is a trip to the system.)
            return FD_ISSET(socket_, &failed) ? NetConnectFailed : NetOk;
        }
        if (limit == 0) {
            return NetConnectTimedOut;
        }
    }
}

void ProtocolClient::closeQuietly(SOCKET& socket) {
    if (socket != INVALID_SOCKET) {
        closeSocket(socket);
        socket = INVALID_SOCKET;
    }
    nonBlocking_ = false;
}

int ProtocolClient::createSocket(SOCKET& created, int family, int type, int protocol) {
    created = ::socket(family, type, protocol);
    return created == INVALID_SOCKET ? 1 : 0;
}

int ProtocolClient::disconnect() {
    int failed = 0;
    for (SOCKET* socket : {&socket_, &secondSocket_}) {
        if (*socket == INVALID_SOCKET) {
            continue;
        }
        if (type_ == SOCK_STREAM && shutdownSocket(*socket, SD_BOTH) != 0) {
            failed = 1;
        }
        if (closeSocket(*socket) != 0) {
            failed = 1;
        }
        *socket = INVALID_SOCKET;
    }
    remotePort_ = 0;
    localPort_ = 0;
    remoteAddress_.clear();
    nonBlocking_ = false;
    return passResult(failed);
}

int ProtocolClient::localPort() const {
    if (localPort_ < 0 && socket_ != INVALID_SOCKET) {
        sockaddr_in local{};
        int localLength = sizeof(local);
        localPort_ = ::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &localLength) == 0
                         ? ::ntohs(local.sin_port)
                         : 0;
    }
    return std::max(localPort_, 0);
}

int ProtocolClient::sendText(const wchar_t* text) {
    const std::string narrow = toAnsi(text ? text : L"");
    return narrow.empty() ? 0 : send(narrow.data(), static_cast<int>(narrow.size()));
}

int ProtocolClient::send(const char* text, int length) {
    if (!text) {
        return 0;
    }
    if (length <= 0) {
        length = static_cast<int>(std::strlen(text));
    }
    if (length == 0) {
        return 0;
    }
    const int sent = sendRaw(socket_, text, length, 0);
    return sent > 0 ? sent : 0;
}

int ProtocolClient::sendInChunks(const wchar_t* text, int chunkSize) {
    const std::string narrow = toAnsi(text ? text : L"");
    return sendInChunks(narrow.data(), static_cast<int>(narrow.size()), chunkSize);
}

int ProtocolClient::sendInChunks(const char* data, int length, int chunkSize) {
    static const char kSeparator[] = "\r\n";
    if (!data || length <= 0 || chunkSize <= 0) {
        return 0;
    }
    int total = 0;
    while (total < length && continueSending()) {
        const int part = std::min(chunkSize, length - total);
        const int sent = sendRaw(socket_, data + total, part, 0);
        if (sent < 1) {
            break;
        }
        total += sent;
        if (sendRaw(socket_, kSeparator, 2, 0) < 1) {
            break;
        }
    }
    return total;
}

int ProtocolClient::waitWritable(int seconds) {
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(socket_, &writable);
    timeval wait{seconds, 0};
    return ::select(0, nullptr, &writable, nullptr, &wait) == 1 ? 0 : 1;
}

int ProtocolClient::waitForSocket(SOCKET socket, bool forOutput, ULONGLONG milliseconds, bool sessionCounts) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (sessionCounts && hasBufferedInput()) {
            return 0;
        }
        if (isTransferAborted()) {
            ::WSASetLastError(WSAEINTR);
            return -1;
        }
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= milliseconds) {
            ::WSASetLastError(WSAETIMEDOUT);
            return -1;
        }
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(socket, &ready);
        FD_SET(socket, &failed);
        timeval wait = sliceOf(milliseconds - elapsed);
        const int count = forOutput ? ::select(0, nullptr, &ready, &failed, &wait)
                                    : ::select(0, &ready, nullptr, &failed, &wait);
        if (count != 0) {
            return count > 0 ? 0 : -1;  // ready, closed or reset: the next call tells which
        }
    }
}

int ProtocolClient::waitForInput(SOCKET socket, ULONGLONG milliseconds, bool sessionCounts) {
    return waitForSocket(socket, false, milliseconds, sessionCounts);
}

int ProtocolClient::waitForOutput(SOCKET socket, ULONGLONG milliseconds) {
    return waitForSocket(socket, true, milliseconds, false);
}

int ProtocolClient::receiveFromSocket(SOCKET socket, char* buffer, int size, int flags) {
    // Called for the socket's own bytes, also from inside a TLS read: what the session holds is no
    // reason to skip the wait.
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG limit = static_cast<ULONGLONG>(static_cast<DWORD>(receiveTimeout_));
    for (;;) {
        const int received = ::recv(socket, buffer, size, flags);
        if (received >= 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {
            return received;
        }
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (waitForInput(socket, elapsed >= limit ? 0 : limit - elapsed, false) != 0) {
            return -1;
        }
    }
}

int ProtocolClient::sendToSocket(SOCKET socket, const char* data, int length, int flags) {
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG limit = static_cast<ULONGLONG>(static_cast<DWORD>(sendTimeout_));
    for (;;) {
        const int sent = ::send(socket, data, length, flags);
        if (sent >= 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {
            return sent;
        }
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (waitForOutput(socket, elapsed >= limit ? 0 : limit - elapsed) != 0) {
            return -1;
        }
    }
}

int ProtocolClient::receive(char* buffer, int size, int waitSeconds) {
    if (!buffer || size <= 0) {
        return -1;
    }
    if (waitSeconds > 0 && waitForInput(socket_, static_cast<ULONGLONG>(waitSeconds) * 1000, true) != 0) {
        return -1;
    }
    return receiveRaw(socket_, buffer, size, 0);
}

int ProtocolClient::readLine(char* buffer, int capacity, int waitSeconds) {
    if (!buffer || capacity <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    int total = 0;
    while (total < capacity - 1 && continueReceiving()) {
        if (waitSeconds >= 1 &&
            waitForInput(socket_, static_cast<ULONGLONG>(waitSeconds) * 1000, true) != 0) {
            break;
        }
        char* free = buffer + total;
        const int peeked = receiveRaw(socket_, free, capacity - 1 - total, MSG_PEEK);
        if (peeked < 1) {
            break;
        }
        const char* lineFeed =
            static_cast<const char*>(std::memchr(free, '\n', static_cast<std::size_t>(peeked)));
        const int wanted = lineFeed ? static_cast<int>(lineFeed - free) + 1 : peeked;
        const int got = receiveRaw(socket_, free, wanted, 0);
        if (got < 1) {
            break;
        }
        total += got;
        buffer[total] = '\0';
        if (lineFeed && got == wanted) {
            break;
        }
    }
    buffer[total] = '\0';
    return total;
}

int ProtocolClient::drainInput() {
    char line[256];
    while (hasPendingData(socket_)) {
        if (readLine(line, sizeof(line), 0) <= 0) {
            break;
        }
    }
    return passResult(0);
}

int ProtocolClient::waitReadable(long seconds, long microseconds) {
    return passResult(isNotReadable(socket_, seconds, microseconds) ? 1 : 0);
}

bool ProtocolClient::setReceiveTimeout(int milliseconds) {
    const DWORD value = static_cast<DWORD>(milliseconds);
    if (socket_ == INVALID_SOCKET ||
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value),
                     sizeof(value)) != 0) {
        return false;
    }
    receiveTimeout_ = milliseconds;
    return true;
}

bool ProtocolClient::setSendTimeout(int milliseconds) {
    const DWORD value = static_cast<DWORD>(milliseconds);
    if (socket_ == INVALID_SOCKET ||
        ::setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&value),
                     sizeof(value)) != 0) {
        return false;
    }
    sendTimeout_ = milliseconds;
    return true;
}
