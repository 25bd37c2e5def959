#include "downloadcontrol/engine/DownloadEngine.h"

#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/HeaderFile.h"
#include "downloadcontrol/engine/HeaderFolder.h"
#include "downloadcontrol/engine/SystemSaveDialogs.h"
#include "downloadcontrol/engine/TransferClock.h"
#include "downloadcontrol/engine/TransferPlan.h"

namespace {

// Whole seconds of a span of 100-ns ticks, as the events carry them.
int32_t wholeSeconds(int64_t ticks) {
    return static_cast<int32_t>(std::min<int64_t>(ticks / kTicksPerSecond, INT32_MAX));
}

}  // namespace

DownloadEngine::DownloadEngine(LastErrorHolder& errors, EngineEvents& events, EngineHost& host)
    : errors_(errors),
      events_(events),
      host_(host),
      files_(controlLock_),
      writer_(fileWriteLock_, errors),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      clients_(std::make_unique<ProtocolClientFactory>()),
      dialogs_(std::make_unique<SystemSaveDialogs>(host)),
      context_{errors, controlLock_, writer_, window_, stopEvent_.get(), clients_.get(), runningFiles_},
      headerFolder_(defaultHeaderFolder()),
      headerScope_(uniqueHeaderNameScope()) {}

DownloadEngine::~DownloadEngine() {
    shutdown();
}

bool DownloadEngine::create() {
    return stopEvent_.valid() && window_.create(*this);
}

void DownloadEngine::shutdown() {
    stopDownload();
    joinRetiredThreads();
    queries_.cancelAndJoin();
    window_.destroy();
}

void DownloadEngine::setClientFactory(std::unique_ptr<DownloadClientFactory> factory) {
    if (runState_ == RunState::Idle && factory) {
        clients_ = std::move(factory);
        context_.clients = clients_.get();
    }
}

void DownloadEngine::setSaveDialogs(std::unique_ptr<SaveDialogs> dialogs) {
    if (dialogs) {
        dialogs_ = std::move(dialogs);
    }
}

// ---- The file list ----

bool DownloadEngine::refuseUnlessIdle() {
    if (runState_ == RunState::Idle) {
        return false;
    }
    errors_.setError(ErrRunUnderWay);
    return true;
}

int32_t DownloadEngine::addFile(const AddFileRequest& request) {
    if (refuseUnlessIdle()) {
        return -1;
    }
    const int32_t fileId = files_.addFile(request, errors_);
    if (fileId >= 0) {
        listPrepared_ = false;
        setOverallProgress(0);
        host_.fileChanged(fileId);
    }
    return fileId;
}

bool DownloadEngine::removeFile(int32_t fileId) {
    if (refuseUnlessIdle()) {
        return false;
    }
    const std::ptrdiff_t index = files_.removeFile(fileId);
    if (index >= 0) {
        listPrepared_ = false;
        setOverallProgress(0);
        host_.fileRemoved(fileId);
    }
    return true;
}

bool DownloadEngine::clearFiles() {
    if (refuseUnlessIdle()) {
        return false;
    }
    setOverallProgress(0);
    files_.clear();
    listPrepared_ = false;
    host_.filesCleared();
    return true;
}

std::wstring DownloadEngine::fileInfo(int32_t fileId, int32_t field) {
    return files_.fileInfo(fileId, field, errors_);
}

std::wstring DownloadEngine::segmentInfo(int32_t fileId, int32_t segmentIndex, int32_t field) {
    return files_.segmentInfo(fileId, segmentIndex, field, errors_);
}

// ---- Header files ----

void DownloadEngine::setSessionTempSubfolder(const std::wstring& value) {
    sessionTempSubfolder_ = value;
    headerScope_.clear();
    const std::wstring folder = headerFolderForSubfolder(value);
    if (folder != headerFolder_) {
        headerFolder_ = folder;
        listPrepared_ = false;
    }
}

bool DownloadEngine::clearHeaderFiles() {
    if (headerFolder_.empty()) {
        return true;
    }
    if (refuseUnlessIdle()) {
        return false;
    }
    if (!claimHeaderFolder()) {
        return false;
    }
    deleteHeaderFiles(headerFolder_, headerScope_);
    headerClaim_.release();
    setOverallProgress(0);
    listPrepared_ = false;
    return true;
}

bool DownloadEngine::claimHeaderFolder() {
    if (headerFolder_.empty() || !headerScope_.empty() || headerClaim_.acquire(headerFolder_)) {
        return true;
    }
    errors_.setError(ErrRunUnderWay);
    return false;
}

// ---- Progress ----

double DownloadEngine::overallProgress() {
    CriticalSectionLock lock(controlLock_);
    return progress_.fraction();
}

void DownloadEngine::setOverallProgress(double progress) {
    {
        CriticalSectionLock lock(controlLock_);
        progress_.set(progress);
    }
    host_.overallProgressChanged();
}

double DownloadEngine::takeUncountedShare(DownloadItem& item) {
    if (item.size <= 0 || item.downloaded <= item.countedBytes) {
        return 0;
    }
    const double share = static_cast<double>(item.downloaded - item.countedBytes) /
                         static_cast<double>(item.size) * item.weight;
    item.countedBytes = item.downloaded;
    return share;
}

// ---- Size queries ----

