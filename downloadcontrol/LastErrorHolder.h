#pragma once
// The control's last error code and its stop request, shared by the control's thread, the file and
// segment threads and the protocol clients.
#include <cstdint>
#include <string>

#include "downloadcontrol/CriticalSection.h"

// Error codes reported through GetLastError; 0 means nothing failed yet.
enum DownloadErrorCode : int32_t {
    ErrNone = 0,
    ErrSaveFolderCancelled = 1,  // the user cancelled the common save-folder dialog
    ErrSaveFileCancelled = 2,    // the user cancelled a per-file save dialog
    ErrHeaderFolderCreate = 3,   // the header folder cannot be created
    ErrHeaderFileCreate = 4,     // a temporary header file cannot be created
    ErrHeaderFileOpen = 5,       // a temporary header file cannot be opened
    ErrHeaderFileRead = 6,       // a temporary header file cannot be read whole, or is corrupt
    ErrDataFileWrite = 7,        // writing received data to the data file failed
    ErrOutOfMemory = 8,          // memory for a transfer could not be had
    ErrReserved9 = 9,
    ErrReserved10 = 10,
    ErrSocketsNotStarted = 11,  // the socket layer is not started
    ErrUrlParse = 12,           // the URL cannot be parsed
    ErrConnectFailed = 13,      // no connection to the server (kept with its text; not raised)
    ErrConnect = 14,            // connecting to the server or through the proxy failed
    ErrSend = 15,               // a transfer step (sending a request or command) failed
    ErrReceive = 16,            // receiving failed
    ErrHttpStatus = 17,         // the server answered with a status other than success, 401 or 403
    ErrSendTimeout = 18,        // a reply step failed: sending timed out
    ErrReceiveTimeout = 19,     // receiving timed out
    ErrRunUnderWay = 20,        // not allowed while a download runs
    ErrSizeMismatch = 21,       // a transfer ended with a byte count other than the file's size
    ErrNoSuchFile = 22,         // no file with that id
    ErrFileInfoField = 23,      // file information field out of range
    ErrSegmentIndex = 24,       // segment index out of range
    ErrSegmentInfoField = 25,   // segment information field out of range
    ErrHeaderNotClosed = 26,    // a temporary header file lacks its closing mark
    ErrTooManyRedirects = 27,   // the size query was still redirected after 5 turns
    ErrProxyServer = 28,        // the proxy server text cannot be parsed
    ErrProtocolId = 29,         // protocol id outside 0..3
    ErrAccessDenied = 30,       // the server refused access (HTTP 401 or 403, FTP log-on refused)
    ErrDuplicateUrl = 31,       // the URL is already in the file list
    ErrNothingToResume = 32,    // nothing to resume
    ErrStopped = 33,            // the download was stopped by the host
    ErrTransferStopped = 34,    // a transfer was aborted
    ErrFtpLogOn = 35,           // a log-on step of the FTP client failed
    ErrProxyMethod = 36,        // proxy method out of range for the protocol
    ErrProxyField = 37,         // proxy field out of range
    ErrProgressBarField = 38,   // progress bar field out of range
    ErrColumnId = 39,           // column id out of range
    ErrColumnField = 40,        // column field out of range
    ErrReserved41 = 41,
    ErrReserved42 = 42,
    ErrCertificateRefused = 43,  // a secure connection was refused: the server's certificate is not trusted
                                 // or not made out to the server's name
    ErrServerFileChanged = 44,   // the server's file is no longer the one whose first bytes were stored
    ErrDataFileCreate = 45,      // the data file or its folder cannot be created
    ErrDataFileOpen = 46,        // the data file cannot be opened for writing
};

// The highest error code; every code 1..kLastDownloadErrorCode has a description.
constexpr int32_t kLastDownloadErrorCode = ErrDataFileOpen;

// The description of an error code, "" for 0 and for codes outside 1..kLastDownloadErrorCode.
std::wstring downloadErrorDescription(int32_t code);

class LastErrorHolder {
public:
    LastErrorHolder() = default;
    // The holder of one transfer: it keeps the transfer's own last code, so that the transfer judges
    // its failures by what happened to it and not by another thread's, and passes every code on to
    // `shared` (the control's, which the host reads). The stop request is the shared one.
    explicit LastErrorHolder(LastErrorHolder& shared) : shared_(&shared) {}
    LastErrorHolder(const LastErrorHolder&) = delete;
    LastErrorHolder& operator=(const LastErrorHolder&) = delete;

    // Replaces the last error code; a success never clears it.
    void setError(int32_t code);
    int32_t error() const;
    // The description of the last error code ("" when none).
    std::wstring description() const;

    // The stop request that StopDownload raises and every worker polls.
    void setStopRequest(bool stop);
    bool stopRequest() const;

private:
    mutable CriticalSection lock_;
    LastErrorHolder* const shared_ = nullptr;
    int32_t code_ = ErrNone;
    bool stopRequest_ = false;
};
