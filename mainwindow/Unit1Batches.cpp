// The thumbnail batches inside the main window: the thumbnails downloader's events and the retry
// timer go to the batches, and the batches reach the window's photos, visible list, pie and
// messages through the callbacks here.
#include "common/SafeFileName.h"
#include "common/TextFunctions.h"
#include "feed/SearchMatch.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkerMessageRules.h"

using namespace gui;

void TForm1::queueThumbnailBatch(bool resetIdlePasses) {
    thumbnailBatches.queueBatch(resetIdlePasses);
}

void TForm1::onThumbnailFileDone(TObject* sender, long fileId, bool result) {
    thumbnailBatches.fileDone(generationOf(sender), fileId, result);
}

void TForm1::onThumbnailsDone(TObject* sender, bool result) {
    thumbnailBatches.runDone(generationOf(sender), result);
}

void TForm1::thumbnailsDownloaderErrorRetryTimerTimer(TObject*) {
    thumbnailsDownloaderErrorRetryTimer->SetEnabled(false);
    thumbnailBatches.retryTimerFired();
}

std::wstring TForm1::thumbnailSavePath(size_t index) {
    Photo& photo = *photos.at(index);
    photo.thumbnailPath =
        thumbnailsFolder + L"\\" + workFileName(currentUserName, photo.lowResolutionUrl, makeGuidFileName());
    // The control cuts the time off and stamps it on the finished file.
    return formatString(L"%s|%u-%u", photo.thumbnailPath.c_str(), photo.fileTime.dwLowDateTime,
                        photo.fileTime.dwHighDateTime);
}

void TForm1::thumbnailArrived(size_t index, const std::wstring& path) {
    Photo& photo = *photos.at(index);
    photo.thumbnailDownloaded = 1;
    photo.thumbnailUsable = 1;
    if (!path.empty())
        photo.thumbnailPath = path;
    photo.thumbnailFileId = -1;
    photo.selected = allSelected ? 1 : 0;
}

void TForm1::thumbnailFailed(size_t index, bool refused) {
    if (refused)
        photos.at(index)->thumbnailRefused = 1;
}

bool TForm1::matchesSearch(size_t index) {
    return searchWords.empty() ||
           photoMatchesSearch(photos.at(index)->words, searchWords, allWordsMustMatchMenuItem->Checked());
}

size_t TForm1::visibleCount() {
    return visiblePhotos.size();
}

size_t TForm1::visiblePhoto(size_t slot) {
    return static_cast<size_t>(visiblePhotos.at(slot)->index);
}

void TForm1::insertVisible(size_t slot, size_t index) {
    slot = std::min(slot, visiblePhotos.size());
    visiblePhotos.insert(visiblePhotos.begin() + slot, photos.at(index));
    for (size_t position = slot; position < visiblePhotos.size(); ++position)
        visiblePhotos[position]->visibleIndex = static_cast<int>(position);
    if (selectionAnchor >= static_cast<int>(slot))
        ++selectionAnchor;
}

void TForm1::visibleListGrew() {
    visibleListGrown = true;
    postThumbnailArrivals();
}

void TForm1::setProgress(double fraction) {
    arrivedProgress = fraction;
    postThumbnailArrivals();
}

void TForm1::postThumbnailArrivals() {
    if (!thumbnailArrivalsPosted)
        thumbnailArrivalsPosted = PostMessageW(Handle(), WM_THUMBNAILS_ARRIVED, 0, 0) != FALSE;
    if (!thumbnailArrivalsPosted)
        showThumbnailArrivals();
}

void TForm1::showThumbnailArrivals() {
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG sinceShown = now - thumbnailArrivalsShownAt;
    if (sinceShown < kThumbnailArrivalsFrameMs) {
        thumbnailArrivalsTimer->Restart(static_cast<unsigned>(kThumbnailArrivalsFrameMs - sinceShown));
        return;
    }
    thumbnailArrivalsTimer->SetEnabled(false);
    thumbnailArrivalsPosted = false;
    thumbnailArrivalsShownAt = now;
    // The pie is 19 pixels wide: a hundredth of the load moves its edge by half a pixel. A redraw
    // costs more than a thumbnail's own handling under load, so it waits for that much, or the end.
    if (arrivedProgress >= 1 ||
        (arrivedProgress >= 0 && progressWorthShowing(arrivedProgress, userNameProgressPie->Progress(), 1)))
        userNameProgressPie->FSetProgress(static_cast<float>(arrivedProgress));
    arrivedProgress = -1;
    if (visibleListGrown) {
        visibleListGrown = false;
        layoutThumbnails(true);
    }
}

void TForm1::forgetThumbnailArrivals() {
    visibleListGrown = false;
    arrivedProgress = -1;
}

LoadState TForm1::feedLoadState() {
    return loadState;
}

void TForm1::startRetryTimer() {
    thumbnailsDownloaderErrorRetryTimer->Restart(kThumbnailRetryIntervalMs);
}

void TForm1::batchesEnded(const std::wstring& message) {
    // The end of the thumbnails ends the load, also one whose pages still came (the connection
    // went, or passes without a new thumbnail gave up): Go then loads again.
    loadState = LoadState::idle;
    resetFeedControls();
    if (!message.empty())
        showFeedWarning(message);
}
