#include "downloadcontrol/net/FtpSession.h"

#include <algorithm>
#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/net/FtpReplyParsing.h"
#include "downloadcontrol/net/NetResult.h"

namespace {

constexpr auto kUser = scrambleText(L"USER %ls");
constexpr auto kPassword = scrambleText(L"PASS %ls");
constexpr auto kAccount = scrambleText(L"ACCT %ls");
constexpr auto kAuthTls = scrambleText(L"AUTH TLS");
constexpr auto kAuthSsl = scrambleText(L"AUTH SSL");
constexpr auto kProtectionBuffer = scrambleText(L"PBSZ 0");
constexpr auto kProtectData = scrambleText(L"PROT P");
constexpr auto kNoop = scrambleText(L"NOOP");
constexpr auto kQuit = scrambleText(L"QUIT");

// The transfer settings: representation type, transfer mode and file structure, by value.
constexpr auto kTypeAscii = scrambleText(L"TYPE A");
constexpr auto kTypeImage = scrambleText(L"TYPE I");
constexpr auto kModeStream = scrambleText(L"MODE S");
constexpr auto kModeBlock = scrambleText(L"MODE B");
constexpr auto kModeCompressed = scrambleText(L"MODE C");
constexpr auto kStructureFile = scrambleText(L"STRU F");
constexpr auto kStructureRecord = scrambleText(L"STRU R");
constexpr auto kStructurePage = scrambleText(L"STRU P");

// After AUTH TLS: TLS 1.0 up to 1.2, the newest the server offers. After AUTH SSL (servers that only
// know the older word): SSL 3.0 as well.
constexpr DWORD kTlsProtocols = SP_PROT_TLS1_CLIENT | SP_PROT_TLS1_1_CLIENT | SP_PROT_TLS1_2_CLIENT;
constexpr DWORD kSslProtocols = SP_PROT_SSL3_CLIENT | kTlsProtocols;

// How long replies owed by an earlier transfer may take before the session is given up for a new one.
constexpr int kDrainWaitSeconds = 5;
// A reply line longer than this, buffer included, ends the session.
constexpr std::size_t kMaximumLineLength = 64 * 1024;

std::wstring withValue(const wchar_t* stored, const std::wstring& value) {
    return formatText(UnscrambleString(stored).c_str(), value.c_str());
}

}  // namespace

FtpSession::FtpSession() : data_(*this) {}

FtpSession::~FtpSession() {
    quit();
}

void FtpSession::setConnectWait(int seconds) {
    if (seconds > 0) {
        connectWait_ = seconds;
    }
}

void FtpSession::onTlsFailure(int) {
    aborted_ = true;
}

bool FtpSession::sendCommand(const std::wstring& text) {
    return sendCommand(toAnsi(text));
}

bool FtpSession::sendCommand(const std::string& text) {
    if (text.empty() || text.find_first_of("\r\n") != std::string::npos || !isConnected()) {
        return false;
    }
    const std::string line = text + "\r\n";
    return send(line.data(), static_cast<int>(line.size())) == static_cast<int>(line.size());
}

int FtpSession::command(const std::wstring& text, std::string* replyText) {
    if (replyText) {
        replyText->clear();
    }
    if (!sendCommand(text)) {
        return 0;
    }
    return readReply(replyText);
}

bool FtpSession::readReplyLine(std::string& line, int waitSeconds) {
    char buffer[kReplyLineCapacity];
    int count = readLine(buffer, kReplyLineCapacity, waitSeconds);
    if (count <= 0 || buffer[count - 1] != '\n') {
        if (count < kReplyLineCapacity - 1) {
            return false;  // the stream ended, or the wait ran out, inside the line
        }
        // Longer than the buffer: keep the start and read past the rest, so that the next reply is
        // read from its own first byte.
        line.assign(buffer, static_cast<std::size_t>(count));
        std::size_t skipped = 0;
        char rest[kReplyLineCapacity];
        do {
            count = readLine(rest, kReplyLineCapacity, waitSeconds);
            if (count <= 0) {
                return false;
            }
            skipped += static_cast<std::size_t>(count);
            if (skipped > kMaximumLineLength) {
                return false;
            }
        } while (rest[count - 1] != '\n');
        line = std::string(withoutLineEnd(line));
        return true;
    }
    line = std::string(withoutLineEnd(std::string_view(buffer, static_cast<std::size_t>(count))));
    return true;
}

