#include "downloadcontrol/engine/NotificationWindow.h"

#include <array>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

constexpr auto kListRefreshName = scrambleText(L"PxhlNotify.ListRefresh");
constexpr auto kFileFinishedName = scrambleText(L"PxhlNotify.FileFinished");
constexpr auto kSizeQueryDoneName = scrambleText(L"PxhlNotify.SizeQueryDone");
constexpr auto kFileStartName = scrambleText(L"PxhlNotify.FileStart");
constexpr auto kFileProgressName = scrambleText(L"PxhlNotify.FileProgress");
constexpr auto kSegmentProgressName = scrambleText(L"PxhlNotify.SegmentProgress");
constexpr auto kDownloadDoneName = scrambleText(L"PxhlNotify.DownloadDone");
constexpr auto kWindowClass = scrambleText(L"STATIC");

constexpr UINT_PTR kProgressTimerId = 0;
constexpr UINT kProgressTimerPeriodMs = 1000;

// Registered in this order, once per process.
const std::array<UINT, kNotificationMessageCount>& registeredMessages() {
    static const std::array<UINT, kNotificationMessageCount> ids = [] {
        const wchar_t* const names[kNotificationMessageCount] = {
            kListRefreshName.chars,  kFileFinishedName.chars, kSizeQueryDoneName.chars,
            kFileStartName.chars,    kFileProgressName.chars, kSegmentProgressName.chars,
            kDownloadDoneName.chars,
        };
        std::array<UINT, kNotificationMessageCount> result{};
        for (int i = 0; i < kNotificationMessageCount; ++i) {
            result[static_cast<std::size_t>(i)] = RegisterWindowMessageW(UnscrambleString(names[i]).c_str());
        }
        return result;
    }();
    return ids;
}

// The system class's own window procedure, saved by the first window subclassed in the process.
WNDPROC previousProcedure = nullptr;

// Which of our messages `message` is; -1 for any other.
int notificationIndex(UINT message) {
    const auto& ids = registeredMessages();
    for (int i = 0; i < kNotificationMessageCount; ++i) {
        if (ids[static_cast<std::size_t>(i)] != 0 && ids[static_cast<std::size_t>(i)] == message) {
            return i;
        }
    }
    return -1;
}

}  // namespace

UINT notificationMessageId(NotificationMessage message) {
    return registeredMessages()[static_cast<std::size_t>(message)];
}

NotificationWindow::~NotificationWindow() {
    destroy();
}

