#include "downloadcontrol/net/HttpDownloader.h"

#include <algorithm>
#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/net/NetResult.h"

namespace {

constexpr int kHeaderReadSize = 512;
constexpr int kTunnelReadSize = 2048;

// "bytes first-last/total": false when the text is not of that form; `total` is -1 for "*".
bool parseContentRange(const std::wstring& value, int64_t& first, int64_t& last, int64_t& total) {
    const std::wstring text = trimText(value);
    if (text.compare(0, 6, L"bytes ") != 0) {
        return false;
    }
    const std::size_t dash = text.find(L'-', 6);
    const std::size_t slash = text.find(L'/', 6);
    if (dash == std::wstring::npos || slash == std::wstring::npos || slash < dash) {
        return false;
    }
    first = parseInt64(trimText(std::wstring_view(text).substr(6, dash - 6)), -1);
    last = parseInt64(trimText(std::wstring_view(text).substr(dash + 1, slash - dash - 1)), -1);
    total = parseInt64(trimText(std::wstring_view(text).substr(slash + 1)), -1);
    return first >= 0 && last >= first;
}

// The reply's entity tag when it is a strong one (a weak one may not be sent back with a range request),
// else its last-modified time; "" when neither fits a file's header.
std::wstring validatorOf(const HttpReplyHeader& header) {
    const std::wstring tag = header.value(L"ETag");
    if (!tag.empty() && tag.compare(0, 2, L"W/") != 0 && tag.size() <= kMaximumValidatorLength) {
        return tag;
    }
    const std::wstring modified = header.value(L"Last-Modified");
    return modified.size() <= kMaximumValidatorLength ? modified : std::wstring();
}

}  // namespace

HttpDownloader::HttpDownloader(bool secure, const std::wstring& host, int32_t port, const std::wstring& path,
                               const std::wstring& referer, const std::wstring& userName,
                               const std::wstring& password, const std::wstring& proxyHost, int32_t proxyPort,
                               const std::wstring& proxyUserName, const std::wstring& proxyPassword,
                               int32_t proxyMethod, int32_t connectionTimeout, int32_t receiveBufferSize,
                               LastErrorHolder& errors)
    : secure_(secure),
      host_(host),
      port_(port),
      path_(path),
      referer_(referer),
      userName_(userName),
      password_(password),
      proxy_{proxyHost, proxyPort, proxyUserName, proxyPassword, proxyMethod},
      connectionTimeout_(connectionTimeout),
      errors_(errors),
      buffer_(static_cast<std::size_t>(boundedReceiveBufferSize(receiveBufferSize))) {
    // A secure connection checks the server's certificate (the default mode): the credentials and the
    // file travel over it.
    setTlsEnabled(secure_);
    retarget(host, port, path, proxyHost, proxyPort);
}

HttpDownloader::~HttpDownloader() {
    disconnect();
}

void HttpDownloader::retarget(const std::wstring& host, int32_t port, const std::wstring& path,
                              const std::wstring& proxyHost, int32_t proxyPort) {
    host_ = host;
    port_ = port;
    path_ = path;
    proxy_.host = proxyHost;
    proxy_.port = proxyPort;
    setTarget(toAnsi(host_).c_str(), port_);
    ProtocolClient::setProxy(toAnsi(proxy_.host).c_str(), proxy_.port);
}

void HttpDownloader::onTlsFailure(int) {
    aborted_ = true;
}

bool HttpDownloader::isTransferAborted() {
    return errors_.stopRequest();
}

std::wstring HttpDownloader::hostText() const {
    const int32_t defaultPort = secure_ ? 443 : 80;
    return port_ == defaultPort ? host_ : host_ + L":" + std::to_wstring(port_);
}

std::wstring HttpDownloader::requestTarget() const {
    // A blank would end the request line early.
    const std::wstring path = path_.empty() ? L"/" : escapeUrlBlanks(path_);
    if (!proxy_.host.empty() && proxy_.method == ForwardingProxy) {
        return (secure_ ? L"https://" : L"http://") + hostText() + path;
    }
    return path;
}

std::wstring HttpDownloader::basicCredentials(const std::wstring& userName, const std::wstring& password) {
    const std::string bytes = wideToLowBytes(userName + L":" + password);
    return bytesToWide(base64Encode(bytes.data(), bytes.size(), Base64NoLineBreaks));
}

