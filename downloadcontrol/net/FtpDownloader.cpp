#include "downloadcontrol/net/FtpDownloader.h"

#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/net/FtpProxyLogon.h"
#include "downloadcontrol/net/FtpReplyParsing.h"
#include "downloadcontrol/net/NetResult.h"

namespace {

constexpr auto kPassive = scrambleText(L"PASV");
constexpr auto kRestart = scrambleText(L"REST %I64d");
constexpr auto kRetrieve = scrambleText(L"RETR %ls");
constexpr auto kAbort = scrambleText(L"ABOR");
constexpr auto kSize = scrambleText(L"SIZE %ls");
constexpr auto kModificationTime = scrambleText(L"MDTM %ls");
constexpr auto kHostAndPort = scrambleText(L"%ls:%d");
// A URL without a user name logs on as a guest, as FTP clients do.
constexpr auto kAnonymousUser = scrambleText(L"anonymous");
constexpr auto kAnonymousPassword = scrambleText(L"pxhl@");

std::wstring withoutLeadingSlash(const std::wstring& path) {
    return !path.empty() && path[0] == L'/' ? path.substr(1) : path;
}

std::wstring withValue(const wchar_t* stored, const std::wstring& value) {
    return formatText(UnscrambleString(stored).c_str(), value.c_str());
}

}  // namespace

FtpDownloader::FtpDownloader(bool secure, bool implicitTls, const std::wstring& host, int32_t port,
                             const std::wstring& path, const std::wstring& userName,
                             const std::wstring& password, const std::wstring& proxyHost, int32_t proxyPort,
                             const std::wstring& proxyUserName, const std::wstring& proxyPassword,
                             int32_t proxyMethod, int32_t connectionTimeout, int32_t receiveBufferSize,
                             LastErrorHolder& errors)
    : secure_(secure),
      host_(host),
      port_(port),
      path_(withoutLeadingSlash(path)),
      userName_(userName),
      password_(password),
      proxy_{proxyHost, proxyPort, proxyUserName, proxyPassword, proxyMethod},
      receiveBufferSize_(boundedReceiveBufferSize(receiveBufferSize)),
      errors_(errors) {
    if (secure_) {
        setTlsEnabled(true);
        setImplicitTls(implicitTls);
    }
    setConnectWait(connectWaitSeconds(connectionTimeout));
}

FtpDownloader::~FtpDownloader() {
    quit();
}

void FtpDownloader::retarget(const std::wstring& host, int32_t port, const std::wstring& path,
                             const std::wstring& proxyHost, int32_t proxyPort) {
    const bool moved = host != host_ || port != port_ || proxyHost != proxy_.host || proxyPort != proxy_.port;
    host_ = host;
    port_ = port;
    path_ = withoutLeadingSlash(path);
    proxy_.host = proxyHost;
    proxy_.port = proxyPort;
    if (moved) {
        quit();  // the session belongs to the old server
    }
}

bool FtpDownloader::isTransferAborted() {
    return errors_.stopRequest();
}

std::wstring FtpDownloader::hostText() const {
    return formatText(UnscrambleString(kHostAndPort.chars).c_str(), host_.c_str(), static_cast<int>(port_));
}

bool FtpDownloader::fail(int32_t code) {
    // A stop request ends whatever step saw it with the stop's own code.
    errors_.setError(errors_.stopRequest() ? ErrTransferStopped : code);
    quit();
    return false;
}

bool FtpDownloader::failReceive() {
    if (aborted_) {
        return fail(ErrTransferStopped);
    }
    return fail(::WSAGetLastError() == WSAETIMEDOUT ? ErrReceiveTimeout : ErrReceive);
}

int FtpDownloader::logon(const std::wstring& user, const std::wstring& password,
                         const std::wstring& account) {
    if (proxy_.host.empty()) {
        return FtpSession::logon(user, password, account);
    }
    return proxyLogon(user, password);
}

