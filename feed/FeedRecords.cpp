#include "feed/FeedRecords.h"

ParsePageParams::ParsePageParams(int32_t generation, HWND mainWindow, const std::wstring& pagePath,
                                 const std::wstring& userName, const std::wstring& pageSuffix)
    : generation(generation),
      mainWindow(mainWindow),
      thread(nullptr),
      pagePath(pagePath),
      userName(userName),
      pageSuffix(pageSuffix),
      repeatCount(0),
      repeatPauseMs(kFeedPageRepeatPauseMs) {}

MessageInfo::MessageInfo(int32_t generation, int32_t code, const std::wstring& text)
    : generation(generation), code(code), text(text) {}

PhotoMessageInfo::PhotoMessageInfo(int32_t generation, const std::wstring& lowResolutionUrl,
                                   const std::wstring& standardResolutionUrl, const std::wstring& videoUrl,
                                   const std::wstring& dateText, const std::wstring& captionText,
                                   const std::wstring& link, const std::wstring& id)
    : generation(generation),
      lowResolutionUrl(lowResolutionUrl),
      standardResolutionUrl(standardResolutionUrl),
      videoUrl(videoUrl),
      dateText(dateText),
      captionText(captionText),
      link(link),
      id(id) {}

FeedPhotosMessageInfo::FeedPhotosMessageInfo(int32_t generation,
                                             std::vector<std::unique_ptr<PhotoMessageInfo>> photos)
    : generation(generation), photos(std::move(photos)) {}
