// The print job: the selected items, one per page, on the printer chosen in the print dialog.
// Cached files are printed as they are; the others are downloaded by the job's own control into
// the viewer folder (where they become the items' cached files) and handed to the print thread
// strictly in page order.
#include "common/PathFunctions.h"
#include "common/SafeFileName.h"
#include "common/WPrintDialog.h"
#include "gui/Timer.h"
#include "mainwindow/JobSupport.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "saving/JobArithmetic.h"
#include "saving/JobMessages.h"
#include "saving/PrintPhotosThread.h"
#include "saving/SaveNames.h"

using gui::TObject;
using gui::TPxhl;

void TForm1::printImageButtonBtnClick(TObject*) {
    const int count = selectedVisibleCount(static_cast<int>(visiblePhotos.size()) + 1);
    printImageButton->SetMouseLeave();
    if (count == 0) {
        showJobWarning(L"Please select photos you want to print.");
        return;
    }
    WPrintDialog dialog(Handle());
    dialog.pageCount = count;
    dialog.fromPage = 1;
    dialog.toPage = count;
    dialog.copies = 1;
    dialog.collate = false;
    printImageButton->SetMouseLeave();
    if (!dialog.execute()) {
        if (dialog.printerError != 0)
            showJobWarning(printerUnusableMessage(dialog.printerName, dialog.printerError));
        return;
    }
    UpdateWindow(Handle());
    startPrintJob(dialog.printerDC, dialog.fromPage - 1, dialog.toPage - 1, dialog.copies, dialog.collate);
}

void TForm1::startPrintJob(HDC printerDC, int fromIndex, int toIndex, int copies, bool collate) {
    printThumbnailsGeneration = thumbnailsGeneration;
    ++printGeneration;
    resetJobState(JobOutcome::Kind::print, std::wstring());
    printQueue.clear();
    printDownloaderErrorRetryTimer->SetEnabled(false);
    if (!takeJobDownloader(printDownloader, printGeneration)) {
        DeleteDC(printerDC);
        showDownloadProgress(false, 1.0);
        return;
    }
    printDownloader->OnFileDownloadProgress =
        [this](TObject* sender, long fileId, const std::wstring& fileSize, const std::wstring& downloadedSize,
               long, const std::wstring&, long, double) {
            if (jobTagOf(sender) == printGeneration)
                addDownloadProgress(fileId, fileSize, downloadedSize);
        };
    printDownloader->OnFileDownloadComplete = [this](TObject* sender, long fileId, bool result) {
        onPrintPhotoFileDone(sender, fileId, result);
    };
    printDownloader->OnDownloadComplete = [this](TObject* sender, bool result) {
        onJobDownloadsDone(printDownloads(), sender, result);
    };
    printRetryCount = 0;

    size_t downloads = 0;
    int position = -1;
    for (Photo* photo : visiblePhotos) {
        if (!photo || !photo->selected)
            continue;
        ++position;
        if (position < fromIndex || position > toIndex)
            continue;
        auto entry = std::make_unique<PhotoDownload>();
        entry->photoIndex = photo->index;
        if (photo->fullSizePresent) {
            photo->inUseByJob = 1;
            entry->path = photo->fullSizePath;
            entry->done = 1;
        } else {
            const std::wstring workFile =
                viewerFolder + L"\\" +
                workFileName(currentUserName, photo->standardResolutionUrl, makeGuidFileName());
            const long fileId =
                printDownloader->AddFile(photo->standardResolutionUrl, L"-1", L"",
                                         timedSavePath(workFile, photo->fileTime), 1, L"", L"", L"", 0);
            if (fileId < 0) {
                // The control refused the address: the item is reported as not printed.
                jobOutcome.itemNotDone(0);
                continue;
            }
            photo->printFileId = static_cast<int>(fileId);
            entry->fileId = static_cast<int32_t>(fileId);
            ++downloads;
        }
        jobEntries.push_back(std::move(entry));
    }

    copyDone = photoTimesDone = zipDone = true;
    if (jobEntries.empty()) {
        DeleteDC(printerDC);
        downloadsDone = printDone = true;
        endJob();
        return;
    }
    jobWorkUnits = printJobWorkUnits(jobEntries.size(), copies, downloads);
    downloadsDone = downloads == 0;
    printDone = false;
    printQueue.handOver(jobEntries);
    // The print thread draws with GDI+, which must be started while it runs.
    if (!printGdiPlus)
        printGdiPlus = std::make_unique<gui::GdiPlusSession>();
    auto params = std::make_unique<PrintPhotosParams>(printGeneration, Handle(), printerDC,
                                                      static_cast<int32_t>(jobEntries.size()), copies,
                                                      collate, &printQueue, &jobStopped);
    if (!startJobThread(printPhotosThreadProc, std::move(params))) {
        DeleteDC(printerDC);
        printDone = true;
        jobOutcome.printerFailed = true;
        jobStopped.set(true);
    }
    if (!downloadsDone && (jobStopped.isSet() || !printDownloader->Download()))
        downloadsDone = true;
    finishPrintJob();
}