int FtpSession::readReply(std::string* text, int waitSeconds) {
    if (text) {
        text->clear();
    }
    replyLines_.clear();
    const int wait = waitSeconds > 0 ? waitSeconds : receiveTimeout_ / 1000;
    std::string line;
    if (!readReplyLine(line, wait)) {
        return 0;
    }
    const int code = ftpReplyCode(line);
    if (code == 0) {
        return 0;  // not a reply
    }
    replyLines_.push_back(line);
    if (line.size() > 3 && line[3] == '-') {
        do {
            if (replyLines_.size() >= kMaximumReplyLines || !readReplyLine(line, wait)) {
                replyLines_.clear();
                return 0;
            }
            replyLines_.push_back(line);
        } while (!ftpEndsReply(line, code));
    }
    lastReply_ = line.substr(0, kLastReplyLength);
    if (text) {
        *text = ftpReplyText(lastReply_);
    }
    return code;
}

std::string FtpSession::replyLine(int index) const {
    if (index < 0 || index >= replyLineCount()) {
        return {};
    }
    return replyLines_[static_cast<std::size_t>(index)];
}

int FtpSession::lastReplyText(char* buffer, int* length) const {
    if (!buffer || !length) {
        return NetMissingArgument;
    }
    if (lastReply_.empty()) {
        *length = 0;
        return NetNoText;
    }
    const int needed = static_cast<int>(lastReply_.size());
    if (needed >= *length) {
        *length = needed + 1;
        return NetBufferTooSmall;
    }
    std::memcpy(buffer, lastReply_.c_str(), lastReply_.size() + 1);
    *length = needed;
    return NetOk;
}

int FtpSession::lastReplyText(wchar_t* buffer, int* length) const {
    if (!buffer || !length) {
        return NetMissingArgument;
    }
    std::string narrow;
    try {
        narrow.assign(static_cast<std::size_t>(std::max(*length, 1)), '\0');
    } catch (const std::bad_alloc&) {
        return NetOutOfMemory;
    }
    int count = *length;
    const int result = lastReplyText(&narrow[0], &count);
    if (result != NetOk) {
        *length = count;
        return result;
    }
    const int converted = MultiByteToWideChar(CP_ACP, 0, narrow.data(), count, buffer, *length - 1);
    if (converted <= 0 && count > 0) {
        *length = count + 1;
        return NetBufferTooSmall;
    }
    buffer[converted] = L'\0';
    *length = converted;
    return NetOk;
}

int FtpSession::startTls(SOCKET socket, const char* host) {
    if (!isTlsEnabled()) {
        const int code = readReply(nullptr);
        if (code == 0) {
            return FtpNoReply;
        }
        return isFtpAccepted(code) ? FtpOk : FtpUserRefused;
    }
    if (!implicitTls_) {
        const int negotiated = negotiateTls();
        if (negotiated != FtpOk) {
            return negotiated;
        }
    }
    const int started = ProtocolClient::startTls(socket, host);
    if (started != NetOk) {
        return started;
    }
    // The data connection speaks TLS the same way, with the same server.
    tlsServerName_ = host ? host : "";
    data_.setEnabledProtocols(enabledProtocols_);
    if (implicitTls_) {
        // The greeting comes inside the session.
        const int code = readReply(nullptr);
        if (code == 0) {
            return FtpNoReply;
        }
        return isFtpAccepted(code) ? FtpOk : FtpGreetingRefused;
    }
    return FtpOk;
}

int FtpSession::negotiateTls() {
    // The greeting and the security request are in the clear.
    setTlsEnabled(false);
    int result = FtpOk;
    int code = readReply(nullptr);
    if (code == 0) {
        result = FtpNoReply;
    } else if (!isFtpAccepted(code)) {
        result = FtpGreetingRefused;
    } else if (isFtpAccepted(command(UnscrambleString(kAuthTls.chars)))) {
        setEnabledProtocols(kTlsProtocols);
    } else {
        code = command(UnscrambleString(kAuthSsl.chars));
        if (code == 0) {
            result = FtpNoReply;
        } else if (!isFtpAccepted(code)) {
            result = FtpTlsRefused;
        } else {
            setEnabledProtocols(kSslProtocols);
        }
    }
    setTlsEnabled(true);
    return result;
}