int FtpDownloader::proxyLogon(const std::wstring& user, const std::wstring& password) {
    const std::vector<FtpLogonStep> steps = ftpProxyLogonSteps(
        proxy_.method, FtpLogonValues{user, password, proxy_.userName, proxy_.password, hostText()});
    if (steps.empty()) {
        return FtpProxyLogonRefused;
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int code = command(steps[i].command);
        if (code == 0) {
            return FtpNoReply;
        }
        // The proxy may let the user in at any step; after the last one it may still ask for more.
        const bool last = i + 1 == steps.size();
        if (isFtpSuccess(code) || (last && isFtpIntermediate(code))) {
            return FtpOk;
        }
        if (!isFtpIntermediate(code)) {
            return steps[i].refusal;
        }
    }
    return FtpOk;
}

bool FtpDownloader::logOn() {
    if (isLoggedOn() && isConnected() && drainPendingReplies() && checkAlive() == FtpOk) {
        return true;
    }
    const bool viaProxy = !proxy_.host.empty();
    setControlPort(viaProxy ? proxy_.port : port_);
    const bool guest = userName_.empty();
    const std::wstring user = guest ? UnscrambleString(kAnonymousUser.chars) : userName_;
    const std::wstring password =
        guest && password_.empty() ? UnscrambleString(kAnonymousPassword.chars) : password_;
    const int result = open(viaProxy ? proxy_.host : host_, user, password, L"", 1, 0, 0);
    if (result == FtpOk) {
        return true;
    }
    if (isCertificateFailure(result)) {
        return fail(ErrCertificateRefused);
    }
    return fail(result == FtpUserRefused || result == FtpPasswordRefused ? ErrAccessDenied : ErrFtpLogOn);
}

bool FtpDownloader::openSegment(int32_t, int64_t start, int64_t length, int64_t& fileSize, char* buffer,
                                int32_t& received, bool& rangesAccepted, bool& done) {
    received = 0;
    rangesAccepted = false;
    done = false;
    expected_ = -1;
    received_ = 0;
    transferDone_ = false;
    aborted_ = false;
    fileChanged_ = false;
    if (!buffer) {
        return fail(ErrReceive);
    }
    if (!logOn()) {
        return false;
    }
    // The modification time names the version of the file: learnt with the whole file, checked for a
    // part. Bytes of another version (another time, or another size) must not be joined to those
    // already stored.
    const bool partAsked = start >= 0 && length >= 0 && fileSize >= 0;
    replyValidator_ = !partAsked || !condition_.empty() ? modificationTime() : std::wstring();
    if (partAsked && ((!condition_.empty() && !replyValidator_.empty() && replyValidator_ != condition_) ||
                      (start > 0 && serverSizeDiffers(fileSize)))) {
        fileChanged_ = true;
        return fail(ErrServerFileChanged);
    }

    data_.disconnect();
    std::string text;
    if (!isFtpSuccess(command(UnscrambleString(kPassive.chars), &text))) {
        return fail(ErrSend);
    }
    PassiveAddress address;
    if (!parsePassiveReply(text, address)) {
        return fail(ErrReceive);
    }
    // The data connection goes to the server this session talks to: the address in the reply could
    // point anywhere, and servers behind address translation often name one nobody can reach.
    const std::string dataHost = remoteAddress();
    data_.setTlsEnabled(isTlsEnabled());
    data_.setDeferTls(true);
    if (data_.connect(address.port, dataHost.c_str(), connectWait(), AF_INET, SOCK_STREAM) != NetOk) {
        return fail(ErrReceive);
    }

    expected_ = fileSize;
    if (start >= 0 && length >= 0 && fileSize >= 0) {
        const int code = command(formatText(UnscrambleString(kRestart.chars).c_str(), start));
        if (code == 350) {
            rangesAccepted = true;
            expected_ = length;
        } else if (start > 0 || code == 0) {
            // The server would send from the first byte: never write those bytes at `start`.
            return fail(ErrReceive);
        }
    }

    if (!sendCommand(withValue(kRetrieve.chars, path_))) {
        return fail(ErrSend);
    }
    const int code = readReply(nullptr);
    if (code < 100 || code > 299) {
        return fail(ErrReceive);
    }
    pendingReplies_ = code < 200 ? 1 : 0;
    // The server takes the data connection's TLS handshake once it has accepted the transfer; starting
    // it earlier would wait on a server that refused the file. Its certificate is checked against the
    // name the control connection was made to, not the address.
    if (data_.isTlsEnabled()) {
        const int started = data_.startTls(data_.socketHandle(), tlsServerName().c_str());
        if (started != NetOk) {
            return fail(isCertificateFailure(started) ? ErrCertificateRefused : ErrReceive);
        }
    }
    if (expected_ == 0) {
        stopAtExpectedCount();
        transferDone_ = true;
        done = true;
    }
    return true;
}