bool NotificationWindow::create(NotificationHandler& handler) {
    if (window_) {
        return true;
    }
    registeredMessages();
    handler_ = &handler;
    window_ = CreateWindowExW(0, UnscrambleString(kWindowClass.chars).c_str(), L"", 0, 0, 0, 10, 10, nullptr,
                              nullptr, moduleInstance(), nullptr);
    if (!window_) {
        return false;
    }
    queueEmpty_.reset(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    if (!queueEmpty_.valid()) {
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    LONG_PTR previous =
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
    if (!previousProcedure) {
        previousProcedure = reinterpret_cast<WNDPROC>(previous);
    }
    return true;
}

void NotificationWindow::destroy() {
    if (!window_) {
        return;
    }
    KillTimer(window_, kProgressTimerId);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    // Nobody posts any more: free what is still queued without handling it.
    MSG message;
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
        freeRecord(message.message, message.wParam);
    }
    queued_ = 0;
    DestroyWindow(window_);
    window_ = nullptr;
    handler_ = nullptr;
}

bool NotificationWindow::post(NotificationMessage message, WPARAM wParam, LPARAM lParam) {
    if (!window_) {
        return false;
    }
    InterlockedIncrement(&queued_);
    if (!PostMessageW(window_, notificationMessageId(message), wParam, lParam)) {
        InterlockedDecrement(&queued_);
        return false;
    }
    return true;
}

bool NotificationWindow::postListRefresh(int32_t fileId, ListRefreshMode mode) {
    return post(NotificationMessage::ListRefresh, static_cast<WPARAM>(static_cast<intptr_t>(fileId)), mode);
}

bool NotificationWindow::postFileFinished(DownloadItem* item) {
    return post(NotificationMessage::FileFinished, reinterpret_cast<WPARAM>(item), 0);
}

bool NotificationWindow::postSizeQueryDone(std::unique_ptr<SizeQueryResult> result) {
    if (!post(NotificationMessage::SizeQueryDone, reinterpret_cast<WPARAM>(result.get()), 0)) {
        return false;
    }
    result.release();
    return true;
}

bool NotificationWindow::postFileStart(std::unique_ptr<ProgressSnapshot> snapshot, int32_t segmentCount) {
    if (!post(NotificationMessage::FileStart, reinterpret_cast<WPARAM>(snapshot.get()), segmentCount)) {
        return false;
    }
    snapshot.release();
    return true;
}

bool NotificationWindow::postFileProgress(std::unique_ptr<ProgressSnapshot> snapshot) {
    if (!post(NotificationMessage::FileProgress, reinterpret_cast<WPARAM>(snapshot.get()), 0)) {
        return false;
    }
    snapshot.release();
    return true;
}

bool NotificationWindow::postSegmentProgress(std::unique_ptr<SegmentSnapshot> snapshot,
                                             int32_t segmentIndex) {
    if (!post(NotificationMessage::SegmentProgress, reinterpret_cast<WPARAM>(snapshot.get()), segmentIndex)) {
        return false;
    }
    snapshot.release();
    return true;
}

bool NotificationWindow::postDownloadDone(bool result, int32_t failureCode) {
    return post(NotificationMessage::DownloadDone, result ? 1 : 0, failureCode);
}

void NotificationWindow::beginReport() {
    // Reset before it is marked: a drain seen in between finds no mark and the worker's own messages,
    // posted after the mark, set the event again.
    ResetEvent(queueEmpty_.get());
    InterlockedExchange(&eventReset_, 1);
}

void NotificationWindow::startTimer() {
    if (window_) {
        SetTimer(window_, kProgressTimerId, kProgressTimerPeriodMs, nullptr);
    }
}

void NotificationWindow::stopTimer() {
    if (window_) {
        KillTimer(window_, kProgressTimerId);
    }
}

bool NotificationWindow::dispatchPending() {
    bool any = false;
    MSG message;
    while (window_ && PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
        any = true;
        DispatchMessageW(&message);
    }
    return any;
}

void NotificationWindow::signalWhenDrained(bool lookIntoQueue) {
    if (!window_) {
        return;
    }
    const LONG queued = InterlockedCompareExchange(&queued_, 0, 0);
    if (queued > 0) {
        // More of ours are queued, and the last of them signals. But a message of ours may have left
        // the queue without reaching this window (a hook or another loop took it): once a second the
        // queue itself tells. The count is cleared only when no post came meanwhile.
        MSG message;
        if (!lookIntoQueue || PeekMessageW(&message, window_, 0, 0, PM_NOREMOVE) ||
            InterlockedCompareExchange(&queued_, 0, queued) != queued) {
            return;
        }
    }
    // Only a reset event needs setting: each call is a round trip to the system under some hosts.
    if (InterlockedExchange(&eventReset_, 0) != 0) {
        SetEvent(queueEmpty_.get());
    }
}

void NotificationWindow::freeRecord(UINT message, WPARAM wParam) {
    switch (notificationIndex(message)) {
    case static_cast<int>(NotificationMessage::SizeQueryDone):
        delete reinterpret_cast<SizeQueryResult*>(wParam);
        break;
    case static_cast<int>(NotificationMessage::FileStart):
    case static_cast<int>(NotificationMessage::FileProgress):
        delete reinterpret_cast<ProgressSnapshot*>(wParam);
        break;
    case static_cast<int>(NotificationMessage::SegmentProgress):
        delete reinterpret_cast<SegmentSnapshot*>(wParam);
        break;
    default:
        break;
    }
}

bool NotificationWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    NotificationHandler& handler = *handler_;
    switch (notificationIndex(message)) {
    case static_cast<int>(NotificationMessage::ListRefresh):
        handler.onListRefresh(static_cast<int32_t>(static_cast<intptr_t>(wParam)),
                              static_cast<ListRefreshMode>(lParam));
        return true;
    case static_cast<int>(NotificationMessage::FileFinished):
        handler.onFileFinished(reinterpret_cast<DownloadItem*>(wParam));
        return true;
    case static_cast<int>(NotificationMessage::SizeQueryDone): {
        std::unique_ptr<SizeQueryResult> result(reinterpret_cast<SizeQueryResult*>(wParam));
        handler.onSizeQueryDone(*result);
        return true;
    }
    case static_cast<int>(NotificationMessage::FileStart): {
        std::unique_ptr<ProgressSnapshot> snapshot(reinterpret_cast<ProgressSnapshot*>(wParam));
        handler.onFileStart(*snapshot, static_cast<int32_t>(lParam));
        return true;
    }
    case static_cast<int>(NotificationMessage::FileProgress): {
        std::unique_ptr<ProgressSnapshot> snapshot(reinterpret_cast<ProgressSnapshot*>(wParam));
        handler.onFileProgress(*snapshot);
        return true;
    }
    case static_cast<int>(NotificationMessage::SegmentProgress): {
        std::unique_ptr<SegmentSnapshot> snapshot(reinterpret_cast<SegmentSnapshot*>(wParam));
        handler.onSegmentProgress(*snapshot, static_cast<int32_t>(lParam));
        return true;
    }
    case static_cast<int>(NotificationMessage::DownloadDone):
        handler.onDownloadDone(wParam != 0, static_cast<int32_t>(lParam));
        return true;
    default:
        if (message == WM_TIMER) {
            handler.onTimer();
            return true;
        }
        return false;
    }
}

LRESULT CALLBACK NotificationWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
    auto* self = reinterpret_cast<NotificationWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->handler_ && (message == WM_TIMER || notificationIndex(message) >= 0)) {
        // The handler may fire events whose sinks release the control; endMessage is the last touch.
        NotificationHandler* handler = self->handler_;
        handler->beginMessage();
        if (message != WM_TIMER) {
            InterlockedDecrement(&self->queued_);
        }
        self->handle(message, wParam, lParam);
        self->signalWhenDrained(message == WM_TIMER);
        handler->endMessage();
        return 0;
    }
    if (!self && notificationIndex(message) >= 0) {
        freeRecord(message, wParam);
        return 0;
    }
    return previousProcedure ? CallWindowProcW(previousProcedure, window, message, wParam, lParam)
                             : DefWindowProcW(window, message, wParam, lParam);
}
