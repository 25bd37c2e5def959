#pragma once
// One queued file of the control, from AddFile to its removal: what to fetch, where to put it, and the
// sizes, times and segments that the engine fills in while it downloads.
//
// The control's file list owns every item. The fields that the engine's threads change (sizes, counters,
// times, state, segments, row) are guarded by the control lock; the failed flag by the item's own lock.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/ScopedHandle.h"
#include "downloadcontrol/engine/DownloadUrl.h"
#include "downloadcontrol/engine/WorkerThread.h"
#include "downloadcontrol/net/ProxySettings.h"

class DownloadItem;

enum DownloadState : int32_t {
    DownloadStateNew = 0,         // never started
    DownloadStateIncomplete = 1,  // ended short, failed or stopped; resumable
    DownloadStateTransferring = 2,
    DownloadStateComplete = 3,
};

// Field ids of GetFileInfo.
enum FileInfoField : int16_t {
    FileInfoUrl = 0,
    FileInfoReplyText = 1,
    FileInfoState = 2,
    FileInfoSize = 3,
    FileInfoDownloaded = 4,
    FileInfoElapsedSeconds = 5,
    FileInfoRemaining = 6,
    FileInfoRemainingSeconds = 7,
    FileInfoRate = 8,
    FileInfoSegmentCount = 9,
    FileInfoRequestedSegmentCount = 10,
    FileInfoFinalPath = 11,
    FileInfoReferer = 12,
    FileInfoUserName = 13,
    FileInfoPassword = 14,
    FileInfoDisplayFileName = 15,
    FileInfoFileCount = 16,
    FileInfoNameFromUrl = 17,
};

// Field ids of GetFileSegmentInfo.
enum SegmentInfoField : int16_t {
    SegmentInfoStart = 0,
    SegmentInfoSize = 1,
    SegmentInfoDownloaded = 2,
};

// One byte range of a file, fetched by one thread.
struct FileSegment {
    DownloadItem* owner = nullptr;
    int64_t start = 0;  // byte offset in the file
    int64_t size = -1;  // -1 while not known
    int64_t downloaded = 0;
};

// Segments used when AddFile asks for 0 or fewer.
constexpr int32_t kDefaultSegmentCount = 3;

// The suffix of the data file that is written while a file downloads: its final path + ".tmp".
std::wstring dataFileSuffix();

class DownloadItem {
public:
    DownloadItem() = default;
    DownloadItem(const DownloadItem&) = delete;
    DownloadItem& operator=(const DownloadItem&) = delete;

    // Parses the URL into the item (url, folder, name, protocol, host, port, TLS flag, path). False, with
    // the item unchanged, when it does not parse.
    bool setUrl(const std::wstring& newUrl, bool newImplicitTls);

    // The data path without its suffix; "" while the data path is shorter than the suffix.
    std::wstring finalPath() const;

    // Set when the file gives up or is stopped; cleared when its thread starts. Any thread.
    bool failed() const;
    void setFailed(bool value);
    // Marks the file failed with the code of what made it fail; the first code stays, as later ones
    // are mostly other threads of the file giving up because of it.
    void fail(int32_t code);
    // The code the file failed with, 0 while none.
    int32_t failureCode() const;

    int32_t fileId = -1;
    std::shared_ptr<const WorkTicket> thread;  // the file thread's work while it runs
    ScopedHandle headerFile;                   // the temporary header while open
    ScopedHandle dataFile;                     // the data file while open
    std::wstring headerPath;
    std::wstring
        validator;          // the server's version of the stored bytes (entity tag or time), <= 60 characters
    std::wstring savePath;  // final path as given or as chosen by Download
    std::wstring dataPath;  // savePath + dataFileSuffix(), set by Download
    FILETIME fileTime{};    // stamped on the finished file when not zero
    int32_t requestedSegmentCount = kDefaultSegmentCount;
    std::vector<std::unique_ptr<FileSegment>> segments;
    std::wstring referer;
    std::wstring userName;
    std::wstring password;

    ProtocolId protocol = ProtocolHttp;
    std::wstring host;
    int32_t port = 0;
    bool implicitTls = false;
    std::wstring path;
    ProxySettings proxy;  // copy of the protocol's proxy, taken by Download

    DownloadState state = DownloadStateNew;
    std::wstring url;
    std::string urlKey;  // caseBlindSortKey(url): the queue's duplicate check compares these
    std::wstring urlFolder;
    std::wstring nameFromUrl;
    std::wstring displayFileName;
    int64_t size = -1;  // bytes, -1 while not known
    int64_t downloaded = 0;
    int64_t elapsed = 0;        // transfer time, 100-ns ticks
    int64_t remaining = -1;     // size - downloaded, -1 while the size is not known
    int64_t remainingTime = 0;  // estimate, 100-ns ticks
    double rate = 0;            // kilobytes (1024 bytes) per second
    std::wstring replyText;     // kept by the size query
    int32_t row = -1;           // list row while running

    FILETIME startedTime{};     // local time of the last start or report
    ULONGLONG startedTick = 0;  // tick count of the last start or report
    int64_t downloadedAtLastReport = 0;
    int64_t countedBytes = 0;    // bytes already added to the overall progress
    double weight = 0;           // share of this file in the overall progress
    double precountedShare = 0;  // progress share that a resumed file brings in

private:
    mutable CriticalSection itemLock_;
    bool failed_ = false;
    int32_t failureCode_ = 0;
};
