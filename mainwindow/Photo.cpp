#include "mainwindow/Photo.h"

#include <objbase.h>

#include <utility>

#include "common/TextFunctions.h"
#include "gui/TPxhl.h"
#include "gui/Timer.h"

Photo::Photo(std::wstring lowResolutionUrl, std::wstring standardResolutionUrl, std::wstring videoUrl,
             std::wstring dateText, std::wstring caption, std::wstring link, std::wstring id, int index,
             DownloaderReleaseHook releaseHook)
    : lowResolutionUrl(std::move(lowResolutionUrl)),
      standardResolutionUrl(std::move(standardResolutionUrl)),
      videoUrl(std::move(videoUrl)),
      dateText(std::move(dateText)),
      caption(std::move(caption)),
      link(std::move(link)),
      id(std::move(id)),
      index(index),
      releaseHook(releaseHook) {}

Photo::~Photo() {
    // The timer goes first so that no retry can start on a control that is already given back.
    deleteFullSizeRetryTimer();
    releaseFullSizeDownloader();
}

void Photo::deleteFullSizeRetryTimer() {
    if (fullSizeRetryTimer) {
        fullSizeRetryTimer->SetEnabled(false);
        fullSizeRetryTimer.reset();
    }
}

void Photo::releaseFullSizeDownloader() {
    gui::TPxhl* downloader = fullSizeDownloader;
    fullSizeDownloader = nullptr;
    if (downloader && releaseHook)
        releaseHook(downloader);
}

void clearPhotos(std::vector<Photo*>& photos) {
    // Taken out of the list first, so that nothing reached from a destructor sees a freed record.
    std::vector<Photo*> records;
    records.swap(photos);
    for (Photo* photo : records)
        delete photo;
}

std::wstring makeGuidFileName() {
    GUID guid;
    wchar_t text[40] = {};
    // Without a GUID (it never fails in practice) a zero name would repeat: better none at all.
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text, 40) != 39)
        return std::wstring();
    std::wstring name;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c != L'{' && *c != L'}' && *c != L'-')
            name += *c;
    }
    return toLowerCase(name);
}
