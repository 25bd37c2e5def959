// DownloadEngine: starting a run, starting file threads and finishing files.
#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "downloadcontrol/engine/FileTransfer.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/HeaderFolder.h"
#include "downloadcontrol/engine/SavePathResolver.h"
#include "downloadcontrol/engine/TransferPlan.h"
#include "downloadcontrol/engine/WorkerThread.h"

namespace {

bool isZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

// The folder part of a file path ("" when it has none).
std::wstring folderOfPath(const std::wstring& path) {
    const std::size_t end = path.find_last_of(L"\\/");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end);
}

}  // namespace

bool DownloadEngine::download() {
    if (downloading_) {
        errors_.setError(ErrRunUnderWay);
        return false;
    }
    if (!isWinSockStarted()) {
        errors_.setError(ErrSocketsNotStarted);
        return false;
    }
    if (!settleSavePaths()) {
        return false;
    }
    if (!headerFolder_.empty()) {
        if (!createFolders(headerFolder_)) {
            errors_.setError(ErrHeaderFolderCreate);
            return false;
        }
        deleteHeaderFiles(headerFolder_);
    }
    if (!prepareFiles()) {
        return false;
    }
    return beginRun(0);
}

bool DownloadEngine::settleSavePaths() {
    // The dialogs run without the control lock; items are found again by id after each one, because
    // the host may change the list while a dialog pumps its messages.
    std::vector<int32_t> fileIds;
    {
        CriticalSectionLock lock(controlLock_);
        for (const auto& item : files_.items()) {
            fileIds.push_back(item->fileId);
        }
    }
    SavePathResolver resolver(*dialogs_, settings_.commonSaveFolder);
    for (int32_t fileId : fileIds) {
        std::wstring given;
        std::wstring displayName;
        std::wstring nameFromUrl;
        {
            CriticalSectionLock lock(controlLock_);
            const DownloadItem* item = files_.find(fileId);
            if (!item) {
                continue;
            }
            given = item->savePath;
            displayName = item->displayFileName;
            nameFromUrl = item->nameFromUrl;
        }
        std::wstring settled;
        int32_t error = ErrNone;
        if (!resolver.resolve(given, displayName, nameFromUrl, settled, error)) {
            errors_.setError(error);
            return false;
        }
        CriticalSectionLock lock(controlLock_);
        if (DownloadItem* item = files_.find(fileId)) {
            item->savePath = settled;
        }
    }
    return true;
}

bool DownloadEngine::prepareFiles() {
    std::vector<int32_t> changedFiles;
    bool prepared = true;
    {
        CriticalSectionLock lock(controlLock_);
        std::vector<int64_t> sizes;
        for (const auto& item : files_.items()) {
            sizes.push_back(item->size);
        }
        const std::vector<double> weights = fileWeights(sizes);
        const std::wstring suffix = dataFileSuffix();
        auto& items = files_.items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            DownloadItem& item = *items[i];
            item.weight = weights[i];
            item.setUrl(item.url, item.implicitTls);
            item.proxy = proxies_.forProtocol(item.protocol);
            item.validator.clear();
            item.downloaded = 0;
            item.elapsed = 0;
            item.remaining = item.size < 0 ? -1 : item.size;
            item.remainingTime = 0;
            item.rate = 0;
            item.countedBytes = 0;
            item.precountedShare = 0;
            item.segments.clear();
            item.dataPath = item.savePath + suffix;
            changedFiles.push_back(item.fileId);
            if (!headerFolder_.empty() && !createHeaderFile(item, headerFolder_, errors_)) {
                // Undo what this run prepared so far.
                for (std::size_t j = 0; j <= i; ++j) {
                    DeleteFileW(toLongPath(items[j]->dataPath).c_str());
                }
                deleteHeaderFiles(headerFolder_);
                prepared = false;
                break;
            }
        }
    }
    for (int32_t fileId : changedFiles) {
        host_.fileChanged(fileId);
    }
    return prepared;
}

bool DownloadEngine::beginRun(double progress) {
    {
        CriticalSectionLock lock(controlLock_);
        nextIndex_ = -1;
        failureSeen_ = false;
        runningCount_ = 0;
        runningFiles_.clear();
    }
    errors_.setStopRequest(false);
    listPrepared_ = true;
    setOverallProgress(progress);
    window_.startTimer();
    downloading_ = true;
    ResetEvent(stopEvent_.get());
    startFileThreads();
    return true;
}

bool DownloadEngine::prepareDataFile(DownloadItem& item) {
    const std::wstring folder = folderOfPath(item.dataPath);
    if (!folder.empty() && !createFolders(folder)) {
        errors_.setError(ErrDataFileCreate);
        return false;
    }
    ScopedHandle file = openFileForWriting(item.dataPath, OPEN_ALWAYS);
    if (!file.valid()) {
        errors_.setError(ErrDataFileCreate);
        return false;
    }
    LARGE_INTEGER length;
    if (!isZero(item.fileTime) && GetFileSizeEx(file.get(), &length) && length.QuadPart == 0) {
        SetFileTime(file.get(), &item.fileTime, &item.fileTime, &item.fileTime);
    }
    return true;
}