int FtpSession::logon(const std::wstring& user, const std::wstring& password, const std::wstring& account) {
    int code = command(withValue(kUser.chars, user));
    if (code == 0) {
        return FtpNoReply;
    }
    if (isFtpSuccess(code)) {
        return FtpOk;
    }
    if (!isFtpIntermediate(code)) {
        return FtpUserRefused;
    }
    code = command(withValue(kPassword.chars, password));
    if (code == 0) {
        return FtpNoReply;
    }
    if (isFtpSuccess(code)) {
        return FtpOk;
    }
    if (!isFtpIntermediate(code)) {
        return FtpPasswordRefused;
    }
    code = command(withValue(kAccount.chars, account));
    if (code == 0) {
        return FtpNoReply;
    }
    return isFtpAccepted(code) ? FtpOk : FtpAccountRefused;
}

int FtpSession::open(const std::wstring& host, const std::wstring& user, const std::wstring& password,
                     const std::wstring& account, int firstSetting, int secondSetting, int thirdSetting) {
    quit();
    replyLines_.clear();
    lastReply_.clear();

    const std::string narrowHost = toAnsi(host);
    int result = connect(controlPort_, narrowHost.c_str(), connectWait_, AF_INET, SOCK_STREAM);
    if (result != NetOk) {
        return result;
    }
    result = logon(user, password, account);
    if (result != FtpOk) {
        return result;
    }
    if (isTlsEnabled()) {
        // Servers differ in what they answer here; a data connection they do not protect fails later.
        command(UnscrambleString(kProtectionBuffer.chars));
        command(UnscrambleString(kProtectData.chars));
    }
    const int settings[3] = {firstSetting, secondSetting, thirdSetting};
    for (int index = 0; index < 3; ++index) {
        result = applySetting(index, settings[index]);
        if (result != FtpOk) {
            return result;
        }
    }
    loggedOn_ = true;
    return FtpOk;
}

int FtpSession::open(const char* host, const char* user, const char* password, const char* account,
                     int firstSetting, int secondSetting, int thirdSetting) {
    const auto wide = [](const char* text) { return multiByteToWide(text ? text : "", CP_ACP); };
    return open(wide(host), wide(user), wide(password), wide(account), firstSetting, secondSetting,
                thirdSetting);
}

int FtpSession::applySetting(int index, int value) {
    static const wchar_t* const kCommands[3][3] = {
        {kTypeAscii.chars, kTypeImage.chars, nullptr},
        {kModeStream.chars, kModeBlock.chars, kModeCompressed.chars},
        {kStructureFile.chars, kStructureRecord.chars, kStructurePage.chars},
    };
    if (index < 0 || index > 2 || value < 0 || value > 2 || !kCommands[index][value]) {
        return FtpSettingOutOfRange;
    }
    const int code = command(UnscrambleString(kCommands[index][value]));
    if (code == 0) {
        return FtpNoReply;
    }
    if (!isFtpSuccess(code)) {
        return FtpSettingRefused;
    }
    settings_[index] = value;
    return FtpOk;
}

void FtpSession::quit() {
    if (isConnected()) {
        sendCommand(UnscrambleString(kQuit.chars));
    }
    disconnect();
    data_.disconnect();
    loggedOn_ = false;
    pendingReplies_ = 0;
}

int FtpSession::checkAlive() {
    const int code = command(UnscrambleString(kNoop.chars));
    if (code == 0) {
        return FtpNoReply;
    }
    return isFtpSuccess(code) ? FtpOk : FtpSettingRefused;
}

bool FtpSession::drainPendingReplies() {
    while (pendingReplies_ > 0) {
        const int code = readReply(nullptr, kDrainWaitSeconds);
        if (code == 0) {
            return false;
        }
        if (code >= 200) {
            --pendingReplies_;  // a preliminary reply comes before the one owed
        }
    }
    // Anything more is an answer to nothing the session knows of: the count is lost.
    return !hasPendingData(socket_);
}
