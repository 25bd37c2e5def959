#pragma once
// Fetches one byte range of one file, or its size and modification time, from an FTP server: in the
// clear or over TLS (negotiated, or implicit on its own port), directly or through an FTP proxy with
// one of its log-on variants. Each segment opens a passive data connection; the control session is
// kept between operations while it answers, with the replies of the last transfer read first.
#include <cstdint>
#include <string>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/DownloadClient.h"
#include "downloadcontrol/net/FtpSession.h"
#include "downloadcontrol/net/ProxySettings.h"

class FtpDownloader : public FtpSession, public DownloadClient {
public:
    // `secure` runs the control and data connections over TLS, refusing a server whose certificate the
    // system does not trust for the host name; `implicitTls` starts TLS with the connection instead of
    // negotiating it.
    // `connectionTimeout` (ms) bounds each connect; replies and data wait up to 30 s.
    FtpDownloader(bool secure, bool implicitTls, const std::wstring& host, int32_t port,
                  const std::wstring& path, const std::wstring& userName, const std::wstring& password,
                  const std::wstring& proxyHost, int32_t proxyPort, const std::wstring& proxyUserName,
                  const std::wstring& proxyPassword, int32_t proxyMethod, int32_t connectionTimeout,
                  int32_t receiveBufferSize, LastErrorHolder& errors);
    ~FtpDownloader() override;

    void retarget(const std::wstring& host, int32_t port, const std::wstring& path,
                  const std::wstring& proxyHost, int32_t proxyPort) override;
    bool isAborted() const override { return aborted_; }
    // The size from SIZE (-1 when the server does not tell) and the MDTM text ("YYYYMMDDhhmmss").
    bool querySize(int64_t& size, std::wstring& lastModified, std::wstring& location,
                   std::wstring& proxyLocation) override;
    int32_t receiveBufferSize() const override { return receiveBufferSize_; }
    // `rangesAccepted` tells that the server restarted the transfer at `start`.
    bool openSegment(int32_t segmentNumber, int64_t start, int64_t length, int64_t& fileSize, char* buffer,
                     int32_t& received, bool& rangesAccepted, bool& done) override;
    bool receiveMore(char* buffer, int32_t& received, bool& done) override;
    void close() override;
    // The validator is the file's modification time; a part of a file is taken only while the server's
    // file has that time and, from the middle, the known size.
    std::wstring validator() const override { return replyValidator_; }
    void setValidator(const std::wstring& validator) override { condition_ = validator; }
    bool fileChanged() const override { return fileChanged_; }

protected:
    // Through the proxy's log-on variant when a proxy is set, else the plain log-on.
    int logon(const std::wstring& user, const std::wstring& password, const std::wstring& account) override;
    bool isTransferAborted() override;

private:
    // Reuses the session when it is in step and answers, else opens a new one. False after failing.
    bool logOn();
    int proxyLogon(const std::wstring& user, const std::wstring& password);
    // "host:port" of the server.
    std::wstring hostText() const;
    // Ends the transfer at the expected count: ABOR, and the data connection closed.
    void stopAtExpectedCount();
    // The final reply of a transfer whose data connection the server closed: true for success.
    bool transferSucceeded();

    // Stores the error (or the stop's own when a stop was asked), quits the session and returns false.
    bool fail(int32_t code);
    // The file's modification time as the server tells it ("" when it does not).
    std::wstring modificationTime();
    // True when the server tells a size of the file other than `fileSize`.
    bool serverSizeDiffers(int64_t fileSize);
    bool failReceive();

    bool secure_;
    std::wstring host_;
    int32_t port_;
    std::wstring path_;  // without its leading "/"
    std::wstring userName_;
    std::wstring password_;
    ProxySettings proxy_;
    int32_t receiveBufferSize_;
    LastErrorHolder& errors_;

    int64_t expected_ = -1;  // bytes the data connection should bring, -1 when unknown
    int64_t received_ = 0;
    bool transferDone_ = false;
    std::wstring condition_;       // the version whose bytes are stored
    std::wstring replyValidator_;  // the version the last segment found
    bool fileChanged_ = false;
};