std::wstring HttpDownloader::credentialLines() const {
    std::wstring lines;
    if (!referer_.empty()) {
        lines += L"Referer: " + referer_ + L"\r\n";
    }
    if (!proxy_.host.empty() && proxy_.method == ForwardingProxy && !proxy_.userName.empty() &&
        !proxy_.password.empty()) {
        lines +=
            L"Proxy-Authorization: Basic " + basicCredentials(proxy_.userName, proxy_.password) + L"\r\n";
    }
    if (!userName_.empty() || !password_.empty()) {
        lines += L"Authorization: Basic " + basicCredentials(userName_, password_) + L"\r\n";
    }
    return lines;
}

bool HttpDownloader::fail(int32_t code) {
    // A stop request ends whatever step saw it with the stop's own code.
    errors_.setError(errors_.stopRequest() ? ErrTransferStopped : code);
    disconnect();
    return false;
}

bool HttpDownloader::failSend() {
    return fail(::WSAGetLastError() == WSAETIMEDOUT ? ErrSendTimeout : ErrSend);
}

bool HttpDownloader::failReceive() {
    if (aborted_) {
        return fail(ErrTransferStopped);
    }
    return fail(::WSAGetLastError() == WSAETIMEDOUT ? ErrReceiveTimeout : ErrReceive);
}

bool HttpDownloader::connectStep() {
    disconnect();
    aborted_ = false;
    setTlsEnabled(secure_);
    const bool tunnel = !proxy_.host.empty() && proxy_.method == TunnelProxy;
    setDeferTls(tunnel && secure_);
    const std::string host = toAnsi(host_);
    const int connected =
        connect(port_, host.c_str(), connectWaitSeconds(connectionTimeout_), AF_INET, SOCK_STREAM);
    if (connected != NetOk) {
        return fail(isCertificateFailure(connected) ? ErrCertificateRefused : ErrConnect);
    }
    if (!tunnel) {
        return true;
    }
    // The proxy speaks plain HTTP until the tunnel stands.
    setTlsEnabled(false);
    return openTunnel();
}

bool HttpDownloader::openTunnel() {
    // The tunnel always names the port: a proxy may take a bare host for port 443.
    const std::wstring authority = host_ + L":" + std::to_wstring(port_);
    std::wstring request = L"CONNECT " + authority + L" HTTP/1.1\r\nHost: " + authority + L"\r\n";
    if (!proxy_.userName.empty() && !proxy_.password.empty()) {
        request +=
            L"Proxy-Authorization: Basic " + basicCredentials(proxy_.userName, proxy_.password) + L"\r\n";
    }
    request += L"\r\n";
    if (!sendRequest(request)) {
        return false;
    }

    std::string bytes;
    std::size_t bodyStart = 0;
    HttpReplyHeader header;
    if (!readReplyHead(kTunnelReadSize, ErrConnect, bytes, bodyStart, header)) {
        return false;
    }
    const int status = header.status();
    if (status >= 200 && status <= 299) {
        setTlsEnabled(secure_);
        if (secure_) {
            // Inside the tunnel the TLS session is with the server, which knows itself by its bare name.
            const std::string host = toAnsi(host_);
            const int started = startTls(socketHandle(), host.c_str());
            if (started != NetOk) {
                return fail(isCertificateFailure(started) ? ErrCertificateRefused : ErrConnect);
            }
        }
        return true;
    }
    return fail(status == 403 ? ErrAccessDenied : ErrConnect);
}

bool HttpDownloader::sendRequest(const std::wstring& request) {
    const std::string bytes = toAnsi(request);
    if (send(bytes.data(), static_cast<int>(bytes.size())) != static_cast<int>(bytes.size())) {
        if (aborted_) {
            return fail(ErrSend);
        }
        return failSend();
    }
    return true;
}

std::wstring HttpDownloader::requestStart(const std::wstring& method) const {
    return method + L" " + requestTarget() + L" HTTP/1.1\r\nHost: " + hostText() + L"\r\nAccept: */*\r\n";
}

bool HttpDownloader::exchange(const std::wstring& request, std::string& bytes, std::size_t& bodyStart,
                              HttpReplyHeader& header) {
    if (!sendRequest(request)) {
        return false;
    }
    const int readSize = std::min<int>(static_cast<int>(buffer_.size()), kHeaderReadSize);
    return readReplyHead(readSize, ErrHttpStatus, bytes, bodyStart, header);
}

