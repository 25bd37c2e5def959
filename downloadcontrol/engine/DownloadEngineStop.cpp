// DownloadEngine: stopping a run and resuming files.
#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/HeaderFolder.h"

void DownloadEngine::stopDownload() {
    if (runState_ == RunState::Preparing) {
        // Download or ResumeDownload waits for a dialog or an event handler further up this thread's
        // stack; it gives up as soon as that returns.
        stopWhilePreparing_ = true;
        errors_.setError(ErrStopped);
        return;
    }
    if (runState_ != RunState::Running) {
        // Idle, or a stop already under way further up this thread's stack, which finishes the run.
        return;
    }
    // Until this returns, the events it delivers cannot start a run or change the list: a run started
    // from them would wait for this thread, which waits for it.
    runState_ = RunState::Stopping;
    errors_.setError(ErrStopped);
    errors_.setStopRequest(true);
    // Workers waiting for the window to drain its queue wake up through the stop event.
    SetEvent(stopEvent_.get());
    for (;;) {
        std::vector<std::shared_ptr<const WorkTicket>> threads;
        {
            CriticalSectionLock lock(controlLock_);
            for (const auto& item : files_.items()) {
                if (item->thread) {
                    threads.push_back(item->thread);
                }
            }
        }
        for (const auto& thread : threads) {
            workers_.wait(*thread);
        }
        // Whatever a client reported while it noticed the stop, the host learns that the run was stopped.
        errors_.setError(ErrStopped);
        // Finishes the stopped files (their FileFinished messages) and delivers the end of the run; only
        // the control's own window is pumped, never the host's other messages. A report whose segment
        // event made this stop still tells its file's progress first.
        deliverPendingProgress();
        const bool dispatched = window_.dispatchPending();
        settleUnreportedFiles();
        bool busy = false;
        {
            CriticalSectionLock lock(controlLock_);
            busy = runningCount_ > 0;
            for (const auto& item : files_.items()) {
                busy = busy || item->thread != nullptr;
            }
        }
        if (!busy || (threads.empty() && !dispatched)) {
            break;
        }
    }
    if (!runEnded_) {
        // Nothing runs any more, yet no file ended the run: the stop came from inside the last file's
        // event (whose finish goes on only after this returns), or a file's end could not be reported.
        // The host learns the end here, as from any other stop.
        endRun();
    }
    // The end of the run, delivered before the stop returns, so that it cannot reach a later run.
    window_.dispatchPending();
    joinRetiredThreads();
    headerClaim_.release();
    runState_ = RunState::Idle;
    errors_.setError(ErrStopped);
}

bool DownloadEngine::rebuildFromHeaders() {
    if (!headerScope_.empty()) {
        // What controls of ended processes left in the default folder is resumed by the control that
        // asks first.
        takeOverHeaderFiles(headerFolder_, headerScope_);
    }
    const std::vector<std::wstring> paths = findHeaderFiles(headerFolder_, headerScope_);
    if (paths.empty()) {
        errors_.setError(ErrNothingToResume);
        return false;
    }
    std::vector<std::unique_ptr<DownloadItem>> collected;
    for (const std::wstring& path : paths) {
        std::wstring url;
        std::unique_ptr<DownloadItem> item = readHeaderFile(path, errors_, &url);
        if (!item) {
            events_.onFileDownloadResume(url, -1, path);
            continue;
        }
        collected.push_back(std::move(item));
    }
    if (collected.empty()) {
        errors_.setError(ErrNothingToResume);
        return false;
    }
    std::stable_sort(collected.begin(), collected.end(),
                     [](const auto& a, const auto& b) { return a->fileId < b->fileId; });
    setOverallProgress(0);
    files_.clear();
    host_.filesCleared();

    for (std::unique_ptr<DownloadItem>& item : collected) {
        if (item->state == DownloadStateTransferring) {
            item->state = DownloadStateIncomplete;
        }
        item->proxy = proxies_.forProtocol(item->protocol);
        const bool dataFileGone =
            GetFileAttributesW(toLongPath(item->dataPath).c_str()) == INVALID_FILE_ATTRIBUTES;
        if (item->state != DownloadStateComplete && dataFileGone) {
            // Nothing of it is left on disk: it starts again from nothing.
            item->setUrl(item->url, item->implicitTls);
            item->state = DownloadStateNew;
            item->validator.clear();
            item->downloaded = 0;
            item->remaining = item->size;
            item->segments.clear();
            item->rate = 0;
            createHeaderFile(*item, headerFolder_, errors_, headerScope_);
        }
        const std::wstring url = item->url;
        const int32_t fileId = item->fileId;
        const std::wstring headerPath = item->headerPath;
        {
            CriticalSectionLock lock(controlLock_);
            item = files_.append(std::move(item), errors_);
        }
        if (!item) {
            host_.fileChanged(fileId);
        }
        events_.onFileDownloadResume(url, fileId, headerPath);
        item.reset();
    }
    listPrepared_ = true;
    return true;
}

bool DownloadEngine::resumeDownload() {
    if (refuseUnlessIdle()) {
        return false;
    }
    if (!claimHeaderFolder()) {
        return false;
    }
    bool rebuild = false;
    {
        CriticalSectionLock lock(controlLock_);
        rebuild = !listPrepared_ || files_.empty();
    }
    if (rebuild) {
        if (headerFolder_.empty()) {
            return true;
        }
        // The resume events let the host call in while the list is rebuilt.
        runState_ = RunState::Preparing;
        stopWhilePreparing_ = false;
        const bool rebuilt = rebuildFromHeaders();
        runState_ = RunState::Idle;
        if (!rebuilt || stopWhilePreparing_) {
            if (rebuilt) {
                errors_.setError(ErrStopped);
            }
            headerClaim_.release();
            return false;
        }
    }
    if (!isWinSockStarted()) {
        headerClaim_.release();
        errors_.setError(ErrSocketsNotStarted);
        return false;
    }
    double progress = 0;
    {
        CriticalSectionLock lock(controlLock_);
        for (const auto& item : files_.items()) {
            if (item->size > 0) {
                progress +=
                    static_cast<double>(item->downloaded) / static_cast<double>(item->size) * item->weight;
                item->countedBytes = item->downloaded;
            }
        }
    }
    return beginRun(progress);
}
