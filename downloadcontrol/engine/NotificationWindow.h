#pragma once
// The hidden window through which the engine's worker threads report to the thread that created the
// control. Workers post one of seven registered messages, most carrying a heap record; the window
// procedure runs on the creating thread, hands each record to the handler and frees it afterwards.
// The same window carries the one-second progress timer.
//
// After each message the window procedure signals the queue-empty event when no further message for
// the window is waiting. A worker resets the event before it posts and waits for it (or for the stop
// event) afterwards, so workers never run ahead of what the host has been told.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>

#include "downloadcontrol/ScopedHandle.h"
#include "downloadcontrol/engine/ProgressRecords.h"

class DownloadItem;

// The seven messages, registered once per process and shared by every control in it.
enum class NotificationMessage : int {
    ListRefresh = 0,      // wParam: file id; lParam: ListRefreshMode
    FileFinished = 1,     // wParam: the DownloadItem
    SizeQueryDone = 2,    // wParam: heap SizeQueryResult
    FileStart = 3,        // wParam: heap ProgressSnapshot; lParam: number of segments
    FileProgress = 4,     // wParam: heap ProgressSnapshot
    SegmentProgress = 5,  // wParam: heap SegmentSnapshot; lParam: segment index
    DownloadDone = 6,     // wParam: 1 when no file failed and the run was not stopped; lParam: the
                          // code of the run's last failure
};
constexpr int kNotificationMessageCount = 7;

enum ListRefreshMode : int32_t {
    RefreshRow = 0,            // the file's row
    RefreshRowAndOverall = 1,  // the file's row and the overall progress
    RefreshOverall = 2,        // the overall progress only
};

// The message id of a notification message in this process.
UINT notificationMessageId(NotificationMessage message);

// Receives the window's messages on the creating thread. Records are lent for the call only.
class NotificationHandler {
public:
    virtual ~NotificationHandler() = default;
    virtual void onListRefresh(int32_t fileId, ListRefreshMode mode) = 0;
    virtual void onFileFinished(DownloadItem* item) = 0;
    virtual void onSizeQueryDone(const SizeQueryResult& result) = 0;
    virtual void onFileStart(const ProgressSnapshot& snapshot, int32_t segmentCount) = 0;
    virtual void onFileProgress(const ProgressSnapshot& snapshot) = 0;
    virtual void onSegmentProgress(const SegmentSnapshot& snapshot, int32_t segmentIndex) = 0;
    virtual void onDownloadDone(bool result, int32_t failureCode) = 0;
    virtual void onTimer() = 0;
    // Around the handling of each message (the control stays alive in between).
    virtual void beginMessage() {}
    virtual void endMessage() {}
};

class NotificationWindow {
public:
    NotificationWindow() = default;
    ~NotificationWindow();
    NotificationWindow(const NotificationWindow&) = delete;
    NotificationWindow& operator=(const NotificationWindow&) = delete;

    // Creates the window and the queue-empty event on the calling thread. False when either fails.
    bool create(NotificationHandler& handler);
    // Destroys the window; records still waiting in its queue are freed unhandled.
    void destroy();
    HWND handle() const { return window_; }

    // ---- Any thread ----
    // Each post frees its record when the message cannot be posted; false then.
    bool postListRefresh(int32_t fileId, ListRefreshMode mode);
    bool postFileFinished(DownloadItem* item);
    bool postSizeQueryDone(std::unique_ptr<SizeQueryResult> result);
    bool postFileStart(std::unique_ptr<ProgressSnapshot> snapshot, int32_t segmentCount);
    bool postFileProgress(std::unique_ptr<ProgressSnapshot> snapshot);
    bool postSegmentProgress(std::unique_ptr<SegmentSnapshot> snapshot, int32_t segmentIndex);
    bool postDownloadDone(bool result, int32_t failureCode = 0);

    // A worker calls this before posting a report; queueEmptyEvent is set again once the window has
    // drained its queue.
    void beginReport();
    HANDLE queueEmptyEvent() const { return queueEmpty_.get(); }

    // ---- The creating thread ----
    void startTimer();
    void stopTimer();
    // Dispatches the messages waiting for this window only (never the host's other messages); true
    // when any was dispatched.
    bool dispatchPending();

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // True when the message was one of ours; the record (if any) is freed either way.
    bool handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Frees the record that a notification message carries.
    static void freeRecord(UINT message, WPARAM wParam);
    bool post(NotificationMessage message, WPARAM wParam, LPARAM lParam);
    // Sets the queue-empty event when none of our messages waits any more; `lookIntoQueue` also finds
    // a count left behind by a message that never reached the window.
    void signalWhenDrained(bool lookIntoQueue);

    HWND window_ = nullptr;
    NotificationHandler* handler_ = nullptr;
    ScopedHandle queueEmpty_;
    // Our messages posted and not yet handled: the queue is drained when it is 0. Counting spares the
    // look into the queue after the last message of a burst, which costs a call to the window system.
    volatile LONG queued_ = 0;
    // 1 while the queue-empty event may be reset (a worker reset it since it was last set).
    volatile LONG eventReset_ = 0;
};
