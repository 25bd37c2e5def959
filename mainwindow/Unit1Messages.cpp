// The main window's procedure: the one door through which the results of the worker threads enter
// the window, plus the border, the content bar's drawing, the maximised size and the info menu's
// commands. Every worker record arrives as a heap block in WPARAM and is freed here, also when its
// generation is old (the user or the job changed meanwhile) and it therefore has no effect.
#include <memory>

#include "common/SafeFileName.h"
#include "common/ServiceHosts.h"
#include "common/TextFunctions.h"
#include "feed/FeedRecords.h"
#include "feed/PageRetryRule.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkerMessageRules.h"
#include "saving/JobRecords.h"

namespace {

template <typename Record>
std::unique_ptr<Record> takeRecord(const gui::TMessage& message) {
    return std::unique_ptr<Record>(reinterpret_cast<Record*>(message.WParam));
}

void feedTotal(TForm1& form, const MessageInfo& record) {
    if (record.generation != form.pageGeneration)
        return;
    form.totalMediaCount = record.code;
    form.thumbnailBatches.setMediaCount(record.code);
    if (form.userNameEdit && form.userNameEdit->Font()->Color() != formlayout::kTypedTextColor)
        form.updateUserNameEditText();
}

void feedNextPage(TForm1& form, const MessageInfo& record) {
    if (record.generation != form.pageGeneration || !pagesMayCome(form.loadState))
        return;
    form.samePageRepeatCount =
        nextPageRepeatCount(record.text, form.lastPageSuffix, form.samePageRepeatCount);
    form.lastPageSuffix = record.text;
    // Failures are counted per page: a new page starts with none.
    form.pageRetryCount = 0;
    bool queued = false;
    if (gui::TPxhl* downloader = form.pageDownloader) {
        downloader->ClearFiles();
        queued = downloader->AddFile(feedPageUrl(serviceHost(), form.currentUserName, form.lastPageSuffix),
                                     L"-1", L"", form.pageFilePath, 1, L"", L"", L"", 0) >= 0;
    }
    form.pageProgress = 0;
    // A page that cannot be queued or started ends the pages as a page that keeps failing does.
    if (!queued || (!loadStopped(form.loadState) && !form.startPageDownload())) {
        form.endPageLoading(pageFailureMessage(PageFailureAction::serverIssues, form.currentUserName));
        return;
    }
    form.queueThumbnailBatch(true);
}

void feedEnd(TForm1& form, const MessageInfo& record) {
    if (record.generation != form.pageGeneration || !pagesMayCome(form.loadState))
        return;
    form.loadState = loadStopped(form.loadState) ? LoadState::thumbnailsStopped : LoadState::thumbnails;
    form.queueThumbnailBatch(true);
    const std::wstring text =
        feedEndMessage(form.totalMediaCount, record.code, form.photos.size(), form.currentUserName);
    if (!text.empty())
        form.showFeedWarning(text);
}

void feedPhoto(TForm1& form, PhotoMessageInfo& record) {
    auto* photo = new Photo(std::move(record.lowResolutionUrl), std::move(record.standardResolutionUrl),
                            std::move(record.videoUrl), std::move(record.dateText),
                            std::move(record.captionText), std::move(record.link), std::move(record.id),
                            static_cast<int>(form.photos.size()), releaseDownloaderCallback);
    std::wstring caption = photo->caption;
    blankSymbolsAndEmoji(caption);
    // Lower-cased once as a whole rather than word by word: the same words, far fewer calls.
    splitString(toLowerCase(caption), kCaptionWordDelimiters, photo->words, false);
    photo->fileTime = form.photos.empty() ? currentItemTime() : itemTimeAfter(form.photos.back()->fileTime);
    form.photos.push_back(photo);
    // Of items whose addresses end alike the first keeps the name and the others get their ids in
    // theirs, so that a save gives each its own file and a later save finds it again.
    photo->fileName = distinctFileName(itemFileName(photo->videoUrl, photo->standardResolutionUrl, photo->id),
                                       photo->id, [&form](const std::wstring& name) {
                                           StringKey found;
                                           return form.photoFileNames.find(name, found);
                                       });
    form.photoFileNames.insert(StringKey(&photo->fileName, photo));
    form.thumbnailBatches.addPhoto(photo->lowResolutionUrl);
}

void feedPhotos(TForm1& form, FeedPhotosMessageInfo& record) {
    if (record.generation != form.pageGeneration)
        return;
    for (const std::unique_ptr<PhotoMessageInfo>& photo : record.photos) {
        if (photo)
            feedPhoto(form, *photo);
    }
}

bool isPhotoIndex(const TForm1& form, int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < form.photos.size() && form.photos[index];
}

void clearInUse(TForm1& form, int32_t index) {
    // Indexes come from another thread's copy of an older list: checked, never trusted.
    if (isPhotoIndex(form, index))
        form.photos[index]->inUseByJob = 0;
}

void showJobProgress(TForm1& form) {
    form.showDownloadProgress(true, form.jobWorkUnits > 0 ? form.jobProgress / form.jobWorkUnits : 0.0);
    form.jobShownProgress = form.jobProgress;
}

void photoCopied(TForm1& form, const PhotoCopiedMessageInfo& record) {
    if (record.thumbnailsGeneration == form.thumbnailsGeneration) {
        if (record.photoIndexList) {
            for (int32_t index : *record.photoIndexList)
                clearInUse(form, index);
        } else if (record.photoIndex > -1) {
            clearInUse(form, record.photoIndex);
        }
    }
    if (record.saveGeneration != form.saveGeneration)
        return;
    if (record.threadEnded) {
        form.copyDone = true;
        form.finishSaveJob();
        return;
    }
    for (auto& entry : form.jobEntries) {
        if (!entry || entry->photoIndex != record.photoIndex)
            continue;
        // A file that could not be copied is not saved: it keeps its error for the job's report
        // and goes into no archive.
        entry->error = record.error;
        entry->done = record.error == 0 ? 1 : 0;
        form.jobProgress += 1.0;
        showJobProgress(form);
        if (!form.zipDone && record.error == 0)
            form.queueZipFile(record.targetPath);
        break;
    }
    if (record.lastFile) {
        form.copyDone = true;
        form.finishSaveJob();
    }
}

void photoTimesUpdated(TForm1& form, const UpdatePhotoTimesMessageInfo& record) {
    if (record.saveGeneration != form.saveGeneration)
        return;
    if (record.done) {
        form.photoTimesDone = true;
        form.finishSaveJob();
    } else if (!form.jobStopped.isSet()) {
        form.jobProgress += 1.0;
        showJobProgress(form);
    }
}

void addThrottledProgress(TForm1& form, double share) {
    if (form.jobStopped.isSet())
        return;
    form.addJobProgress(share);
}

void zipProgress(TForm1& form, const ZipArchiveMessageInfo& record) {
    if (record.generation != form.saveGeneration)
        return;
    if (record.done) {
        form.onZipWriterEnded(record);
    } else {
        addThrottledProgress(form, record.share);
    }
}

void printProgress(TForm1& form, const PrintMessageInfo& record) {
    if (record.printGeneration != form.printGeneration)
        return;
    if (record.done) {
        form.onPrintThreadEnded(record);
    } else {
        addThrottledProgress(form, record.progress);
    }
}

// The info menu's items in the order a command is looked up.
std::vector<gui::TMenuItem*> commandItems(TForm1& form) {
    return {form.showCaptionsAsThumbnailTooltipsMenuItem,
            form.showThumbnailShadowsMenuItem,
            form.showFullSizeWhenThumbnailClickingMenuItem,
            form.selectWhenThumbnailClickingMenuItem,
            form.anyWordCanMatchMenuItem,
            form.allWordsMustMatchMenuItem,
            form.clearSearchWhenChangingUsernameMenuItem,
            form.slowSlideshowMenuItem,
            form.moderateSlideshowMenuItem,
            form.fastSlideshowMenuItem,
            form.transparentOverlayMenuItem,
            form.extraExtraLightOverlayMenuItem,
            form.extraLightOverlayMenuItem,
            form.veryLightOverlayMenuItem,
            form.mediumLightOverlayMenuItem,
            form.lightOverlayMenuItem,
            form.darkOverlayMenuItem,
            form.mediumDarkOverlayMenuItem,
            form.veryDarkOverlayMenuItem,
            form.extraDarkOverlayMenuItem,
            form.extraExtraDarkOverlayMenuItem,
            form.blackOverlayMenuItem,
            form.removeUsernamesMenuItem,
            form.temporaryFolderMenuItem,
            form.checkForUpdatesMenuItem,
            form.sendFeedbackMenuItem,
            form.aboutPixhaulMenuItem};
}

// Worker records: handled and freed, never passed on. A null record is ignored.
bool handleWorkerRecord(TForm1& form, gui::TMessage& message) {
    if (message.Msg < WM_FEED_TOTAL || message.Msg > WM_PRINT_PROGRESS)
        return false;
    message.Result = 0;
    if (!message.WParam)
        return true;
    switch (message.Msg) {
    case WM_FEED_TOTAL:
        feedTotal(form, *takeRecord<MessageInfo>(message));
        break;
    case WM_FEED_NEXT_PAGE:
        feedNextPage(form, *takeRecord<MessageInfo>(message));
        break;
    case WM_FEED_END:
        feedEnd(form, *takeRecord<MessageInfo>(message));
        break;
    case WM_FEED_PHOTOS:
        feedPhotos(form, *takeRecord<FeedPhotosMessageInfo>(message));
        break;
    case WM_PHOTO_COPIED:
        photoCopied(form, *takeRecord<PhotoCopiedMessageInfo>(message));
        break;
    case WM_PHOTO_TIMES_UPDATED:
        photoTimesUpdated(form, *takeRecord<UpdatePhotoTimesMessageInfo>(message));
        break;
    case WM_ZIP_PROGRESS:
        zipProgress(form, *takeRecord<ZipArchiveMessageInfo>(message));
        break;
    case WM_PRINT_PROGRESS:
        printProgress(form, *takeRecord<PrintMessageInfo>(message));
        break;
    }
    return true;
}

}  // namespace

void TForm1::WndProc(gui::TMessage& message) {
    switch (message.Msg) {
    case WM_NOTIFY:
        if (drawContentBar(message))
            return;
        break;
    case WM_MOVE:
        if (fullSizeImage)
            placeFullSizeVideo();
        break;
    case WM_ERASEBKGND:
        if (paintFrame(message))
            return;
        break;
    case WM_THUMBNAILS_ARRIVED:
        showThumbnailArrivals();
        return;
    default:
        if (handleWorkerRecord(*this, message))
            return;
        break;
    }
    gui::TForm::WndProc(message);
    if (message.Msg == WM_GETMINMAXINFO) {
        limitMaximizedSize(reinterpret_cast<MINMAXINFO*>(message.LParam));
        message.Result = 0;
    } else if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == 0 && message.LParam == 0) {
        if (gui::TMenuItem* item = menuCommandTarget(commandItems(*this), LOWORD(message.WParam)))
            item->OnClick(item);
    }
}

void clearPhotos(TForm1* mainWindow) {
    clearPhotos(mainWindow->photos);
}
