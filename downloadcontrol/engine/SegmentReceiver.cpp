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
      buffer_(static_cast<std::size_t>(boundedReceiveBufferSize(client.receiveBufferSize()))) {}

bool SegmentReceiver::stopped() const {
    return context_.errors.stopRequest();
}

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
            item_.fail(ErrTransferStopped);
            return false;
        }
        int64_t size = fileSize;
        if (client_.openSegment(index_, start, length, size, buffer_.data(), received, rangesAccepted,
                                done)) {
            fileSize = size;
            return true;
        }
        // Asking again would not bring the old version back.
        if (client_.fileChanged() || !pauseBeforeRetry(attempt)) {
            // The code of this thread's last try (its own holder), not what another thread set since.
            item_.fail(context_.errors.error());
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
        if (client_.openSegment(index_, start, length, fileSize, buffer_.data(), received, rangesAccepted,
                                done)) {
            return true;
        }
        if (client_.fileChanged()) {
            return false;
        }
    }
}

int64_t SegmentReceiver::shortOfSize() {
    CriticalSectionLock lock(context_.controlLock);
    const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
    return segment.size >= 0 && segment.downloaded < segment.size ? segment.downloaded : -1;
}

SegmentReceiver::Outcome SegmentReceiver::receive(int32_t pending, bool done) {
    lastReport_ = GetTickCount64();
    Outcome outcome = Outcome::Complete;
    int64_t lastShortEnd = -1;
    for (;;) {
        if (pending > 0) {
            if (!store(pending, done)) {
                outcome = Outcome::Failed;
                break;
            }
            pending = 0;
        }
        if (done) {
            const int64_t shortEnd = shortOfSize();
            if (shortEnd < 0) {
                break;
            }
            // The reply ended before the segment did: the rest is asked for as after a broken connection,
            // for as long as each reply brings more. What stays missing fails the file at its end.
            done = false;
            if (shortEnd == lastShortEnd || !reconnect(pending, done)) {
                outcome = stopped() ? Outcome::Stopped : Outcome::Short;
                if (client_.fileChanged()) {
                    item_.fail(ErrServerFileChanged);
                    outcome = Outcome::Failed;
                }
                break;
            }
            lastShortEnd = shortEnd;
            continue;
        }
        const bool due = unreported_ > 0 && GetTickCount64() - lastReport_ >= kReportMilliseconds;
        if (due || unreported_ >= nextReportBytes_) {
            report(false);
        }
        if (item_.failed()) {
            outcome = Outcome::Failed;
            break;
        }
        if (stopped()) {
            outcome = Outcome::Stopped;
            break;
        }
        if (!client_.receiveMore(buffer_.data(), pending, done) && !reconnect(pending, done)) {
            item_.fail(context_.errors.error());
            outcome = stopped() ? Outcome::Stopped : Outcome::Failed;
            break;
        }
    }
    if (unreported_ > 0) {
        report(true);
    }
    return outcome;
}

bool SegmentReceiver::store(int32_t count, bool& done) {
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
    if (bytes > 0 && !context_.writer.write(item_.dataFile.get(), offset, buffer_.data(),
                                            static_cast<std::size_t>(bytes))) {
        item_.fail(ErrDataFileWrite);
        return false;
    }
    CriticalSectionLock lock(context_.controlLock);
    FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
    segment.downloaded += bytes;
    item_.downloaded += bytes;
    if (item_.size >= 0) {
        item_.remaining -= bytes;
    }
    item_.elapsed = std::max<int64_t>(currentTimeTicks() - fileTimeTicks(item_.startedTime), 0);
    unreported_ += bytes;
    return true;
}

void SegmentReceiver::report(bool last) {
    NotificationWindow& window = context_.window;
    lastReport_ = GetTickCount64();
    if (!last && WaitForSingleObject(window.queueEmptyEvent(), 0) != WAIT_OBJECT_0) {
        // The host has not seen the previous reports yet: this one waits for the next chance.
        nextReportBytes_ = unreported_ + kReportBytes;
        return;
    }
    HeaderUpdate header;
    std::unique_ptr<SegmentSnapshot> segmentSnapshot;
    {
        CriticalSectionLock lock(context_.controlLock);
        const FileSegment& segment = *item_.segments[static_cast<std::size_t>(index_)];
        header.add(item_, HeaderSegmentDownloaded, index_);
        header.add(item_, HeaderDownloaded);
        header.add(item_, HeaderElapsed);
        header.add(item_, HeaderRemaining);
        segmentSnapshot = std::make_unique<SegmentSnapshot>(snapshotOf(item_, segment));
        segmentSnapshot->file = snapshotOf(item_);
    }
    // The header never counts more than the data file holds: it is written after the data.
    header.writeTo(item_.headerFile.get(), context_.writer);
    unreported_ = 0;
    nextReportBytes_ = kReportBytes;

    window.beginReport();
    window.postSegmentProgress(std::move(segmentSnapshot), index_);
}