bool HttpDownloader::readReplyHead(int readSize, int closedError, std::string& bytes, std::size_t& bodyStart,
                                   HttpReplyHeader& header) {
    bytes.clear();
    std::size_t blockStart = 0;
    std::size_t searchFrom = 0;
    aborted_ = false;
    std::vector<char> piece(static_cast<std::size_t>(readSize));
    for (;;) {
        std::size_t next = 0;
        const std::ptrdiff_t end = findHeaderBlockEnd(bytes, searchFrom, &next);
        if (end >= 0) {
            if (!header.parse(
                    std::string_view(bytes).substr(blockStart, static_cast<std::size_t>(end) - blockStart))) {
                return fail(ErrHttpStatus);
            }
            // Interim replies (100 Continue and the like) come before the real one.
            if (header.status() >= 100 && header.status() <= 199) {
                blockStart = next;
                searchFrom = next;
                continue;
            }
            bodyStart = next;
            return true;
        }
        if (bytes.size() >= kMaximumHeaderBytes) {
            return fail(ErrHttpStatus);
        }
        // Only the last few bytes can start the empty line that is still missing.
        searchFrom = std::max(blockStart, bytes.size() >= 3 ? bytes.size() - 3 : std::size_t(0));
        const int wanted =
            static_cast<int>(std::min<std::size_t>(piece.size(), kMaximumHeaderBytes - bytes.size()));
        const int received = receive(piece.data(), wanted, 0);
        if (aborted_ || errors_.stopRequest()) {
            return fail(ErrTransferStopped);
        }
        if (received < 0) {
            return failReceive();
        }
        if (received == 0) {
            return fail(closedError);  // closed before the header was complete
        }
        bytes.append(piece.data(), static_cast<std::size_t>(received));
    }
}

bool HttpDownloader::isOtherVersion(const HttpReplyHeader& header, int64_t fileSize) const {
    int64_t first = -1;
    int64_t last = -1;
    int64_t total = -1;
    if (header.status() == 206 && parseContentRange(header.value(L"Content-Range"), first, last, total) &&
        total >= 0 && fileSize >= 0 && total != fileSize) {
        return true;
    }
    // A server that ignores the condition still names the version it sent. A whole file that names the
    // same version, or none, comes from a server that does not serve ranges.
    const bool tag = !condition_.empty() && condition_[0] == L'"';
    const std::wstring sent = header.value(tag ? L"ETag" : L"Last-Modified");
    return !condition_.empty() && !sent.empty() && sent != condition_;
}

bool HttpDownloader::acceptSegmentReply(const HttpReplyHeader& header, int64_t start, int64_t length,
                                        bool rangeRequested) {
    const int status = header.status();
    if (status == 206) {
        // Partial content is taken only for the range asked, and at the place asked: bytes from
        // elsewhere would be written at the wrong offset of the file.
        int64_t first = -1;
        int64_t last = -1;
        int64_t total = -1;
        if (!rangeRequested || !parseContentRange(header.value(L"Content-Range"), first, last, total) ||
            first != start || last > start + length - 1) {
            return false;
        }
    } else if (rangeRequested && start > 0) {
        return false;  // the whole file instead of the range
    }

    chunked_ = compareText(header.value(L"Transfer-Encoding"), L"chunked", false) == 0;
    decoder_.reset();
    bodyLength_ = chunked_ ? -1 : parseInt64(header.value(L"Content-Length"), -1);
    bodyReceived_ = 0;
    bodyComplete_ = false;
    return true;
}

bool HttpDownloader::deliver(const char* data, std::size_t count, char* output, int32_t& received,
                             bool& done) {
    std::size_t written = 0;
    if (chunked_) {
        if (decoder_.decode(data, count, output, written) != ChunkDecoder::Result::Ok) {
            return fail(ErrHttpStatus);
        }
        bodyComplete_ = decoder_.finished();
    } else {
        written = count;
        if (bodyLength_ >= 0) {
            // Bytes beyond the announced length are not part of the file.
            written = static_cast<std::size_t>(
                std::min<int64_t>(static_cast<int64_t>(count), bodyLength_ - bodyReceived_));
            bodyComplete_ = bodyReceived_ + static_cast<int64_t>(written) >= bodyLength_;
        }
        if (output != data) {
            std::memmove(output, data, written);
        }
    }
    bodyReceived_ += static_cast<int64_t>(written);
    received = static_cast<int32_t>(written);
    done = bodyComplete_;
    return true;
}

