// The save job: the selected items of the loaded user into a folder or into one zip file. Cached
// files are copied by the copy thread, the others downloaded by the job's own control with their
// item times; the user's files already in the folder only get their times set. A zip job saves
// into a staging folder beside the archive and hands every finished file to the zip writer.
#include "common/PathFunctions.h"
#include "common/SafeFileName.h"
#include "common/WFolderDialog.h"
#include "common/WSaveDialog.h"
#include "gui/Timer.h"
#include "mainwindow/JobSupport.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkerMessageRules.h"
#include "saving/CopyPhotosThread.h"
#include "saving/FolderScan.h"
#include "saving/JobArithmetic.h"
#include "saving/JobMessages.h"
#include "saving/PhotoTimesThread.h"
#include "saving/SaveNames.h"
#include "saving/ZipWriterThread.h"

#include <cwchar>

using gui::TObject;
using gui::TPxhl;

namespace {

// The control's codes for a data file that cannot be created, opened or written: the target is
// not writable, and retrying cannot help.
bool targetNotWritable(long controlError) {
    return controlError == 7 || controlError == 45 || controlError == 46;
}

// The control says only that the target could not be written; the system's reason is found by
// asking the folder itself.
DWORD targetFolderError(const std::wstring& folder) {
    constexpr ULONGLONG kNearlyFull = 1024 * 1024;
    ULARGE_INTEGER freeBytes{};
    if (GetDiskFreeSpaceExW((folder + L"\\").c_str(), &freeBytes, nullptr, nullptr) &&
        freeBytes.QuadPart < kNearlyFull)
        return ERROR_DISK_FULL;
    const std::wstring probe = folder + L"\\" + makeGuidFileName() + L".tmp";
    HANDLE file = CreateFileW(makeLongPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return ERROR_WRITE_FAULT;
}

bool isExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(makeLongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring withoutTrailingBackslash(std::wstring folder) {
    while (folder.size() > 1 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

}  // namespace

void TForm1::downloadImageButtonBtnClick(TObject*) {
    const int count = selectedVisibleCount(2);
    downloadImageButton->SetMouseLeave();
    if (count == 0) {
        showJobWarning(L"Please select photos you want to download.");
        return;
    }
    WFolderDialog dialog(Handle());
    dialog.prompt = count == 1 ? L"\r\nSelect folder where you want to save photo:"
                               : L"\r\nSelect folder where you want to save photos:";
    dialog.secondGeometry = false;
    dialog.showEditBox = true;
    dialog.allowNewFolder = true;
    dialog.folder = lastSavedPhotosFolderPath;
    StringKey remembered;
    if (userNameFolders.find(currentUserName, remembered) && remembered.value)
        dialog.folder = *static_cast<std::wstring*>(remembered.value);
    downloadImageButton->SetMouseLeave();
    if (!dialog.execute())
        return;
    UpdateWindow(Handle());
    lastSavedPhotosFolderPath = dialog.folder;
    if (userNameFolders.find(currentUserName, remembered)) {
        userNameFolders.erase(currentUserName);
        delete remembered.text;
        delete static_cast<std::wstring*>(remembered.value);
    }
    userNameFolders.insert(StringKey(new std::wstring(currentUserName), new std::wstring(dialog.folder)));
    startSaveJob(lastSavedPhotosFolderPath, L"");
}

void TForm1::downloadZipImageButtonBtnClick(TObject*) {
    const int count = selectedVisibleCount(2);
    downloadZipImageButton->SetMouseLeave();
    if (count == 0) {
        showJobWarning(L"Please select photos you want to download.");
        return;
    }
    WSaveDialog dialog(Handle());
    dialog.title = count == 1 ? L"Save Photo As" : L"Save Photos As";
    dialog.filter = L"Zip archive (*.zip)|*.zip";
    dialog.filterIndex = 1;
    dialog.defaultExtension = L"zip";
    dialog.initialFolder = lastSavedPhotosZipFolderPath;
    downloadZipImageButton->SetMouseLeave();
    if (!dialog.execute())
        return;
    UpdateWindow(Handle());
    const std::wstring zipPath = dialog.fileName;
    std::wstring zipFolder = extractFilePath(zipPath);
    if (!zipFolder.empty() && zipFolder.back() == L'\\')
        zipFolder.pop_back();
    lastSavedPhotosZipFolderPath = zipFolder;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(makeLongPath(zipPath).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        const std::wstring question =
            L"The file \"" + zipPath + L"\" already exists.\r\nDo you want to replace the existing file?";
        if (MessageBoxW(Handle(), question.c_str(), L"Pixhaul", MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
    }
    startSaveJob(::zipStagingFolder(zipPath, makeGuidFileName()), zipPath);
}

bool TForm1::takeJobDownloader(TPxhl*& slot, int generation) {
    if (slot)
        resetDownloader(slot);
    TPxhl* downloader = nullptr;
    try {
        downloader = acquireDownloader(this);
    } catch (...) {
        downloader = nullptr;
    }
    if (!downloader) {
        showJobWarning(
            L"The Pxhl download control cannot be created.\r\n\r\nPixhaul cannot download photos "
            L"until Pxhl.dll is registered.");
        return false;
    }
    // The new control is taken before the old one goes back, so the pool never hands it straight back.
    downloader->SetTag(generation);
    releaseDownloader(this, slot);
    slot = downloader;
    slot->SetIntegerProperty(gui::PxhlDispId::ConcurrentDownloadFileCount, 6);
    slot->SetIntegerProperty(gui::PxhlDispId::ConnectionTimeout, 4000);
    return true;
}

void TForm1::resetJobState(JobOutcome::Kind kind, const std::wstring& target) {
    jobStopped.set(false);
    jobOutcome = JobOutcome();
    jobOutcome.kind = kind;
    jobOutcome.target = target;
    jobProgress = 0;
    jobShownProgress = 0;
    // A finished job's 100% may still be on show.
    hideDownloadProgressTimer->SetEnabled(false);
    showDownloadProgress(true, 0);
    jobEntries.clear();
}

void TForm1::startSaveJob(std::wstring folder, std::wstring zipPath) {
    folder = withoutTrailingBackslash(folder);
    ++saveGeneration;
    resetJobState(zipPath.empty() ? JobOutcome::Kind::folder : JobOutcome::Kind::zip,
                  zipPath.empty() ? folder : zipPath);
    zipStagingFolder.clear();
    for (Photo* photo : photos) {
        if (photo)
            photo->existsInTarget = 0;
    }
    zipQueue.clear();
    zipQueue.setInputClosed(true);
    photosDownloaderErrorRetryTimer->SetEnabled(false);
    if (!takeJobDownloader(photosDownloader, saveGeneration)) {
        showDownloadProgress(false, 1.0);
        return;
    }
    photosDownloader->OnFileDownloadProgress =
        [this](TObject* sender, long fileId, const std::wstring& fileSize, const std::wstring& downloadedSize,
               long, const std::wstring&, long,
               double) { onSavePhotoProgress(sender, fileId, fileSize, downloadedSize); };
    photosDownloader->OnFileDownloadComplete = [this](TObject* sender, long fileId, bool result) {
        onSavePhotoFileDone(sender, fileId, result);
    };
    photosDownloader->OnDownloadComplete = [this](TObject* sender, bool result) {
        onJobDownloadsDone(saveDownloads(), sender, result);
    };
    saveRetryCount = 0;

    const std::wstring user = makeSafeFileName(currentUserName);
    auto times = std::make_unique<UpdatePhotoTimesParams>(saveGeneration, kPhotoTimesBatchSize, folder, user,
                                                          Handle());
    // Users in the history such as alice_b for alice: their files in the folder are not hers.
    std::vector<std::wstring> otherUsers;
    for (int row = 0; row < userNameListBox->Items()->Count(); ++row) {
        // Each row is a tab and the name.
        const std::wstring text = userNameListBox->Items()->Strings(row);
        otherUsers.push_back(makeSafeFileName(text.empty() ? text : text.substr(1)));
    }
    FolderScan scan = scanTargetFolder(
        folder, user,
        [this](const std::wstring& name, int32_t& index, FILETIME& time) {
            StringKey found;
            if (!photoFileNames.find(name, found) || !found.value)
                return false;
            const Photo* photo = static_cast<const Photo*>(found.value);
            index = photo->index;
            time = photo->fileTime;
            return true;
        },
        otherUsers);
    for (int32_t index : scan.itemIndexes) {
        if (index >= 0 && static_cast<size_t>(index) < photos.size() && photos[index])
            photos[index]->existsInTarget = 1;
    }

    auto copies =
        std::make_unique<CopyPhotosParams>(saveGeneration, thumbnailsGeneration, Handle(), &jobStopped);
    FILETIME oldest = scan.oldest;
    bool downloading = false;
    for (Photo* photo : visiblePhotos) {
        if (!photo || !photo->selected || photo->existsInTarget)
            continue;
        if (CompareFileTime(&photo->fileTime, &oldest) < 0)
            oldest = photo->fileTime;
        const std::wstring target = folder + L"\\" + savedFileName(currentUserName, photo->fileName);
        if (isExistingFolder(target)) {
            // A folder holds the file's name: the file cannot take its place, the others are saved.
            jobOutcome.itemNotDone(ERROR_ALREADY_EXISTS);
            continue;
        }
        auto entry = std::make_unique<PhotoDownload>();
        if (photo->fullSizePresent && photo->videoUrl.empty()) {
            photo->inUseByJob = 1;
            copies->sourcePaths.push_back(photo->fullSizePath);
            copies->targetPaths.push_back(target);
            copies->photoIndexes.push_back(photo->index);
            entry->photoIndex = photo->index;
        } else {
            const std::wstring& url =
                photo->videoUrl.empty() ? photo->standardResolutionUrl : photo->videoUrl;
            const long fileId = photosDownloader->AddFile(
                url, L"-1", L"", timedSavePath(target, photo->fileTime), 1, L"", L"", L"", 0);
            photo->saveFileId = static_cast<int>(fileId);
            if (fileId < 0) {
                // The control refused the address: the item is reported as not saved.
                jobOutcome.itemNotDone(0);
                continue;
            }
            entry->fileId = static_cast<int32_t>(fileId);
            downloading = true;
        }
        jobEntries.push_back(std::move(entry));
    }

    if (jobEntries.empty()) {
        copyDone = downloadsDone = photoTimesDone = zipDone = true;
        endJob();
        return;
    }

    const size_t filesToStamp = scan.itemsInFolder.size() + scan.otherFiles.size();
    jobWorkUnits = saveJobWorkUnits(filesToStamp, jobEntries.size(), !zipPath.empty());
    copyDone = copies->sourcePaths.empty();
    downloadsDone = !downloading;
    photoTimesDone = filesToStamp == 0;
    if (!zipPath.empty()) {
        if (!createDirectoryTree(folder)) {
            const DWORD error = GetLastError();
            jobOutcome.archiveFailed(error ? error : ERROR_CANNOT_MAKE);
            abandonSaveJob();
            return;
        }
        zipStagingFolder = folder;
        zipDone = false;
    } else {
        zipDone = true;
    }

    if (!copyDone && !startJobThread(copyPhotosThreadProc, std::move(copies))) {
        // Its files stay not done and are reported as not saved.
        jobOutcome.noteReason(GetLastError());
        releaseCopiedPhotos();
        copyDone = true;
    }
    if (!photoTimesDone) {
        times->itemsInFolder = std::move(scan.itemsInFolder);
        times->otherFiles = std::move(scan.otherFiles);
        times->offset = otherFilesOffset(oldest, scan.newestOther);
        if (!startJobThread(updatePhotoTimesThreadProc, std::move(times)))
            photoTimesDone = true;
    }
    if (!zipDone) {
        zipQueue.setInputClosed(false);
        auto zip = std::make_unique<ZipPhotosParams>(saveGeneration, Handle(), zipPath, folder, &zipQueue,
                                                     &jobStopped);
        if (!startJobThread(zipPhotosThreadProc, std::move(zip))) {
            jobOutcome.archiveFailed(GetLastError());
            zipQueue.setInputClosed(true);
            zipDone = true;
            jobStopped.set(true);
        }
    }
    if (!downloadsDone && (jobStopped.isSet() || !photosDownloader->Download()))
        downloadsDone = true;
    finishSaveJob();
}

void TForm1::releaseCopiedPhotos() {
    for (auto& entry : jobEntries) {
        if (entry->photoIndex >= 0 && static_cast<size_t>(entry->photoIndex) < photos.size())
            photos[entry->photoIndex]->inUseByJob = 0;
    }
}

void TForm1::abandonSaveJob() {
    releaseCopiedPhotos();
    photosDownloader->ClearFiles();
    copyDone = downloadsDone = photoTimesDone = zipDone = true;
    jobWorkUnits = 0;
    jobEntries.clear();
    endJob();
}

PhotoDownload* TForm1::jobEntryWithFileId(long fileId) {
    for (auto& entry : jobEntries) {
        if (entry && entry->fileId == fileId)
            return entry.get();
    }
    return nullptr;
}

void TForm1::addJobProgress(double share) {
    jobProgress += share;
    if (progressWorthShowing(jobProgress, jobShownProgress, jobWorkUnits)) {
        showDownloadProgress(true, jobWorkUnits > 0 ? jobProgress / jobWorkUnits : 0.0);
        jobShownProgress = jobProgress;
    }
}

void TForm1::addDownloadProgress(long fileId, const std::wstring& fileSize,
                                 const std::wstring& downloadedSize) {
    if (jobStopped.isSet())
        return;
    const int64_t size = _wtoi64(fileSize.c_str());
    if (size <= 0)
        return;
    if (PhotoDownload* entry = jobEntryWithFileId(fileId))
        addJobProgress(downloadProgressShare(*entry, _wtoi64(downloadedSize.c_str()), size));
}

void TForm1::onSavePhotoProgress(TObject* sender, long fileId, const std::wstring& fileSize,
                                 const std::wstring& downloadedSize) {
    if (jobTagOf(sender) == saveGeneration)
        addDownloadProgress(fileId, fileSize, downloadedSize);
}

void TForm1::deletePartialFile(const std::wstring& finalPath) {
    if (!finalPath.empty())
        DeleteFileW(makeLongPath(finalPath + L".tmp").c_str());
}

void TForm1::onSavePhotoFileDone(TObject* sender, long fileId, bool result) {
    auto* control = dynamic_cast<TPxhl*>(sender);
    if (!control || jobTagOf(sender) != saveGeneration)
        return;
    const std::wstring finalPath = control->GetFileInfo(fileId, kFinalPathField);
    PhotoDownload* entry = jobEntryWithFileId(fileId);
    if (result) {
        if (!entry)
            return;
        entry->done = 1;
        entry->error = 0;
        addJobProgress(completionShare(*entry));
        queueZipFile(finalPath);
        return;
    }
    if (jobStopped.isSet()) {
        deletePartialFile(finalPath);
        return;
    }
    if (targetNotWritable(control->GetLastError())) {
        // A full disk or a refused folder fails every file alike: the job ends now, without retries.
        const DWORD reason =
            targetFolderError(zipStagingFolder.empty() ? jobOutcome.target : zipStagingFolder);
        jobOutcome.noteReason(reason);
        if (entry)
            entry->error = reason;
        // A zip job's archive cannot be completed: the writer's archive is not kept.
        if (jobOutcome.kind == JobOutcome::Kind::zip)
            jobOutcome.archiveFailed(reason);
        zipQueue.discard();
        deletePartialFile(finalPath);
        // The control is inside its report of this file: it is stopped once the report returns.
        jobStopped.set(true);
        photosDownloaderErrorRetryTimer->Restart(1);
    }
}

TForm1::JobDownloads TForm1::saveDownloads() {
    return {photosDownloader, saveGeneration, saveRetryCount, photosDownloaderErrorRetryTimer,
            &TForm1::finishSaveJob};
}

void TForm1::photosDownloaderErrorRetryTimerTimer(TObject*) {
    retryJobDownloads(saveDownloads());
}

void TForm1::onJobDownloadsDone(const JobDownloads& job, TObject* sender, bool result) {
    auto* control = dynamic_cast<TPxhl*>(sender);
    if (!control || jobTagOf(sender) != job.generation)
        return;
    const long error = result ? 0 : control->GetLastError();
    const DownloadOutcome outcome =
        jobStopped.isSet() ? DownloadOutcome::finished : downloadOutcome(result, error, job.retryCount);
    if (outcome == DownloadOutcome::retry) {
        ++job.retryCount;
        job.retryTimer->Restart(kJobRetryIntervalMs);
        return;
    }
    downloadsDone = true;
    endDownloads(outcome);
    (this->*job.finish)();
}

void TForm1::retryJobDownloads(const JobDownloads& job) {
    job.retryTimer->SetEnabled(false);
    if (downloadsDone || !job.control)
        return;
    if (jobStopped.isSet()) {
        // A stop asked for while the control reported a file is carried out now (an idle control
        // ignores it). When that file was the run's last, the control ends the run without
        // reporting its end: the job does.
        job.control->StopDownload();
        if (!downloadsDone) {
            downloadsDone = true;
            (this->*job.finish)();
        }
        return;
    }
    if (!job.control->Download()) {
        downloadsDone = true;
        (this->*job.finish)();
    }
}

void TForm1::endDownloads(DownloadOutcome outcome) {
    if (outcome != DownloadOutcome::connectionLost && outcome != DownloadOutcome::serverIssues)
        return;
    jobStopped.set(true);
    // The archive of a job that failed does not replace the zip file: it lacks the files that failed.
    zipQueue.discard();
    jobOutcome.failureShown = true;
    showJobWarning(outcome == DownloadOutcome::connectionLost
                       ? L"Please check your Internet connection."
                       : L"There are some temporary server issues. Please try again.");
}

void TForm1::queueZipFile(const std::wstring& path) {
    if (!zipDone && !path.empty())
        zipQueue.queue(path);
}

void TForm1::onZipWriterEnded(const ZipArchiveMessageInfo& record) {
    zipDone = true;
    jobOutcome.notDone += record.skippedFiles;
    jobOutcome.noteReason(record.skippedError);
    if (record.error != 0) {
        jobOutcome.archiveError = record.error;
        stopJobDownloads();
    }
    finishSaveJob();
}

void TForm1::finishSaveJob() {
    if (jobWorkUnits <= 0 || !copyDone || !downloadsDone)
        return;
    // The zip writer ends once it has archived what is queued.
    zipQueue.setInputClosed(true);
    if (!photoTimesDone || !zipDone)
        return;
    // No job from here on: a finish reached again from inside what follows does nothing.
    jobWorkUnits = 0;
    std::vector<std::wstring> partialFiles;
    for (auto& entry : jobEntries) {
        if (!entry || entry->done)
            continue;
        jobOutcome.itemNotDone(entry->error);
        if (entry->fileId >= 0 && photosDownloader)
            partialFiles.push_back(photosDownloader->GetFileInfo(entry->fileId, kFinalPathField));
    }
    jobEntries.clear();
    zipQueue.clear();
    for (const std::wstring& path : partialFiles)
        deletePartialFile(path);
    if (!zipStagingFolder.empty()) {
        deleteFolderFiles(zipStagingFolder);
        RemoveDirectoryW(makeLongPath(zipStagingFolder).c_str());
        zipStagingFolder.clear();
    }
    endJob();
}
