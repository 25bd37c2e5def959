#include "downloadcontrol/engine/SegmentReceiver.h"

#include <algorithm>

#include "downloadcontrol/engine/DownloadItem.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/ProgressRecords.h"
#include "downloadcontrol/engine/TransferClock.h"
#include "downloadcontrol/net/DownloadClient.h"

SegmentReceiver::SegmentReceiver(TransferContext& context, const EngineSettings& settings, DownloadItem& item,
                                 int32_t segmentIndex, DownloadClient& client)
    : context_(context),
      settings_(settings),
      item_(item),
      index_(segmentIndex),
      client_(client),
      clientBufferBytes_(std::max<int32_t>(client.receiveBufferSize(), 1)),
      block_(static_cast<std::size_t>(std::max<int32_t>(clientBufferBytes_, kBlockBytes))) {}

bool SegmentReceiver::stopped() const { return context_.errors.stopRequest(); }

bool SegmentReceiver::pauseBeforeRetry(int32_t attempt) {
    if (attempt >= settings_.attempts || item_.failed() || stopped()) {
        return false;
    }
    const DWORD wait = static_cast<DWORD>(std::max<int32_t>(settings_.retryWait, 0));
    return WaitForSingleObject(context_.stopEvent, wait) == WAIT_TIMEOUT;
}

bool SegmentReceiver::open(int64_t start, int64_t length, int64_t& fileSize, int32_t& received,
                           bool& rangesAccepted, bool& done) {
    for (int32_t attempt = 1;; ++attempt) {
        if (stopped()) {
            // Nothing is asked of a server once a stop was requested.
            item_.setFailed(true);
            return false;
        }
        int64_t size = fileSize;
        if (client_.openSegment(index_, start, length, size, block_.data(), received, rangesAccepted, done)) {
            fileSize = size;
            return true;
        }
        if (!pauseBeforeRetry(attempt)) {
            item_.setFailed(true);
            return false;
        }
    }
}

bool SegmentReceiver::openRest(int32_t& received, bool& done) {
    int64_t start = 0;
    int64_t length = -1;
    int64_t fileSize = -1;
    {
        CriticalSectionLock lock(context_.controlLock);
        const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
        start = segment.start + segment.downloaded;
        length = segment.size < 0 ? -1 : segment.size - segment.downloaded;
        fileSize = item_.size;
    }
    bool rangesAccepted = false;
    return open(start, length, fileSize, received, rangesAccepted, done);
}

bool SegmentReceiver::reconnect(int32_t& received, bool& done) {
    for (int32_t attempt = 1;; ++attempt) {
        if (!pauseBeforeRetry(attempt)) {
            return false;
        }
        int64_t start = 0;
        int64_t length = -1;
        int64_t fileSize = -1;
        {
            CriticalSectionLock lock(context_.controlLock);
            const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
            if (segment.size < 0 && segment.downloaded > 0) {
                // A body of unknown length cannot be asked for from the middle.
                return false;
            }
            start = segment.start + segment.downloaded;
            length = segment.size < 0 ? -1 : segment.size - segment.downloaded;
            fileSize = item_.size;
        }
        bool rangesAccepted = false;
        if (client_.openSegment(index_, start, length, fileSize, block_.data(), received, rangesAccepted, done)) {
            return true;
        }
    }
}

int64_t SegmentReceiver::segmentLeft() {
    CriticalSectionLock lock(context_.controlLock);
    const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
    return segment.size < 0 ? -1 : segment.size - segment.downloaded;
}

SegmentReceiver::Outcome SegmentReceiver::receive(int32_t pending, bool done) {
    const std::size_t capacity = block_.size();
    std::size_t filled = static_cast<std::size_t>(pending);
    ULONGLONG blockBegan = GetTickCount64();
    int64_t left = segmentLeft();
    for (;;) {
        const bool segmentEnds = left >= 0 && static_cast<int64_t>(filled) >= left;
        const bool full = filled + static_cast<std::size_t>(clientBufferBytes_) > capacity;
        const bool due = GetTickCount64() - blockBegan >= kBlockMilliseconds;
        if (filled > 0 && (done || segmentEnds || full || due)) {
            if (!deliver(static_cast<int32_t>(filled), done)) {
                return Outcome::Failed;
            }
            filled = 0;
            left = segmentLeft();
        }
        if (done) {
            return Outcome::Complete;
        }
        if (item_.failed()) {
            return Outcome::Failed;
        }
        if (stopped()) {
            return Outcome::Stopped;
        }
        int32_t received = 0;
        const bool ok = client_.receiveMore(block_.data() + filled, received, done);
        if (ok) {
            if (filled == 0) {
                blockBegan = GetTickCount64();
            }
            filled += static_cast<std::size_t>(received);
            continue;
        }
        // What arrived before the failure is kept; the rest is asked for again.
        if (filled > 0 && !deliver(static_cast<int32_t>(filled), done)) {
            return Outcome::Failed;
        }
        filled = 0;
        if (done) {
            return Outcome::Complete;
        }
        int32_t first = 0;
        if (!reconnect(first, done)) {
            item_.setFailed(true);
            return stopped() ? Outcome::Stopped : Outcome::Failed;
        }
        filled = static_cast<std::size_t>(first);
        blockBegan = GetTickCount64();
        left = segmentLeft();
    }
}

bool SegmentReceiver::deliver(int32_t count, bool& done) {
    int64_t offset = 0;
    int64_t bytes = count;
    {
        CriticalSectionLock lock(context_.controlLock);
        const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
        offset = segment.start + segment.downloaded;
        if (segment.size >= 0 && segment.downloaded + bytes >= segment.size) {
            // The segment ends here; what follows belongs to the next segment's thread.
            bytes = segment.size - segment.downloaded;
            done = true;
        }
    }
    if (done) {
        client_.close();
    }
    if (bytes > 0 && !context_.writer.write(item_.dataFile.get(), offset, block_.data(), static_cast<std::size_t>(bytes))) {
        item_.setFailed(true);
        return false;
    }

    HeaderUpdate header;
    std::unique_ptr<ProgressSnapshot> fileSnapshot;
    std::unique_ptr<SegmentSnapshot> segmentSnapshot;
    {
        CriticalSectionLock lock(context_.controlLock);
        FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
        segment.downloaded += bytes;
        item_.downloaded += bytes;
        if (item_.size >= 0) {
            item_.remaining -= bytes;
        }
        item_.elapsed = std::max<int64_t>(currentTimeTicks() - fileTimeTicks(item_.startedTime), 0);
        header.add(item_, HeaderSegmentDownloaded, index_);
        header.add(item_, HeaderDownloaded);
        header.add(item_, HeaderElapsed);
        header.add(item_, HeaderRemaining);
        fileSnapshot = std::make_unique<ProgressSnapshot>(snapshotOf(item_));
        segmentSnapshot = std::make_unique<SegmentSnapshot>(snapshotOf(item_, segment));
    }
    header.writeTo(item_.headerFile.get(), context_.writer);

    NotificationWindow& window = context_.window;
    window.beginReport();
    window.postListRefresh(0, RefreshOverall);
    window.postSegmentProgress(std::move(segmentSnapshot), index_);
    window.postFileProgress(std::move(fileSnapshot));
    window.awaitDrained(context_.stopEvent);
    return true;
}