bool HttpDownloader::openSegment(int32_t segmentNumber, int64_t start, int64_t length, int64_t& fileSize,
                                 char* buffer, int32_t& received, bool& rangesAccepted, bool& done) {
    received = 0;
    rangesAccepted = false;
    done = false;
    chunked_ = false;
    bodyComplete_ = false;
    fileChanged_ = false;
    replyValidator_.clear();
    if (!buffer) {
        return fail(ErrReceive);
    }
    if (!connectStep()) {
        return false;
    }

    const bool rangeRequested = start >= 0 && length >= 0 && fileSize >= 0;
    std::wstring request = requestStart(L"GET");
    request += rangeRequested
                   ? L"User-Agent: Pxhl/1.0 (segment " + std::to_wstring(segmentNumber + 1) + L")\r\n"
                   : L"User-Agent: Pxhl/1.0\r\n";
    request += credentialLines();
    if (rangeRequested) {
        request +=
            L"Range: bytes=" + std::to_wstring(start) + L"-" + std::to_wstring(start + length - 1) + L"\r\n";
        if (!condition_.empty()) {
            request += L"If-Range: " + condition_ + L"\r\n";
        }
    }
    request += L"Connection: close\r\n\r\n";
    std::string bytes;
    std::size_t bodyStart = 0;
    HttpReplyHeader header;
    if (!exchange(request, bytes, bodyStart, header)) {
        return false;
    }
    const int status = header.status();
    if (status < 200 || status > 299) {
        return fail(status == 401 || status == 403 ? ErrAccessDenied : ErrHttpStatus);
    }
    replyValidator_ = validatorOf(header);
    if (rangeRequested && isOtherVersion(header, fileSize)) {
        // Its bytes must not be mixed with those of the version already stored.
        fileChanged_ = true;
        return fail(ErrServerFileChanged);
    }
    if (!acceptSegmentReply(header, start, length, rangeRequested)) {
        return fail(ErrHttpStatus);
    }
    if (segmentNumber == 0 && fileSize < 0) {
        fileSize = parseInt64(header.value(L"Content-Length"), -1);
    }
    if (fileSize >= 0) {
        rangesAccepted = status == 206 || compareText(header.value(L"Accept-Ranges"), L"bytes", false) == 0;
    }
    // What came with the header is at most one read, which fits the caller's buffer.
    return deliver(bytes.data() + bodyStart, bytes.size() - bodyStart, buffer, received, done);
}

bool HttpDownloader::receiveMore(char* buffer, int32_t& received, bool& done) {
    received = 0;
    done = false;
    aborted_ = false;
    if (!buffer) {
        return fail(ErrReceive);
    }
    if (bodyComplete_) {
        done = true;
        return true;
    }
    // Chunked bytes are decoded from the client's own buffer; others go straight to the caller's.
    char* target = chunked_ ? buffer_.data() : buffer;
    const int count = receive(target, static_cast<int>(buffer_.size()), 0);
    if (aborted_ || errors_.stopRequest()) {
        return fail(ErrTransferStopped);
    }
    if (count < 0) {
        return failReceive();
    }
    if (count == 0) {
        // The server closed: the end of a body without a length, or a body cut short. Over TLS, only a
        // close-notify ends a body without a length: a bare close may be a cut connection.
        const bool cut = chunked_ || (bodyLength_ >= 0 && bodyReceived_ < bodyLength_) ||
                         (bodyLength_ < 0 && isTlsEnabled() && !peerClosedSession());
        if (cut) {
            return fail(ErrReceive);
        }
        bodyComplete_ = true;
        done = true;
        return true;
    }
    return deliver(target, static_cast<std::size_t>(count), buffer, received, done);
}

void HttpDownloader::close() {
    disconnect();
}

bool HttpDownloader::querySize(int64_t& size, std::wstring& lastModified, std::wstring& location,
                               std::wstring& proxyLocation) {
    size = -1;
    lastModified.clear();
    location.clear();
    proxyLocation.clear();
    if (!connectStep()) {
        return false;
    }
    std::wstring request = requestStart(L"HEAD");
    request += L"User-Agent: Pxhl/1.0\r\n";
    request += credentialLines();
    request += L"Connection: close\r\n\r\n";
    std::string bytes;
    std::size_t bodyStart = 0;
    HttpReplyHeader header;
    if (!exchange(request, bytes, bodyStart, header)) {
        return false;
    }
    disconnect();

    const int status = header.status();
    if (status >= 200 && status <= 299) {
        size = parseInt64(header.value(L"Content-Length"), -1);
        lastModified = header.value(L"Last-Modified");
        return true;
    }
    if ((status >= 300 && status <= 303) || status == 307 || status == 308) {
        location = header.value(L"Location");
        return true;
    }
    // 305 (use a proxy the server names) is not followed: the server would choose where the request
    // and its credentials go.
    errors_.setError(status == 401 || status == 403 ? ErrAccessDenied : ErrHttpStatus);
    return false;
}
