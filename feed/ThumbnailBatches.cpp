#include "feed/ThumbnailBatches.h"

#include "common/TextFunctions.h"

void ThumbnailBatches::start(int32_t generation, ThumbnailDownloader* downloader) {
    generation_ = generation;
    downloader_ = downloader;
    photos_.clear();
    thumbnailCursor_ = 0;
    visibleCursor_ = 0;
    batchRunning_ = false;
    ended_ = false;
    mediaCount_ = 0;
    done_ = 0;
    doneSnapshot_ = 0;
    idlePasses_ = 0;
}

void ThumbnailBatches::addPhoto(const std::wstring& lowResolutionUrl) {
    PhotoThumbnail photo;
    photo.url = lowResolutionUrl;
    photos_.push_back(photo);
}

void ThumbnailBatches::setMediaCount(int32_t count) {
    mediaCount_ = count;
}

void ThumbnailBatches::queueBatch(bool resetIdlePasses) {
    if (batchRunning_ || downloader_ == nullptr) {
        return;
    }
    doneSnapshot_ = done_;
    int queued = 0;
    // A photo whose address was queued for another photo goes now if that one has left the list.
    for (size_t index = 0; index < thumbnailCursor_ && queued < kThumbnailBatchSize; ++index) {
        if (photos_[index].waitingForTwin && addToDownloader(index)) {
            ++queued;
        }
    }
    for (int tries = queued; tries < kThumbnailBatchSize && thumbnailCursor_ < photos_.size(); ++tries) {
        if (addToDownloader(thumbnailCursor_)) {
            ++queued;
        }
        ++thumbnailCursor_;
    }
    if (queued == 0) {
        if (ended_ || pagesMayCome(host_.feedLoadState())) {
            return;  // the next page brings more photos and queues them
        }
        if (allSettled()) {
            end(std::wstring());
            return;
        }
    }
    if (resetIdlePasses) {
        idlePasses_ = 0;
    }
    ended_ = false;
    batchRunning_ = true;
    if (loadStopped(host_.feedLoadState())) {
        return;  // resume downloads what is queued
    }
    // The control completes a run of an empty list at once and successfully: such a run would
    // queue the next one at once, for ever. A pass with nothing to download is a pass without
    // progress instead.
    if (downloader_->queuedFileCount() <= 0 || !downloader_->download()) {
        batchRunning_ = false;
        passFailed();
    }
}

void ThumbnailBatches::fileDone(int32_t generation, long fileId, bool result) {
    if (generation != generation_ || downloader_ == nullptr) {
        return;
    }
    size_t index = 0;
    PhotoThumbnail* photo = findQueued(fileId, index);
    if (result) {
        if (photo != nullptr) {
            arrived(index, fileId);
        }
        return;
    }
    const long error = downloader_->lastError();
    if (error == kErrorStopped || photo == nullptr) {
        return;
    }
    photo->failed = true;
    if (error == kErrorAccessDenied && !photo->refused) {
        photo->refused = true;
        ++done_;
    }
    host_.thumbnailFailed(index, photo->refused);
}

void ThumbnailBatches::runDone(int32_t generation, bool result) {
    if (generation != generation_ || downloader_ == nullptr) {
        return;
    }
    batchRunning_ = false;
    if (result) {
        queueBatch(true);
        return;
    }
    const long error = downloader_->lastError();
    if (error == kErrorStopped && loadStopped(host_.feedLoadState())) {
        batchRunning_ = true;  // no batch is queued until the stopped one has run again
        return;
    }
    if (error == kErrorNoConnection) {
        end(L"Please check your Internet connection.");
        return;
    }
    passFailed();
}

void ThumbnailBatches::retryTimerFired() {
    queueBatch(false);
}

void ThumbnailBatches::stop() {
    if (downloader_ != nullptr) {
        downloader_->stopDownload();
    }
}

bool ThumbnailBatches::resume() {
    if (downloader_ == nullptr) {
        return false;
    }
    if (downloader_->queuedFileCount() > 0) {
        batchRunning_ = downloader_->download();
        return batchRunning_;
    }
    // Nothing is left of the stopped batch: go on with the next one.
    batchRunning_ = false;
    queueBatch(true);
    return batchRunning_;
}

