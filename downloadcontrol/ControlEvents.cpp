#include "downloadcontrol/ControlEvents.h"

#include "PxhlLibrary.h"

#include "downloadcontrol/activex/EventArguments.h"

using activex::EventArguments;

void ControlEvents::onGetFileSizeLastModified(const std::wstring& url, const std::wstring& fileSize,
                                              const std::wstring& lastModified) {
    EventArguments arguments;
    arguments.addText(url).addText(fileSize).addText(lastModified);
    control_.fireEvent(OnGetFileSizeLastModifiedId, arguments);
}

void ControlEvents::onDownloadComplete(bool result) {
    EventArguments arguments;
    arguments.addBool(result);
    control_.fireEvent(OnDownloadCompleteId, arguments);
}

void ControlEvents::onFileDownloadComplete(int32_t fileId, bool result) {
    EventArguments arguments;
    arguments.addLong(fileId).addBool(result);
    control_.fireEvent(OnFileDownloadCompleteId, arguments);
}

void ControlEvents::onFileDownloadProgress(int32_t fileId, const std::wstring& fileSize,
                                           const std::wstring& downloadedSize, int32_t downloadedTime,
                                           const std::wstring& remainSize, int32_t remainTime, double rate) {
    EventArguments arguments;
    arguments.addLong(fileId)
        .addText(fileSize)
        .addText(downloadedSize)
        .addLong(downloadedTime)
        .addText(remainSize)
        .addLong(remainTime)
        .addDouble(rate);
    control_.fireEvent(OnFileDownloadProgressId, arguments);
}

void ControlEvents::onFileSegmentDownloadProgress(int32_t fileId, int32_t segmentIndex,
                                                  const std::wstring& segmentSize,
                                                  const std::wstring& segmentDownloadedSize,
                                                  const std::wstring& segmentRemainSize) {
    EventArguments arguments;
    arguments.addLong(fileId)
        .addLong(segmentIndex)
        .addText(segmentSize)
        .addText(segmentDownloadedSize)
        .addText(segmentRemainSize);
    control_.fireEvent(OnFileSegmentDownloadProgressId, arguments);
}

void ControlEvents::onFileDownloadStart(int32_t fileId, const std::wstring& fileSize, int32_t segmentCount) {
    EventArguments arguments;
    arguments.addLong(fileId).addText(fileSize).addLong(segmentCount);
    control_.fireEvent(OnFileDownloadStartId, arguments);
}

void ControlEvents::onFileDownloadResume(const std::wstring& url, int32_t fileId,
                                         const std::wstring& tempDownloadFile) {
    EventArguments arguments;
    arguments.addText(url).addLong(fileId).addText(tempDownloadFile);
    control_.fireEvent(OnFileDownloadResumeId, arguments);
}
