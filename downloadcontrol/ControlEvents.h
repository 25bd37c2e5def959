#pragma once
// The engine's events as the control's COM events: each call becomes the matching method of
// _IDownloadXEvents, fired to every connected sink.
#include <winsock2.h>
#include <windows.h>

#include "downloadcontrol/activex/ControlBase.h"
#include "downloadcontrol/engine/EngineEvents.h"

class ControlEvents final : public EngineEvents {
public:
    explicit ControlEvents(activex::ControlBase& control) : control_(control) {}

    void onGetFileSizeLastModified(const std::wstring& url, const std::wstring& fileSize,
                                   const std::wstring& lastModified) override;
    void onDownloadComplete(bool result) override;
    void onFileDownloadComplete(int32_t fileId, bool result) override;
    void onFileDownloadProgress(int32_t fileId, const std::wstring& fileSize,
                                const std::wstring& downloadedSize, int32_t downloadedTime,
                                const std::wstring& remainSize, int32_t remainTime, double rate) override;
    void onFileSegmentDownloadProgress(int32_t fileId, int32_t segmentIndex, const std::wstring& segmentSize,
                                       const std::wstring& segmentDownloadedSize,
                                       const std::wstring& segmentRemainSize) override;
    void onFileDownloadStart(int32_t fileId, const std::wstring& fileSize, int32_t segmentCount) override;
    void onFileDownloadResume(const std::wstring& url, int32_t fileId,
                              const std::wstring& tempDownloadFile) override;

private:
    activex::ControlBase& control_;
};
