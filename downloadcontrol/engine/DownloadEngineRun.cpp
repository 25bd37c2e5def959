// DownloadEngine: starting a run, starting file threads and finishing files.
#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "downloadcontrol/engine/FileEnd.h"
#include "downloadcontrol/engine/FileTransfer.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/HeaderFolder.h"
#include "downloadcontrol/engine/SavePathResolver.h"
#include "downloadcontrol/engine/TransferPlan.h"
#include "downloadcontrol/engine/WorkerThread.h"

namespace {

// Finished threads whose handles are kept before the ended ones are closed.
constexpr std::size_t kRetiredThreadsToPrune = 32;

}  // namespace

bool DownloadEngine::download() {
    if (refuseUnlessIdle()) {
        return false;
    }
    if (!isWinSockStarted()) {
        errors_.setError(ErrSocketsNotStarted);
        return false;
    }
    // From here the dialogs pump messages: the host's calls meanwhile find the run under way.
    runState_ = RunState::Preparing;
    stopWhilePreparing_ = false;
    if (!prepareDownload()) {
        headerClaim_.release();
        runState_ = RunState::Idle;
        return false;
    }
    return beginRun(0);
}

bool DownloadEngine::prepareDownload() {
    if (!settleSavePaths()) {
        return false;
    }
    if (stopWhilePreparing_) {
        errors_.setError(ErrStopped);
        return false;
    }
    if (!headerFolder_.empty()) {
        if (!createFolders(headerFolder_)) {
            errors_.setError(ErrHeaderFolderCreate);
            return false;
        }
        if (!claimHeaderFolder()) {
            return false;
        }
        deleteHeaderFiles(headerFolder_, headerScope_);
    }
    return prepareFiles();
}

