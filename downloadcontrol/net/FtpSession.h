#pragma once
// The control connection of an FTP client, in the clear or over TLS (negotiated after the greeting, or
// implicit from the first byte), with the passive data connection it owns. It reads the greeting,
// negotiates TLS, logs on, applies the transfer settings and exchanges commands and replies.
//
// Replies are read whole and in step: a multi-line reply ends at its closing line, at the end of the
// stream or when the wait runs out, and has a line cap; a line longer than the reply buffer is read
// to its end and the rest dropped, so the next reply is never taken from the middle of a line.
#include <cstdint>
#include <string>
#include <vector>

#include "downloadcontrol/net/FtpDataConnection.h"
#include "downloadcontrol/net/FtpResult.h"
#include "downloadcontrol/net/ProtocolClient.h"

class FtpSession : public ProtocolClient {
public:
    // Longest reply line kept (longer lines are cut there) and most lines of one reply.
    static constexpr int kReplyLineCapacity = 261;
    static constexpr std::size_t kLastReplyLength = 259;
    static constexpr std::size_t kMaximumReplyLines = 1000;

    FtpSession();
    ~FtpSession() override;

    // Reads the greeting, and negotiates and starts TLS when it is enabled: connect calls this once
    // the TCP connection stands. 0 or an FtpResult (or a TLS result).
    int startTls(SOCKET socket, const char* host) override;

    // USER, then PASS and ACCT when the server asks for them. 0 or an FtpResult.
    virtual int logon(const std::wstring& user, const std::wstring& password, const std::wstring& account);

    // Quits any earlier session, connects to `host` on the control port, logs on (through logon, which
    // a derived class may extend), protects the data connection when TLS is on, and applies the three
    // transfer settings: representation 0..1 (ASCII, image), mode 0..2 (stream, block, compressed),
    // structure 0..2 (file, record, page). 0 or a result code.
    int open(const std::wstring& host, const std::wstring& user, const std::wstring& password,
             const std::wstring& account, int firstSetting, int secondSetting, int thirdSetting);
    int open(const char* host, const char* user, const char* password, const char* account, int firstSetting,
             int secondSetting, int thirdSetting);

    // Sends QUIT without waiting for its reply and disconnects both connections.
    void quit();
    // NOOP: 0 for a 2xx reply, FtpSettingRefused for another, FtpNoReply for none.
    int checkAlive();

    // Sends one command and its line break (wide texts go out in the ANSI code page). False when not
    // all of it went out, and for a text with a line break of its own, which would smuggle in a
    // second command.
    bool sendCommand(const std::wstring& text);
    bool sendCommand(const std::string& text);

    // Sends a command and reads its reply: the reply code, 0 when no reply came.
    int command(const std::wstring& text, std::string* replyText = nullptr);

    // Reads one reply: its code (0 when none came whole within `waitSeconds`, or the receive time-out
    // for 0) and, when asked, the text after the code of its last line.
    int readReply(std::string* text, int waitSeconds = 0);

    // The lines of the last reply, without their line ends.
    int replyLineCount() const { return static_cast<int>(replyLines_.size()); }
    std::string replyLine(int index) const;

    // The last line of the last reply, copied into a caller's buffer: 0, NetMissingArgument without a
    // buffer or length, NetNoText when there is no reply, NetBufferTooSmall (with the needed length in
    // *length) when it does not fit. *length is the buffer's size on entry and the text's length after.
    int lastReplyText(char* buffer, int* length) const;
    int lastReplyText(wchar_t* buffer, int* length) const;

    void setControlPort(int port) { controlPort_ = port; }
    int controlPort() const { return controlPort_; }
    // Values above 0 replace the wait of the control and data connects, in seconds.
    void setConnectWait(int seconds);
    int connectWait() const { return connectWait_; }
    void setImplicitTls(bool implicit) { implicitTls_ = implicit; }
    // The name whose certificate the control connection's TLS session checked.
    const std::string& tlsServerName() const { return tlsServerName_; }
    bool isLoggedOn() const { return loggedOn_; }

protected:
    friend class FtpDataConnection;

    void onTlsFailure(int code) override;

    // Reads the replies still owed by an earlier transfer (its final reply, the replies to ABOR): true
    // when all came and nothing else waits, so the next command's reply is its own.
    bool drainPendingReplies();

    FtpDataConnection data_;
    // Raised by a failure of either TLS session.
    bool aborted_ = false;
    // Replies the server still owes for commands already answered once (RETR's final reply, ABOR's).
    int pendingReplies_ = 0;

private:
    // Reads one line: false when no whole line came.
    bool readReplyLine(std::string& line, int waitSeconds);
    // Greeting and TLS negotiation of an explicit TLS session.
    int negotiateTls();
    int applySetting(int index, int value);

    bool loggedOn_ = false;
    int settings_[3] = {1, 0, 0};
    int controlPort_ = 21;
    int connectWait_ = 5;
    bool implicitTls_ = false;
    std::string tlsServerName_;
    std::string lastReply_;
    std::vector<std::string> replyLines_;
};