void DownloadEngine::startFileThreads() {
    struct Start {
        DownloadItem* item;
        bool dataFileReady;
    };
    std::vector<Start> starts;
    // No new file starts once a stop was requested.
    if (!errors_.stopRequest()) {
        CriticalSectionLock lock(controlLock_);
        const int32_t limit = settings_.concurrentDownloadFileCount;
        for (std::size_t i = static_cast<std::size_t>(nextIndex_ + 1); i < files_.size() && runningCount_ < limit; ++i) {
            DownloadItem& item = *files_.at(i);
            if (item.state == DownloadStateComplete) {
                continue;
            }
            const bool ready = item.state != DownloadStateNew || prepareDataFile(item);
            item.setFailed(false);
            item.row = static_cast<int32_t>(i);
            ++runningCount_;
            nextIndex_ = static_cast<int32_t>(i);
            starts.push_back({&item, ready});
        }
    }
    for (const Start& start : starts) {
        ScopedHandle thread =
            createSuspendedThread(std::make_unique<FileTransfer>(context_, settings_, *start.item, start.dataFileReady));
        if (!thread.valid()) {
            errors_.setError(ErrSend);
            start.item->setFailed(true);
            window_.postFileFinished(start.item);
            continue;
        }
        const HANDLE handle = thread.get();
        {
            CriticalSectionLock lock(controlLock_);
            start.item->thread = std::move(thread);
        }
        ResumeThread(handle);
    }
    if (downloading_ && runningCount_ < 1) {
        endRun();
    }
}

void DownloadEngine::endRun() {
    downloading_ = false;
    window_.stopTimer();
    window_.postDownloadDone(!failureSeen_ && !errors_.stopRequest());
}

std::ptrdiff_t DownloadEngine::indexOfItem(const DownloadItem* item) {
    const auto& items = files_.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == item) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

void DownloadEngine::closeHeader(DownloadItem& item) {
    if (!item.headerFile.valid()) {
        return;
    }
    HeaderUpdate slot;
    slot.addStateSlot(kHeaderMagic);
    slot.writeTo(item.headerFile.get(), writer_);
    item.headerFile.close();
}

void DownloadEngine::closeDataFile(DownloadItem& item) {
    if (!item.dataFile.valid()) {
        return;
    }
    if (!isZero(item.fileTime)) {
        SetFileTime(item.dataFile.get(), &item.fileTime, &item.fileTime, &item.fileTime);
    }
    item.dataFile.close();
}

void DownloadEngine::removeCompletedFile(DownloadItem* item) {
    std::ptrdiff_t index = -1;
    std::wstring headerPath;
    int32_t fileId = -1;
    {
        CriticalSectionLock lock(controlLock_);
        index = indexOfItem(item);
        if (index < 0) {
            return;
        }
        headerPath = item->headerPath;
        fileId = item->fileId;
    }
    if (!headerPath.empty()) {
        DeleteFileW(toLongPath(headerPath).c_str());
    }
    {
        CriticalSectionLock lock(controlLock_);
        index = indexOfItem(item);
        if (index < 0) {
            return;
        }
        auto& items = files_.items();
        items.erase(items.begin() + index);
        for (std::size_t i = static_cast<std::size_t>(index); i < items.size(); ++i) {
            if (items[i]->row >= 0) {
                items[i]->row = static_cast<int32_t>(i);
            }
        }
        if (nextIndex_ >= index) {
            --nextIndex_;
        }
    }
    host_.fileRemoved(fileId);
}

void DownloadEngine::onFileFinished(DownloadItem* item) {
    HANDLE thread = nullptr;
    {
        CriticalSectionLock lock(controlLock_);
        if (indexOfItem(item) < 0) {
            return;
        }
        thread = item->thread.get();
    }
    // The thread posted this as its last act; it ends at once.
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
    }
    int32_t fileId = -1;
    bool complete = false;
    double progress = 0;
    {
        CriticalSectionLock lock(controlLock_);
        item->thread.close();
        fileId = item->fileId;
        if (item->size > 0 && item->downloaded > item->countedBytes) {
            overallProgress_ = std::clamp(overallProgress_ + static_cast<double>(item->downloaded - item->countedBytes) /
                                                                 static_cast<double>(item->size) * item->weight,
                                          0.0, 1.0);
            item->countedBytes = item->downloaded;
        }
        progress = overallProgress_;
        --runningCount_;
        complete = item->state == DownloadStateComplete && item->size > 0 && !item->failed();
    }
    host_.fileChanged(fileId);
    host_.overallProgressChanged(progress);

    if (!complete && errors_.stopRequest()) {
        failureSeen_ = true;
        closeHeader(*item);
        closeDataFile(*item);
        events_.onFileDownloadComplete(fileId, false);
        // The events may have re-entered the engine; only the counters are looked at again.
        if (downloading_ && runningCount_ < 1) {
            endRun();
        }
        return;
    }

    if (complete) {
        closeDataFile(*item);
        const bool renamed = MoveFileExW(toLongPath(item->dataPath).c_str(), toLongPath(item->finalPath()).c_str(),
                                         MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (renamed) {
            closeHeader(*item);
            events_.onFileDownloadComplete(fileId, true);
            if (settings_.autoRemoveCompletedFiles) {
                removeCompletedFile(item);
            }
            startFileThreads();
            return;
        }
        // Not at its final path is not a success: the file stays resumable under its data path.
        errors_.setError(ErrDataFileCreate);
    }

    failureSeen_ = true;
    {
        HeaderUpdate state;
        {
            CriticalSectionLock lock(controlLock_);
            // Failed, stopped short or empty: incomplete, and resumable from what it has.
            item->state = DownloadStateIncomplete;
            state.add(*item, HeaderState);
        }
        state.writeTo(item->headerFile.get(), writer_);
    }
    closeHeader(*item);
    closeDataFile(*item);
    events_.onFileDownloadComplete(fileId, false);
    startFileThreads();
}
