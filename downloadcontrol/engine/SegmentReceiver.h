#pragma once
// Fetches one segment of a file on the calling worker thread: the request under the retry rule, the
// receive loop, the positioned writes into the data file, the header updates and the progress reports.
//
// Retry rule: a step is tried up to `attempts` times; after a failed try the tries end at once when the
// file has failed or a stop was requested, else the thread waits RetryWait ms (or until the stop
// event) before the next. A receive that fails is retried by asking for the rest of the segment again,
// which is possible only while the segment's size is known or nothing of it has arrived.
//
// Every block the client receives is written at once and counted in the file's figures. The header and
// the host hear of it every kReportMilliseconds or kReportBytes, and at the segment's end. A report is
// made only once the notification window has drained the reports before it, so the window's queue
// never grows and the host is never more than one report behind; the segment's last report is always
// made, and not waited for: what follows it (the file's end) travels through the same queue behind it.
// (A round trip through the window costs far more than the write of a small block, and a small file
// would otherwise pay two: one for its last report, one for its end.)
#include <cstdint>
#include <vector>

#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/TransferContext.h"

class DownloadClient;
class DownloadItem;

class SegmentReceiver {
public:
    static constexpr int64_t kReportBytes = 256 * 1024;
    static constexpr uint64_t kReportMilliseconds = 100;

    // Short: the reply ended before the segment did, and asking for the rest brought nothing more.
    enum class Outcome { Complete, Failed, Stopped, Short };

    SegmentReceiver(TransferContext& context, const EngineSettings& settings, DownloadItem& item,
                    int32_t segmentIndex, DownloadClient& client);

    // openSegment under the retry rule; the first bytes of the reply are in the buffer (`received`).
    // After the last failed try the file is marked failed.
    bool open(int64_t start, int64_t length, int64_t& fileSize, int32_t& received, bool& rangesAccepted,
              bool& done);
    // Asks for the rest of the segment (open with the segment's own figures).
    bool openRest(int32_t& received, bool& done);

    // The receive loop for a connection that `open` opened, with `pending` bytes already in the buffer.
    // Stops at the end of the segment, when the file fails or when a stop is requested.
    Outcome receive(int32_t pending, bool done);

private:
    // False when the tries end after failed try number `attempt`.
    bool pauseBeforeRetry(int32_t attempt);
    bool stopped() const;
    // Writes and counts the `count` bytes in the buffer (clipped to the segment); `done` is set at the
    // segment's end.
    bool store(int32_t count, bool& done);
    // Tells the header and the host what was stored since the last report. A report waits while the
    // host has not seen the previous ones yet, except the `last` of the segment, which is always made.
    void report(bool last);
    // A new connection for the rest of the segment after a failed receive.
    bool reconnect(int32_t& received, bool& done);
    // The segment's downloaded count when it is still short of its known size, else -1.
    int64_t shortOfSize();

    TransferContext& context_;
    const EngineSettings& settings_;
    DownloadItem& item_;
    int32_t index_;
    DownloadClient& client_;
    std::vector<char> buffer_;
    int64_t unreported_ = 0;
    int64_t nextReportBytes_ = kReportBytes;
    ULONGLONG lastReport_ = 0;
};