bool FtpDownloader::receiveMore(char* buffer, int32_t& received, bool& done) {
    received = 0;
    done = false;
    if (!buffer) {
        return fail(ErrReceive);
    }
    if (transferDone_) {
        done = true;
        return true;
    }
    int wanted = receiveBufferSize_;
    if (expected_ >= 0) {
        wanted = static_cast<int>(std::min<int64_t>(wanted, expected_ - received_));
    }
    const int count = data_.receive(buffer, wanted, 0);
    if (aborted_ || errors_.stopRequest()) {
        return fail(ErrTransferStopped);
    }
    if (count < 0) {
        return failReceive();
    }
    if (count == 0) {
        // The server closed the data connection: the end of the file, or a transfer cut short. The
        // count, when known, and the transfer's final reply tell which.
        data_.disconnect();
        if ((expected_ >= 0 && received_ < expected_) || !transferSucceeded()) {
            return fail(ErrReceive);
        }
        transferDone_ = true;
        done = true;
        return true;
    }
    received_ += count;
    received = count;
    if (expected_ >= 0 && received_ >= expected_) {
        stopAtExpectedCount();
        transferDone_ = true;
        done = true;
    }
    return true;
}

std::wstring FtpDownloader::modificationTime() {
    std::string text;
    if (!isFtpSuccess(command(withValue(kModificationTime.chars, path_), &text))) {
        return std::wstring();
    }
    const std::wstring time = trimText(multiByteToWide(text, CP_ACP));
    return time.size() <= kMaximumValidatorLength ? time : std::wstring();
}

bool FtpDownloader::serverSizeDiffers(int64_t fileSize) {
    std::string text;
    if (!isFtpSuccess(command(withValue(kSize.chars, path_), &text))) {
        return false;  // a server that does not tell the size is taken at its word
    }
    const int64_t size = parseInt64(trimText(multiByteToWide(text, CP_ACP)), -1);
    return size >= 0 && size != fileSize;
}

void FtpDownloader::stopAtExpectedCount() {
    // The server answers ABOR, and also ends the transfer with a reply of its own: both are read
    // before the session is used again.
    if (sendCommand(UnscrambleString(kAbort.chars))) {
        ++pendingReplies_;
    }
    data_.disconnect();
}

bool FtpDownloader::transferSucceeded() {
    while (pendingReplies_ > 0) {
        const int code = readReply(nullptr);
        if (code == 0) {
            return false;
        }
        if (code >= 200) {
            --pendingReplies_;
            return isFtpSuccess(code);
        }
    }
    return true;
}

void FtpDownloader::close() {
    data_.disconnect();
}

bool FtpDownloader::querySize(int64_t& size, std::wstring& lastModified, std::wstring& location,
                              std::wstring& proxyLocation) {
    size = -1;
    lastModified.clear();
    location.clear();
    proxyLocation.clear();
    aborted_ = false;
    if (!logOn()) {
        return false;
    }
    std::string text;
    int code = command(withValue(kSize.chars, path_), &text);
    if (code == 0) {
        return failReceive();
    }
    if (isFtpAccepted(code)) {
        size = parseInt64(trimText(multiByteToWide(text, CP_ACP)), -1);
    }
    code = command(withValue(kModificationTime.chars, path_), &text);
    if (code == 0) {
        return failReceive();
    }
    if (isFtpAccepted(code)) {
        lastModified = trimText(multiByteToWide(text, CP_ACP));
    }
    return true;
}
