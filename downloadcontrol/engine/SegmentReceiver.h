#pragma once
// Fetches one segment of a file on the calling worker thread: the request under the retry rule, the
// receive loop, the positioned writes into the data file, the header updates and the progress reports.
//
// Retry rule: a step is tried up to `attempts` times; after a failed try the tries end at once when the
// file has failed or a stop was requested, else the thread waits RetryWait ms (or until the stop
// event) before the next. A receive that fails is retried by asking for the rest of the segment again,
// which is possible only while the segment's size is known or nothing of it has arrived.
//
// What the client receives is gathered into blocks of up to kBlockBytes (never less than one client
// buffer) and written and reported a block at a time. A block is also written when kBlockMilliseconds
// passed since its first byte arrived, so that a slow transfer still reports several times a second.
#include <cstdint>
#include <vector>

#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/TransferContext.h"

class DownloadClient;
class DownloadItem;

class SegmentReceiver {
public:
    static constexpr int32_t kBlockBytes = 256 * 1024;
    static constexpr uint64_t kBlockMilliseconds = 100;

    enum class Outcome { Complete, Failed, Stopped };

    SegmentReceiver(TransferContext& context, const EngineSettings& settings, DownloadItem& item,
                    int32_t segmentIndex, DownloadClient& client);

    // openSegment under the retry rule; the first bytes of the reply stay in the block (`received`).
    // After the last failed try the file is marked failed.
    bool open(int64_t start, int64_t length, int64_t& fileSize, int32_t& received, bool& rangesAccepted, bool& done);
    // Asks for the rest of the segment (open with the segment's own figures).
    bool openRest(int32_t& received, bool& done);

    // The receive loop for a connection that `open` opened, with `pending` bytes already in the block.
    // Stops at the end of the segment, when the file fails or when a stop is requested.
    Outcome receive(int32_t pending, bool done);

private:
    // False when the tries end after failed try number `attempt`.
    bool pauseBeforeRetry(int32_t attempt);
    bool stopped() const;
    // Bytes of the segment still to come; -1 when its size is not known.
    int64_t segmentLeft();
    // Writes and reports the first `count` bytes of the block (clipped to the segment); `done` is set
    // at the segment's end.
    bool deliver(int32_t count, bool& done);
    // A new connection for the rest of the segment after a failed receive.
    bool reconnect(int32_t& received, bool& done);

    TransferContext& context_;
    const EngineSettings& settings_;
    DownloadItem& item_;
    int32_t index_;
    DownloadClient& client_;
    const int32_t clientBufferBytes_;
    std::vector<char> block_;
};
