#pragma once
// The decisions of the thumbnail downloads of one feed load: thumbnails are queued in batches of
// up to 20 in feed order, each arrival is placed in the visible list in feed order, failed ones are
// tried again in later passes, and the batches end complete, given up or without a connection.
// The class keeps the thumbnail state of every photo of the load by its index in the feed; it
// reaches the download control through ThumbnailDownloader and the main window through
// ThumbnailBatchHost. Everything runs on the GUI thread.
#include "feed/DownloadErrors.h"
#include "feed/LoadState.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// At most this many thumbnails are queued per batch.
constexpr int kThumbnailBatchSize = 20;
// Passes in a row without a new thumbnail that are followed by another pass; the next one ends
// the retries.
constexpr int kMaxIdleThumbnailPasses = 6;
// The pause before a pass that retries failed thumbnails.
constexpr unsigned kThumbnailRetryIntervalMs = 3000;

// The thumbnails download control as the batches use it. File ids are the control's.
class ThumbnailDownloader {
public:
    virtual ~ThumbnailDownloader() = default;
    // Queues one file; its id, or -1 with the reason in lastError.
    virtual long addFile(const std::wstring& url, const std::wstring& savePath) = 0;
    // Starts downloading every queued file; the results arrive later as fileDone and runDone.
    virtual bool download() = 0;
    virtual void stopDownload() = 0;
    virtual bool removeFile(long fileId) = 0;
    // The number of files in the list.
    virtual long queuedFileCount() = 0;
    // The path of a finished file (the save path without its time part).
    virtual std::wstring finalPath(long fileId) = 0;
    // The code of the failure just reported (per file before a file's failure, the run's before
    // the run's failure).
    virtual long lastError() = 0;
};

// The main window's side: its photos, its visible list and its messages.
class ThumbnailBatchHost {
public:
    virtual ~ThumbnailBatchHost() = default;
    // Makes the thumbnail work file of the photo, remembers it with the photo, and returns the save
    // path the control takes ("<path>|<low>-<high>" with the photo's file time).
    virtual std::wstring thumbnailSavePath(size_t photo) = 0;
    // The photo's thumbnail arrived in this file: mark it present and selected as the select-all
    // state says.
    virtual void thumbnailArrived(size_t photo, const std::wstring& path) = 0;
    // The photo's thumbnail failed for now, or was refused for good.
    virtual void thumbnailFailed(size_t photo, bool refused) = 0;
    // True when the photo's caption matches the current search (always without a search).
    virtual bool matchesSearch(size_t photo) = 0;
    // The visible list: its size, the feed index of the photo at a slot, and an insertion that
    // moves the photos from the slot on (and a remembered position at or behind it) one further.
    virtual size_t visibleCount() = 0;
    virtual size_t visiblePhoto(size_t slot) = 0;
    virtual void insertVisible(size_t slot, size_t photo) = 0;
    // The grid shows the changed visible list without moving the scroll position.
    virtual void visibleListGrew() = 0;
    virtual void setProgress(double fraction) = 0;
    // Where the load stands: while pages may come the batches wait for their photos, while it is
    // stopped they download nothing.
    virtual LoadState feedLoadState() = 0;
    // The retry pass is due after kThumbnailRetryIntervalMs; the timer calls retryTimerFired.
    virtual void startRetryTimer() = 0;
    // The batches ended; message is what to show the user, empty for nothing.
    virtual void batchesEnded(const std::wstring& message) = 0;
};

class ThumbnailBatches {
public:
    explicit ThumbnailBatches(ThumbnailBatchHost& host) : host_(host) {}
    ThumbnailBatches(const ThumbnailBatches&) = delete;
    ThumbnailBatches& operator=(const ThumbnailBatches&) = delete;

    // Forgets the previous load and starts a new one of this generation. downloader may be null
    // (no load): then nothing is queued.
    void start(int32_t generation, ThumbnailDownloader* downloader);

    // A photo arrived in the feed; its index is the number of photos before it.
    void addPhoto(const std::wstring& lowResolutionUrl);

    // The media count of the profile; -1 when its text was not a whole number.
    void setMediaCount(int32_t count);

    // Queues the next batch unless one runs. resetIdlePasses: new photos or a successful run (not
    // a retry pass) start the count of passes without progress afresh.
    void queueBatch(bool resetIdlePasses);

    // The download control's events, with the generation the sending control serves.
    void fileDone(int32_t generation, long fileId, bool result);
    void runDone(int32_t generation, bool result);
    void retryTimerFired();

    // The user stopped the load (the host's state says so first): the running batch is stopped.
    void stop();
    // The user resumed (the host's state runs again): the stopped batch goes on, or the next one
    // starts. True when a download started.
    bool resume();

    // For the search, which lists the photos up to the visible cursor that did not fail, and for
    // the clean-up of a load's work files (the photos below the thumbnail cursor).
    size_t photoCount() const { return photos_.size(); }
    size_t thumbnailCursor() const { return thumbnailCursor_; }
    size_t visibleCursor() const { return visibleCursor_; }
    bool isPresent(size_t photo) const { return photos_.at(photo).present; }
    bool isFailed(size_t photo) const { return photos_.at(photo).failed; }
    bool isRefused(size_t photo) const { return photos_.at(photo).refused; }
    int32_t thumbnailsDone() const { return done_; }
    bool isRunning() const { return batchRunning_; }
    int idlePasses() const { return idlePasses_; }

private:
    struct PhotoThumbnail {
        std::wstring url;
        long fileId = -1;
        bool present = false;
        bool failed = false;
        bool refused = false;
        bool waitingForTwin = false;  // its address was queued for another photo
    };

    bool addToDownloader(size_t index);
    void refuse(PhotoThumbnail& photo);
    PhotoThumbnail* findQueued(long fileId, size_t& index);
    void arrived(size_t index, long fileId);
    void placeInVisibleList(size_t index, bool failedBefore);
    bool allSettled() const;
    void passFailed();
    void end(const std::wstring& message);

    ThumbnailBatchHost& host_;
    ThumbnailDownloader* downloader_ = nullptr;
    int32_t generation_ = -1;
    std::vector<PhotoThumbnail> photos_;
    size_t thumbnailCursor_ = 0;
    size_t visibleCursor_ = 0;
    bool batchRunning_ = false;
    bool ended_ = false;  // told the host; nothing more until new photos are queued
    int32_t mediaCount_ = 0;
    int32_t done_ = 0;
    int32_t doneSnapshot_ = 0;
    int idlePasses_ = 0;
};

// What to tell the user when the batches give up or the feed ends short: the number of photos
// missing, or nothing unless the media count is above 0 and above the number done.
std::wstring missingThumbnailsMessage(int32_t mediaCount, int32_t done);

// The part of the progress pie the thumbnails done fill: 0 unless the media count is above 0.
double thumbnailProgress(int32_t mediaCount, int32_t done);