void TForm1::onPrintPhotoFileDone(TObject* sender, long fileId, bool result) {
    auto* control = dynamic_cast<TPxhl*>(sender);
    if (!control || jobTagOf(sender) != printGeneration)
        return;
    const std::wstring finalPath = control->GetFileInfo(fileId, kFinalPathField);
    if (!result) {
        if (jobStopped.isSet())
            deletePartialFile(finalPath);
        return;
    }
    PhotoDownload* entry = jobEntryWithFileId(fileId);
    if (!entry)
        return;
    const int32_t index = entry->photoIndex;
    Photo* photo = thumbnailsGeneration == printThumbnailsGeneration && index >= 0 &&
                           static_cast<size_t>(index) < photos.size()
                       ? photos[index]
                       : nullptr;
    if (photo && photo->printFileId == fileId) {
        if (photo->fullSizePresent) {
            // The view cached the item meanwhile: that copy is printed, this one is not kept.
            DeleteFileW(makeLongPath(finalPath).c_str());
            entry->path = photo->fullSizePath;
        } else {
            photo->fullSizePath = finalPath;
            photo->fullSizePresent = 1;
            entry->path = finalPath;
        }
        photo->printFileId = -1;
        photo->inUseByJob = 1;
    } else {
        entry->path = finalPath;
    }
    entry->done = 1;
    addJobProgress(completionShare(*entry));
    printQueue.handOver(jobEntries);
}

TForm1::JobDownloads TForm1::printDownloads() {
    return {printDownloader, printGeneration, printRetryCount, printDownloaderErrorRetryTimer,
            &TForm1::finishPrintJob};
}

void TForm1::printDownloaderErrorRetryTimerTimer(TObject*) {
    retryJobDownloads(printDownloads());
}

void TForm1::onPrintThreadEnded(const PrintMessageInfo& record) {
    printDone = true;
    if (record.failed) {
        jobOutcome.printerFailed = true;
        stopJobDownloads();
    }
    finishPrintJob();
}

void TForm1::finishPrintJob() {
    if (jobWorkUnits <= 0 || !downloadsDone || !printDone)
        return;
    jobWorkUnits = 0;
    std::vector<std::wstring> partialFiles;
    for (auto& entry : jobEntries) {
        if (!entry)
            continue;
        if (thumbnailsGeneration == printThumbnailsGeneration && entry->photoIndex >= 0 &&
            static_cast<size_t>(entry->photoIndex) < photos.size() && photos[entry->photoIndex])
            photos[entry->photoIndex]->inUseByJob = 0;
        if (!entry->done && entry->fileId >= 0 && printDownloader)
            partialFiles.push_back(printDownloader->GetFileInfo(entry->fileId, kFinalPathField));
    }
    jobEntries.clear();
    printQueue.clear();
    printGdiPlus.reset();
    for (const std::wstring& path : partialFiles)
        deletePartialFile(path);
    endJob();
}
