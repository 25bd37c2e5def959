#pragma once
// The machinery behind the download control's queue and runs: the file list, the run state, the file
// and segment threads, the notification window with its progress timer, stopping and resuming, and the
// size queries. The control object owns one engine, forwards its IDownloadX members to it and turns
// EngineEvents into its COM events.
//
// Every member is called on the thread that created the engine (the control's thread), which must pump
// messages: the engine's events and the end of each file arrive through its notification window.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/ScopedHandle.h"
#include "downloadcontrol/engine/ClientFactory.h"
#include "downloadcontrol/engine/EngineEvents.h"
#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/FileList.h"
#include "downloadcontrol/engine/HeaderFolder.h"
#include "downloadcontrol/engine/NotificationWindow.h"
#include "downloadcontrol/engine/OverallProgress.h"
#include "downloadcontrol/engine/PositionedWriter.h"
#include "downloadcontrol/engine/SaveDialogs.h"
#include "downloadcontrol/engine/SizeQuery.h"
#include "downloadcontrol/engine/TransferContext.h"
#include "downloadcontrol/engine/WorkerThread.h"
#include "downloadcontrol/net/ProxyTable.h"

class DownloadEngine final : private NotificationHandler {
public:
    DownloadEngine(LastErrorHolder& errors, EngineEvents& events, EngineHost& host);
    ~DownloadEngine() override;
    DownloadEngine(const DownloadEngine&) = delete;
    DownloadEngine& operator=(const DownloadEngine&) = delete;

    // Creates the notification window and the events on the calling thread. False when they cannot be
    // made; the engine then cannot run.
    bool create();
    // Stops a run and waits for it, cancels and joins the size queries, and frees every record still
    // queued. The control calls it when it is released; the destructor calls it too.
    void shutdown();

    // ---- Settings and parts ----
    EngineSettings& settings() { return settings_; }
    // The proxies by protocol id (SetProxy, GetProxy); each file takes a copy when a run starts.
    ProxyTable& proxies() { return proxies_; }
    void setClientFactory(std::unique_ptr<DownloadClientFactory> factory);
    void setSaveDialogs(std::unique_ptr<SaveDialogs> dialogs);

    // ---- The file list (AddFile, RemoveFile, ClearFiles, GetFileInfo, GetFileSegmentInfo) ----
    CriticalSection& controlLock() { return controlLock_; }
    FileList& files() { return files_; }
    // The new file id, or -1 with error 20 (a run is under way), 12 or 31.
    int32_t addFile(const AddFileRequest& request);
    // False with error 20 while a run is under way; true otherwise, also for an unknown id.
    bool removeFile(int32_t fileId);
    bool clearFiles();
    std::wstring fileInfo(int32_t fileId, int32_t field);
    std::wstring segmentInfo(int32_t fileId, int32_t segmentIndex, int32_t field);

    // ---- Temporary header files (DownloadSessionTempSubfolder) ----
    const std::wstring& sessionTempSubfolder() const { return sessionTempSubfolder_; }
    void setSessionTempSubfolder(const std::wstring& value);
    const std::wstring& headerFolder() const { return headerFolder_; }
    // ClearDownloadSessionTempSubfolder: false with error 20 while a run is under way.
    bool clearHeaderFiles();

    // ---- Runs ----
    // Where the control is with its run. Only Idle lets the host change the list or start a run:
    // Preparing covers Download's and ResumeDownload's work before the first thread starts (its
    // dialogs and events pump messages, so the host may call in), Stopping the whole of a stop (which
    // reports the stopped files and the run's end from inside).
    enum class RunState { Idle, Preparing, Running, Stopping };
    RunState runState() const { return runState_; }
    // True while threads of a run may work (running or stopping).
    bool running() const { return runState_ == RunState::Running || runState_ == RunState::Stopping; }
    // Download: false with error 20, 11, 1, 2, 3 or 4.
    bool download();
    // StopDownload: returns once every thread of the run has ended and every stopped file was reported.
    void stopDownload();
    // ResumeDownload: false with error 20, 32 or 11.
    bool resumeDownload();
    // GetFileSizeLastModified: the answer comes as onGetFileSizeLastModified.
    void querySizeAndTime(const std::wstring& url, const std::wstring& referer, const std::wstring& userName,
                          const std::wstring& password, int32_t options);
    // Size queries whose threads still run.
    std::size_t runningSizeQueries() { return queries_.runningCount(); }