bool DownloadEngine::settleSavePaths() {
    // The dialogs run without the control lock and pump messages; the list cannot change meanwhile
    // (the run is being prepared), but items are still found by id.
    std::vector<int32_t> fileIds;
    {
        CriticalSectionLock lock(controlLock_);
        for (const auto& item : files_.items()) {
            fileIds.push_back(item->fileId);
        }
    }
    SavePathResolver resolver(*dialogs_, settings_.commonSaveFolder);
    for (int32_t fileId : fileIds) {
        if (stopWhilePreparing_) {
            // The host stopped while a dialog was open: ask nothing more.
            errors_.setError(ErrStopped);
            return false;
        }
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
            if (!headerFolder_.empty() && !createHeaderFile(item, headerFolder_, errors_, headerScope_)) {
                // Undo what this run prepared so far.
                for (std::size_t j = 0; j <= i; ++j) {
                    DeleteFileW(toLongPath(items[j]->dataPath).c_str());
                }
                deleteHeaderFiles(headerFolder_, headerScope_);
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
    runEnded_ = false;
    runFailure_ = ErrNone;
    setOverallProgress(progress);
    window_.startTimer();
    runState_ = RunState::Running;
    ResetEvent(stopEvent_.get());
    startFileThreads();
    return true;
}

void DownloadEngine::startFileThreads() {
    std::vector<DownloadItem*> starts;
    // No new file starts once a stop was requested.
    if (runState_ == RunState::Running && !errors_.stopRequest()) {
        CriticalSectionLock lock(controlLock_);
        const int32_t limit = settings_.concurrentDownloadFileCount;
        for (std::size_t i = static_cast<std::size_t>(nextIndex_ + 1);
             i < files_.size() && runningCount_ < limit; ++i) {
            DownloadItem& item = *files_.at(i);
            if (item.state == DownloadStateComplete) {
                continue;
            }
            item.setFailed(false);
            item.row = static_cast<int32_t>(i);
            ++runningCount_;
            nextIndex_ = static_cast<int32_t>(i);
            starts.push_back(&item);
        }
    }
    for (DownloadItem* item : starts) {
        // Only this thread reads the item's thread handle: storing it after the work started is safe.
        std::shared_ptr<const WorkTicket> thread =
            workers_.run(std::make_unique<FileTransfer>(context_, settings_, *item));
        if (!thread) {
            errors_.setError(ErrSend);
            item->fail(ErrSend);
            window_.postFileFinished(item);
            continue;
        }
        CriticalSectionLock lock(controlLock_);
        item->thread = std::move(thread);
    }
    if (runOpen() && runningCount_ < 1) {
        endRun();
    }
}

void DownloadEngine::joinRetiredThreads() {
    for (const auto& thread : retiredThreads_) {
        workers_.wait(*thread);
    }
    retiredThreads_.clear();
}

void DownloadEngine::pruneRetiredThreads() {
    retiredThreads_.erase(std::remove_if(retiredThreads_.begin(), retiredThreads_.end(),
                                         [](const auto& thread) { return thread->ended(); }),
                          retiredThreads_.end());
}

void DownloadEngine::endRun() {
    runEnded_ = true;
    // Every file has reported its end, the last act of its work: nothing of the run stays behind.
    joinRetiredThreads();
    headerClaim_.release();
    // A stop under way stays in charge until it returns.
    if (runState_ == RunState::Running) {
        runState_ = RunState::Idle;
    }
    window_.stopTimer();
    const bool stopped = errors_.stopRequest();
    window_.postDownloadDone(!failureSeen_ && !stopped, stopped ? ErrStopped : runFailure_);
}

void DownloadEngine::settleUnreportedFiles() {
    const UINT finished = notificationMessageId(NotificationMessage::FileFinished);
    for (;;) {
        DownloadItem* unreported = nullptr;
        {
            CriticalSectionLock lock(controlLock_);
            for (const auto& item : files_.items()) {
                if (item->thread && item->thread->ended()) {
                    unreported = item.get();
                    break;
                }
            }
        }
        // A thread reports its file's end just before it ends; while such a report waits in the queue
        // it may be this thread's, and it will arrive.
        MSG queued;
        if (!unreported || PeekMessageW(&queued, window_.handle(), finished, finished, PM_NOREMOVE)) {
            return;
        }
        // The thread is gone and its report with it: what it left on disk is not vouched for.
        unreported->fail(ErrTransferStopped);
        {
            CriticalSectionLock lock(controlLock_);
            unreported->state = DownloadStateIncomplete;
        }
        onFileFinished(unreported);
    }
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
    int32_t fileId = -1;
    FileEnd end;
    bool progressMoved = false;
    {
        CriticalSectionLock lock(controlLock_);
        if (indexOfItem(item) < 0) {
            return;
        }
        // The thread posted this as its last act and ends at once; its handle is kept until it has.
        if (item->thread) {
            retiredThreads_.push_back(std::move(item->thread));
        }
        fileId = item->fileId;
        progressMoved = progress_.add(takeUncountedShare(*item));
        --runningCount_;
        end = decideFileEnd(fileEndFacts(*item, errors_.stopRequest(), item->state == DownloadStateComplete));
    }
    if (retiredThreads_.size() >= kRetiredThreadsToPrune) {
        pruneRetiredThreads();
    }
    host_.fileChanged(fileId);
    if (progressMoved) {
        host_.overallProgressChanged();
    }

    if (end.kind == FileEnd::Kind::Stopped) {
        failureSeen_ = true;
        runFailure_ = ErrStopped;
        errors_.setError(ErrStopped);
        events_.onFileDownloadComplete(fileId, false);
        // The events may have re-entered the engine; only the counters are looked at again.
        if (runOpen() && runningCount_ < 1) {
            endRun();
        }
        return;
    }
    if (end.complete()) {
        events_.onFileDownloadComplete(fileId, true);
        if (settings_.autoRemoveCompletedFiles) {
            removeCompletedFile(item);
        }
    } else {
        failureSeen_ = true;
        // The host reads this file's own code in its event, not one another file left meanwhile.
        if (end.code != ErrNone) {
            runFailure_ = end.code;
            errors_.setError(end.code);
        }
        events_.onFileDownloadComplete(fileId, false);
    }
    startFileThreads();
}
