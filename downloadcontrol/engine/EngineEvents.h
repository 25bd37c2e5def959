#pragma once
// What the download engine tells the control that owns it.
//
// EngineEvents are the control's events (_IDownloadXEvents); the control fires each one to its
// connected sinks. EngineHost is everything else the engine needs from the control: its list view,
// the owner window and activation context of the save dialogs, and its lifetime while events run.
// Every call arrives on the thread that created the engine.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>

class EngineEvents {
public:
    virtual ~EngineEvents() = default;

    // Sizes arrive as decimal text of signed 64-bit byte counts, "-1" while not known and "-2" for a
    // failed size query; times in whole seconds; the rate in kilobytes (1024 bytes) per second.
    virtual void onGetFileSizeLastModified(const std::wstring& url, const std::wstring& fileSize,
                                           const std::wstring& lastModified) = 0;
    virtual void onDownloadComplete(bool result) = 0;
    virtual void onFileDownloadComplete(int32_t fileId, bool result) = 0;
    virtual void onFileDownloadProgress(int32_t fileId, const std::wstring& fileSize,
                                        const std::wstring& downloadedSize, int32_t downloadedTime,
                                        const std::wstring& remainSize, int32_t remainTime, double rate) = 0;
    virtual void onFileSegmentDownloadProgress(int32_t fileId, int32_t segmentIndex,
                                               const std::wstring& segmentSize,
                                               const std::wstring& segmentDownloadedSize,
                                               const std::wstring& segmentRemainSize) = 0;
    virtual void onFileDownloadStart(int32_t fileId, const std::wstring& fileSize, int32_t segmentCount) = 0;
    virtual void onFileDownloadResume(const std::wstring& url, int32_t fileId,
                                      const std::wstring& tempDownloadFile) = 0;
};

class EngineHost {
public:
    virtual ~EngineHost() = default;

    // The list view: a file was added or shows new figures, a file left the list, every file went.
    virtual void fileChanged(int32_t /*fileId*/) {}
    virtual void fileRemoved(int32_t /*fileId*/) {}
    virtual void filesCleared() {}
    // The overall progress bar has a new position (DownloadEngine::overallProgressBar).
    virtual void overallProgressChanged() {}

    // The owner window of the save dialogs, and the activation context they run under (a cookie of
    // the activation, 0 when none was activated).
    virtual HWND dialogOwner() { return nullptr; }
    virtual ULONG_PTR activateDialogContext() { return 0; }
    virtual void deactivateDialogContext(ULONG_PTR /*cookie*/) {}

    // Keeps the control alive while the notification window handles a message, so that a sink that
    // releases the control from inside an event does not pull the engine away under it. The engine
    // touches nothing of itself after releaseControl.
    virtual void holdControl() {}
    virtual void releaseControl() {}
};
