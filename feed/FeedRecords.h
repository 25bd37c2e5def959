#pragma once
// The feed page worker's parameter block, the records it posts to the main window, and the
// message numbers they travel with. Every record is allocated with new by the worker and deleted
// by the receiver after handling, also when the receiver ignores it; a record whose post fails is
// deleted by the worker.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Record in WPARAM: MessageInfo {generation, media count (-1: not a whole number), ""}.
constexpr UINT WM_FEED_TOTAL = WM_APP + 0;
// Record in WPARAM: MessageInfo {generation, 0, suffix of the page to fetch next}.
constexpr UINT WM_FEED_NEXT_PAGE = WM_APP + 1;
// Record in WPARAM: MessageInfo {generation, 0 = no further page or -1 = a page was given up, ""}.
constexpr UINT WM_FEED_END = WM_APP + 2;
// Record in WPARAM: FeedPhotosMessageInfo, a page's media items in page order.
constexpr UINT WM_FEED_PHOTOS = WM_APP + 3;

// How long the worker waits before it asks for an unusable page again.
constexpr DWORD kFeedPageRepeatPauseMs = 6000;

// The worker's parameter block. The starter allocates it with new; from the thread's start the
// thread owns it and deletes it at its end.
struct ParsePageParams {
    ParsePageParams(int32_t generation, HWND mainWindow, const std::wstring& pagePath,
                    const std::wstring& userName, const std::wstring& pageSuffix);
    ParsePageParams(const ParsePageParams&) = delete;
    ParsePageParams& operator=(const ParsePageParams&) = delete;

    int32_t generation;       // page generation when the download completed; copied into every record
    HWND mainWindow;          // target of every post
    HANDLE thread;            // a thread handle the starter may set; closed by the worker at its end
    std::wstring pagePath;    // the work file holding the downloaded page
    std::wstring userName;    // the user being loaded (carried, not read)
    std::wstring pageSuffix;  // "" for the profile page, "/media" or "/media?max_id=..." for a feed page
    int32_t repeatCount;      // how often in a row this suffix has been requested again
    DWORD repeatPauseMs;      // the wait before asking for an unusable page again
};

// Posted with WM_FEED_TOTAL, WM_FEED_NEXT_PAGE and WM_FEED_END.
struct MessageInfo {
    MessageInfo(int32_t generation, int32_t code, const std::wstring& text);

    int32_t generation;
    int32_t code;
    std::wstring text;
};

// One media item, its texts in the order a Photo takes them.
struct PhotoMessageInfo {
    PhotoMessageInfo(int32_t generation, const std::wstring& lowResolutionUrl,
                     const std::wstring& standardResolutionUrl, const std::wstring& videoUrl,
                     const std::wstring& dateText, const std::wstring& captionText, const std::wstring& link,
                     const std::wstring& id);

    int32_t generation;
    std::wstring lowResolutionUrl;
    std::wstring standardResolutionUrl;
    std::wstring videoUrl;  // empty for a photo
    std::wstring dateText;  // "March 5, 2014" in local time; empty when unknown
    std::wstring captionText;
    std::wstring link;  // the item's own page
    std::wstring id;
};

// Posted with WM_FEED_PHOTOS: the items of one page, in page order. One record per page rather
// than per item: under Wine every posted message is a trip through the system's server, which the
// download threads need at the same time.
struct FeedPhotosMessageInfo {
    FeedPhotosMessageInfo(int32_t generation, std::vector<std::unique_ptr<PhotoMessageInfo>> photos);

    int32_t generation;
    std::vector<std::unique_ptr<PhotoMessageInfo>> photos;
};
