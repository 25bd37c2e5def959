#pragma once
// The interface through which the download engine and the size query drive a protocol client (HTTP
// and HTTPS, FTP and FTP over TLS). One client object serves one worker thread. A transfer operation
// that fails has stored its error code in the control's LastErrorHolder and disconnected before it
// returns false.
//
// The operations of the interface itself do nothing and report failure; each client overrides them.
#include <cstddef>
#include <cstdint>
#include <string>

// The largest receive buffer a client or the engine allocates, whatever a host asks for. Larger buffers
// gain nothing on any link, and every segment of every running file has two of them.
constexpr int32_t kMaximumReceiveBufferSize = 16 * 1024 * 1024;

// A receive buffer size brought into 1..kMaximumReceiveBufferSize.
int32_t boundedReceiveBufferSize(int32_t requested);

class DownloadClient {
public:
    DownloadClient() = default;
    virtual ~DownloadClient() = default;
    DownloadClient(const DownloadClient&) = delete;
    DownloadClient& operator=(const DownloadClient&) = delete;

    // Points the client at another server, path or proxy (after a redirect, for example).
    virtual void retarget(const std::wstring& host, int32_t port, const std::wstring& path,
                          const std::wstring& proxyHost, int32_t proxyPort);

    // True after a failure of the secure session (the connection cannot be trusted any more).
    virtual bool isAborted() const;

    // The file's size (-1 when the server does not tell) and last-modified text; or, when the server
    // redirects, the new location or the proxy to use. True when the server answered one of these.
    virtual bool querySize(int64_t& size, std::wstring& lastModified, std::wstring& location,
                           std::wstring& proxyLocation);

    // The size of the buffers that openSegment and receiveMore fill.
    virtual int32_t receiveBufferSize() const;

    // Connects and asks for `length` bytes from `start` (the whole file when any of start, length and
    // fileSize is negative). Segment 0 learns an unknown `fileSize` from the reply. `buffer` receives
    // the first body bytes (`received` of them); `rangesAccepted` tells whether the server serves byte
    // ranges; `done` is set when the body is complete.
    virtual bool openSegment(int32_t segmentNumber, int64_t start, int64_t length, int64_t& fileSize,
                             char* buffer, int32_t& received, bool& rangesAccepted, bool& done);

    // The next body bytes; `done` is set (with true) when the body is complete.
    virtual bool receiveMore(char* buffer, int32_t& received, bool& done);

    // Disconnects.
    virtual void close();

    // What tells one version of the server's file from another, as the last reply gave it (its entity
    // tag, else its last-modified time; "" when it gave neither, or none that fits kMaximumValidatorLength).
    virtual std::wstring validator() const;
    // The validator of the version whose bytes are already stored: a request for a part of the file
    // asks for that version only.
    virtual void setValidator(const std::wstring& validator);
    // True when the last openSegment failed with ErrServerFileChanged: the server's file is no longer
    // the version whose bytes are stored (another validator, or another size).
    virtual bool fileChanged() const;
};

// The longest validator a file's header keeps.
constexpr std::size_t kMaximumValidatorLength = 60;