bool ThumbnailBatches::addToDownloader(size_t index) {
    PhotoThumbnail& photo = photos_[index];
    photo.waitingForTwin = false;
    const long fileId = downloader_->addFile(photo.url, host_.thumbnailSavePath(index));
    if (fileId >= 0) {
        photo.fileId = fileId;
        return true;
    }
    photo.fileId = -1;
    if (downloader_->lastError() == kErrorDuplicateUrl) {
        // Failed for now, so the photos after it are not held back from the grid.
        photo.waitingForTwin = true;
        photo.failed = true;
        host_.thumbnailFailed(index, false);
        return false;
    }
    refuse(photo);
    host_.thumbnailFailed(index, true);
    return false;
}

void ThumbnailBatches::refuse(PhotoThumbnail& photo) {
    photo.failed = true;
    if (!photo.refused) {
        photo.refused = true;
        ++done_;
    }
}

ThumbnailBatches::PhotoThumbnail* ThumbnailBatches::findQueued(long fileId, size_t& index) {
    if (fileId < 0) {
        return nullptr;
    }
    for (size_t position = thumbnailCursor_; position > 0; --position) {
        if (photos_[position - 1].fileId == fileId) {
            index = position - 1;
            return &photos_[index];
        }
    }
    return nullptr;
}

void ThumbnailBatches::arrived(size_t index, long fileId) {
    PhotoThumbnail& photo = photos_[index];
    const bool failedBefore = photo.failed;
    photo.failed = false;
    photo.present = true;
    photo.fileId = -1;
    // A refused photo was counted when it was refused.
    if (!photo.refused) {
        ++done_;
    }
    host_.thumbnailArrived(index, downloader_->finalPath(fileId));
    host_.setProgress(thumbnailProgress(mediaCount_, done_));
    placeInVisibleList(index, failedBefore);
}

void ThumbnailBatches::placeInVisibleList(size_t index, bool failedBefore) {
    bool grew = false;
    // A photo that failed before may arrive after the in-order pass went past it: it goes before
    // the first visible photo that comes after it in the feed.
    if (failedBefore && host_.matchesSearch(index)) {
        const size_t count = host_.visibleCount();
        size_t slot = 0;
        while (slot < count && host_.visiblePhoto(slot) < index) {
            ++slot;
        }
        if (slot < count || index < visibleCursor_) {
            host_.insertVisible(slot, index);
            grew = true;
        }
    }
    if (!grew) {
        while (visibleCursor_ < photos_.size()) {
            const PhotoThumbnail& photo = photos_[visibleCursor_];
            if (photo.present) {
                if (host_.matchesSearch(visibleCursor_)) {
                    host_.insertVisible(host_.visibleCount(), visibleCursor_);
                    grew = true;
                }
            } else if (!photo.failed) {
                break;
            }
            ++visibleCursor_;
        }
    }
    if (grew) {
        host_.visibleListGrew();
    }
}

bool ThumbnailBatches::allSettled() const {
    for (const PhotoThumbnail& photo : photos_) {
        if (!photo.present && !photo.refused) {
            return false;
        }
    }
    return true;
}

void ThumbnailBatches::passFailed() {
    // Refused thumbnails are not tried again.
    for (size_t index = 0; index < thumbnailCursor_; ++index) {
        PhotoThumbnail& photo = photos_[index];
        if (photo.refused && photo.fileId >= 0) {
            downloader_->removeFile(photo.fileId);
            photo.fileId = -1;
        }
    }
    if (idlePasses_ < kMaxIdleThumbnailPasses) {
        idlePasses_ = done_ == doneSnapshot_ ? idlePasses_ + 1 : 0;
        host_.startRetryTimer();
        return;
    }
    end(missingThumbnailsMessage(mediaCount_, done_));
}

void ThumbnailBatches::end(const std::wstring& message) {
    batchRunning_ = false;
    ended_ = true;
    host_.batchesEnded(message);
}

std::wstring missingThumbnailsMessage(int32_t mediaCount, int32_t done) {
    if (mediaCount <= 0 || mediaCount <= done) {
        return std::wstring();
    }
    const int32_t missing = mediaCount - done;
    if (missing == 1) {
        return L"1 photo cannot be downloaded. Please try again.";
    }
    return formatString(L"%d photos cannot be downloaded. Please try again.", missing);
}

double thumbnailProgress(int32_t mediaCount, int32_t done) {
    if (mediaCount <= 0) {
        return 0.0;
    }
    return static_cast<double>(done) / mediaCount;
}