    // The overall progress of the run, 0..1.
    double overallProgress();
    // The same with the bar position that shows it (the control's thread reads it; only it changes it).
    const OverallProgress& overallProgressBar() const { return progress_; }
    HWND notificationWindow() const { return window_.handle(); }

private:
    // NotificationHandler
    void onListRefresh(int32_t fileId, ListRefreshMode mode) override;
    void onFileFinished(DownloadItem* item) override;
    void onSizeQueryDone(const SizeQueryResult& result) override;
    void onFileStart(const ProgressSnapshot& snapshot, int32_t segmentCount) override;
    void onFileProgress(const ProgressSnapshot& snapshot) override;
    void onSegmentProgress(const SegmentSnapshot& snapshot, int32_t segmentIndex) override;
    void onDownloadDone(bool result, int32_t failureCode) override;
    void onTimer() override;
    void beginMessage() override;
    void endMessage() override;
    // Adds what the running files received since the last time to the overall progress.
    void refreshOverallProgress();
    // The share of the overall progress that the file's bytes since the last count bring (the control
    // lock held); they count from now on.
    static double takeUncountedShare(DownloadItem& item);
    // Fires the file progress of a report whose segment event is out, if it has not gone yet.
    void deliverPendingProgress();

    // Download's steps: save paths, header folder, weights and per-file preparation.
    bool settleSavePaths();
    bool prepareFiles();
    // The common end of Download and ResumeDownload: the run starts with `progress` done.
    bool beginRun(double progress);
    // True, with error 20, unless the control is idle.
    bool refuseUnlessIdle();
    // Download's work before the run starts: save paths, header folder, files. False when it failed,
    // or when a stop came meanwhile (error 33).
    bool prepareDownload();
    // True while the run has not posted its end yet.
    bool runOpen() const {
        return (runState_ == RunState::Running || runState_ == RunState::Stopping) && !runEnded_;
    }
    // Starts file threads up to the concurrency limit; ends the run when none is left.
    void startFileThreads();
    void endRun();
    // Settles the files whose threads ended without their end being reported (the report could not
    // be posted, or never arrived): each is finished as a failed file.
    void settleUnreportedFiles();
    // Waits for the file threads that have finished their files (they end at once) and closes them.
    void joinRetiredThreads();
    // Closes the handles of retired threads that have ended.
    void pruneRetiredThreads();
    // The item's list index (the control lock held), -1 when it is not listed any more.
    std::ptrdiff_t indexOfItem(const DownloadItem* item);
    void removeCompletedFile(DownloadItem* item);
    // The list rebuilt from the header files of the header folder; false with error 32.
    bool rebuildFromHeaders();
    // Holds a named header folder for a run; false with error 20 when another control's run holds it.
    bool claimHeaderFolder();
    void setOverallProgress(double progress);

    LastErrorHolder& errors_;
    EngineEvents& events_;
    EngineHost& host_;
    EngineSettings settings_;
    ProxyTable proxies_;

    CriticalSection controlLock_;    // the list, the running list and counters, item figures, progress
    CriticalSection fileWriteLock_;  // every positioned write (taken after the control lock, never before)
    FileList files_;
    PositionedWriter writer_;
    NotificationWindow window_;
    ScopedHandle stopEvent_;
    std::unique_ptr<DownloadClientFactory> clients_;
    std::unique_ptr<SaveDialogs> dialogs_;
    std::vector<DownloadItem*> runningFiles_;  // files whose threads transfer now
    // The works of files that are finished, until they have ended.
    std::vector<std::shared_ptr<const WorkTicket>> retiredThreads_;
    TransferContext context_;
    SizeQueries queries_;
    WorkerPool workers_;  // the file threads; an item's thread is its work's ticket

    std::wstring sessionTempSubfolder_;
    std::wstring headerFolder_;
    // The default folder's header names are this control's own, until its process ends and another
    // control resumes them; a folder the host names has the plain names, which another control can
    // resume from, and is held by each run in it.
    std::wstring headerScope_;
    HeaderFolderClaim headerClaim_;
    int32_t runningCount_ = 0;
    int32_t nextIndex_ = -1;
    RunState runState_ = RunState::Idle;
    bool runEnded_ = false;  // the run's end was posted (a stop may still be under way)
    bool stopWhilePreparing_ = false;
    int32_t runFailure_ = ErrNone;  // the code of the run's last failed file
    bool failureSeen_ = false;
    bool listPrepared_ = false;
    OverallProgress progress_;                         // set outside a run, only added to during one
    std::optional<ProgressSnapshot> pendingProgress_;  // see onSegmentProgress
};