void DownloadEngine::querySizeAndTime(const std::wstring& url, const std::wstring& referer,
                                      const std::wstring& userName, const std::wstring& password,
                                      int32_t options) {
    auto item = std::make_unique<DownloadItem>();
    if (!item->setUrl(url, options == 1)) {
        errors_.setError(ErrUrlParse);
        events_.onGetFileSizeLastModified(url, decimalText(-2), std::wstring());
        return;
    }
    item->referer = referer;
    item->userName = userName;
    item->password = password;
    item->proxy = proxies_.forProtocol(item->protocol);
    auto query = std::make_unique<SizeQuery>(std::move(item), url, settings_, proxies_, errors_, window_,
                                             queries_.cancelEvent(), *clients_);
    if (!queries_.start(std::move(query))) {
        errors_.setError(ErrConnect);
        auto result = std::make_unique<SizeQueryResult>();
        result->url = url;
        result->size = -2;
        window_.postSizeQueryDone(std::move(result));
    }
}

// ---- The notification window's messages ----

void DownloadEngine::beginMessage() {
    host_.holdControl();
    // A message handled while a report's segment event is still out (its sink pumps messages or stops
    // the run) comes after the report's file progress, as it would have in a message of its own.
    deliverPendingProgress();
}

void DownloadEngine::endMessage() {
    host_.releaseControl();
}

void DownloadEngine::onListRefresh(int32_t fileId, ListRefreshMode mode) {
    if (mode == RefreshRow || mode == RefreshRowAndOverall) {
        host_.fileChanged(fileId);
    }
    if (mode != RefreshRow) {
        refreshOverallProgress();
    }
}

void DownloadEngine::refreshOverallProgress() {
    bool moved = false;
    {
        CriticalSectionLock lock(controlLock_);
        double added = 0;
        for (DownloadItem* item : runningFiles_) {
            added += takeUncountedShare(*item) - item->precountedShare;
            item->precountedShare = 0;
        }
        moved = progress_.add(added);
    }
    if (moved) {
        host_.overallProgressChanged();
    }
}

void DownloadEngine::onSizeQueryDone(const SizeQueryResult& result) {
    events_.onGetFileSizeLastModified(result.url, decimalText(result.size), result.lastModified);
}

void DownloadEngine::onFileStart(const ProgressSnapshot& snapshot, int32_t segmentCount) {
    host_.fileChanged(snapshot.fileId);
    events_.onFileDownloadStart(snapshot.fileId, decimalText(snapshot.size), segmentCount);
}

void DownloadEngine::onFileProgress(const ProgressSnapshot& snapshot) {
    events_.onFileDownloadProgress(
        snapshot.fileId, decimalText(snapshot.size), decimalText(snapshot.downloaded),
        wholeSeconds(snapshot.elapsed), decimalText(snapshot.remaining),
        snapshot.size < 0 ? -1 : wholeSeconds(snapshot.remainingTime), snapshot.rate);
}

void DownloadEngine::onSegmentProgress(const SegmentSnapshot& snapshot, int32_t segmentIndex) {
    if (snapshot.file) {
        refreshOverallProgress();
        pendingProgress_ = snapshot.file;
    }
    events_.onFileSegmentDownloadProgress(
        snapshot.fileId, segmentIndex, decimalText(snapshot.size), decimalText(snapshot.downloaded),
        decimalText(snapshot.size < 0 ? -1 : snapshot.size - snapshot.downloaded));
    deliverPendingProgress();
}

void DownloadEngine::deliverPendingProgress() {
    if (pendingProgress_) {
        const ProgressSnapshot snapshot = *pendingProgress_;
        pendingProgress_.reset();
        onFileProgress(snapshot);
    }
}

void DownloadEngine::onDownloadDone(bool result, int32_t failureCode) {
    // The host reads the run's own last failure, whatever happened since in other calls.
    if (!result && failureCode != ErrNone) {
        errors_.setError(failureCode);
    }
    events_.onDownloadComplete(result);
}

void DownloadEngine::onTimer() {
    settleUnreportedFiles();
    const ULONGLONG tick = GetTickCount64();
    const int64_t now = currentTimeTicks();
    struct Report {
        int32_t fileId;
        std::unique_ptr<ProgressSnapshot> snapshot;
    };
    std::vector<Report> reports;
    {
        // The header writes stay under the control lock: a file thread takes its header away (to close
        // it) only under that lock, and only after the file left the running list.
        CriticalSectionLock lock(controlLock_);
        for (DownloadItem* item : runningFiles_) {
            if (tick - item->startedTick <= 999) {
                continue;
            }
            item->elapsed = std::max<int64_t>(now - fileTimeTicks(item->startedTime), 0);
            if (item->elapsed >= kTicksPerSecond) {
                item->rate = transferRate(item->downloaded, item->elapsed);
            }
            item->remainingTime = remainingTimeTicks(item->remaining, item->downloaded, item->elapsed);
            item->startedTick = tick;
            item->downloadedAtLastReport = item->downloaded;
            HeaderUpdate fields;
            fields.add(*item, HeaderElapsed);
            fields.add(*item, HeaderRemainingTime);
            fields.add(*item, HeaderRate);
            fields.writeTo(item->headerFile.get(), writer_);
            reports.push_back(Report{item->fileId, std::make_unique<ProgressSnapshot>(snapshotOf(*item))});
        }
    }
    for (Report& report : reports) {
        host_.fileChanged(report.fileId);
        window_.postFileProgress(std::move(report.snapshot));
    }
}
