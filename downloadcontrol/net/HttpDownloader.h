#pragma once
// Fetches one byte range of one file over HTTP or HTTPS, directly or through an HTTP proxy (forwarding
// with the absolute URL, or a tunnel), and answers the size query. Every request asks the server to
// close the connection, so a body without a length ends when the server closes; a body with a length
// or chunked framing ends when it is complete, and one cut short before that is a failure.
#include <cstdint>
#include <string>
#include <vector>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/ChunkDecoder.h"
#include "downloadcontrol/net/DownloadClient.h"
#include "downloadcontrol/net/HttpReplyHeader.h"
#include "downloadcontrol/net/ProtocolClient.h"
#include "downloadcontrol/net/ProxySettings.h"

class HttpDownloader : public ProtocolClient, public DownloadClient {
public:
    // Proxy methods of HTTP and HTTPS.
    enum ProxyMethod { ForwardingProxy = 0, TunnelProxy = 1 };

    // Longest reply header (all its blocks together) and longest proxy reply taken.
    static constexpr std::size_t kMaximumHeaderBytes = 64 * 1024;

    // `secure` runs the connection over TLS; a server whose certificate the system does not trust, or
    // one made out to another name, is refused.
    // `connectionTimeout` (ms) bounds the connect step only; sends and receives wait up to 30 s.
    HttpDownloader(bool secure, const std::wstring& host, int32_t port, const std::wstring& path,
                   const std::wstring& referer, const std::wstring& userName, const std::wstring& password,
                   const std::wstring& proxyHost, int32_t proxyPort, const std::wstring& proxyUserName,
                   const std::wstring& proxyPassword, int32_t proxyMethod, int32_t connectionTimeout,
                   int32_t receiveBufferSize, LastErrorHolder& errors);
    ~HttpDownloader() override;

    void retarget(const std::wstring& host, int32_t port, const std::wstring& path,
                  const std::wstring& proxyHost, int32_t proxyPort) override;
    bool isAborted() const override { return aborted_; }
    bool querySize(int64_t& size, std::wstring& lastModified, std::wstring& location,
                   std::wstring& proxyLocation) override;
    int32_t receiveBufferSize() const override { return static_cast<int32_t>(buffer_.size()); }
    bool openSegment(int32_t segmentNumber, int64_t start, int64_t length, int64_t& fileSize, char* buffer,
                     int32_t& received, bool& rangesAccepted, bool& done) override;
    bool receiveMore(char* buffer, int32_t& received, bool& done) override;
    void close() override;
    // A range request for a file with a validator carries it (If-Range): a server whose file changed
    // answers with the whole new file under another validator, which fails the request with
    // ErrServerFileChanged. The whole file under the same validator (or none) fails a request from the
    // middle with ErrHttpStatus: the server does not serve ranges.
    std::wstring validator() const override { return replyValidator_; }
    void setValidator(const std::wstring& validator) override { condition_ = validator; }
    bool fileChanged() const override { return fileChanged_; }

protected:
    void onTlsFailure(int code) override;
    bool isTransferAborted() override;

private:
    // "host" for the scheme's default port, else "host:port".
    std::wstring hostText() const;
    // What the request line names: the absolute URL for a forwarding proxy, else the path.
    std::wstring requestTarget() const;
    // The request line, the host and what is accepted: how every request to the server starts.
    std::wstring requestStart(const std::wstring& method) const;
    // The lines that carry the referer and the credentials.
    std::wstring credentialLines() const;
    static std::wstring basicCredentials(const std::wstring& userName, const std::wstring& password);

    bool connectStep();
    bool openTunnel();
    bool sendRequest(const std::wstring& request);
    // Reads until a final (not 1xx) header block is complete, in reads of `readSize` bytes. `bytes`
    // holds everything read; the final block starts at `blockStart` and its body at `bodyStart`.
    bool readReplyHead(int readSize, int closedError, std::string& bytes, std::size_t& bodyStart,
                       HttpReplyHeader& header);
    // Sends a request to the server and reads the reply's head, as readReplyHead does.
    bool exchange(const std::wstring& request, std::string& bytes, std::size_t& bodyStart,
                  HttpReplyHeader& header);
    // True when a 2xx reply to a range request names another version of the file than the one
    // `condition_` names, or a part of a file of another size than `fileSize`.
    bool isOtherVersion(const HttpReplyHeader& header, int64_t fileSize) const;
    // Checks a 2xx reply to a segment request and prepares the body's framing.
    bool acceptSegmentReply(const HttpReplyHeader& header, int64_t start, int64_t length,
                            bool rangeRequested);
    // Passes received bytes through the body framing into `output`.
    bool deliver(const char* data, std::size_t count, char* output, int32_t& received, bool& done);

    bool fail(int32_t code);
    bool failSend();
    bool failReceive();

    bool secure_;
    std::wstring host_;
    int32_t port_;
    std::wstring path_;
    std::wstring referer_;
    std::wstring userName_;
    std::wstring password_;
    ProxySettings proxy_;
    int32_t connectionTimeout_;
    LastErrorHolder& errors_;
    std::vector<char> buffer_;

    bool aborted_ = false;
    std::wstring condition_;       // the validator sent with range requests
    std::wstring replyValidator_;  // the validator of the last reply
    bool fileChanged_ = false;
    bool chunked_ = false;
    ChunkDecoder decoder_;
    int64_t bodyLength_ = -1;  // from Content-Length; -1 when unknown or chunked
    int64_t bodyReceived_ = 0;
    bool bodyComplete_ = false;
};
