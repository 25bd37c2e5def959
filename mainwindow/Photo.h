#pragma once
// Photo: the main window's record of one media item (photo or video) of the loaded user, built
// from one feed record. The grid, the search, the selection, the full-size view and the save and
// print jobs read and mark it. It owns its word list, its full-size retry timer and, while it
// holds one, its full-size download control, which it gives back through its release hook.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace gui {
class TPxhl;
class TTimer;
}  // namespace gui

class ThumbnailImage;

// Gives a download control back to the main window's pool.
using DownloaderReleaseHook = void (*)(gui::TPxhl* downloader);

struct Photo {
    Photo(std::wstring lowResolutionUrl, std::wstring standardResolutionUrl, std::wstring videoUrl,
          std::wstring dateText, std::wstring caption, std::wstring link, std::wstring id, int index,
          DownloaderReleaseHook releaseHook);
    // Stops the retry timer and gives the full-size control back before anything goes.
    ~Photo();
    Photo(const Photo&) = delete;
    Photo& operator=(const Photo&) = delete;

    // Stops and frees the retry timer, if any; safe to call again.
    void deleteFullSizeRetryTimer();
    // Gives the full-size control back to the pool, if one is held; safe to call again.
    void releaseFullSizeDownloader();

    std::wstring lowResolutionUrl;
    std::wstring standardResolutionUrl;  // the full-size photo
    std::wstring videoUrl;               // "" for a photo
    std::wstring dateText;
    std::wstring caption;
    std::wstring link;  // the item's own page
    std::wstring id;
    std::vector<std::unique_ptr<std::wstring>> words;  // lower-cased caption words for the search
    BYTE thumbnailRefused = 0;                         // the server refused the thumbnail; counted once
    int thumbnailFileId = -1;                          // in thumbnailsDownloader; -1 when not queued
    int fullSizeFileId = -1;                           // in fullSizeDownloader
    int saveFileId = -1;                               // in photosDownloader
    int printFileId = -1;                              // in printDownloader
    std::wstring thumbnailPath;
    std::wstring fullSizePath;  // in the Viewer folder
    std::wstring fileName;      // safe lower-cased name from the item's address; key of photoFileNames
    BYTE existsInTarget = 0;    // the save job found the file already in the target folder
    BYTE thumbnailDownloaded = 0;
    BYTE thumbnailUsable = 0;  // the search shows only items with this flag
    BYTE fullSizePresent = 0;
    BYTE inUseByJob = 0;  // a job copies or prints the item's file
    FILETIME fileTime{};  // time given to saved files; items of a load step back 3 s each
    ThumbnailImage* tile = nullptr;
    int index;              // position in photos
    int visibleIndex = -1;  // position in visiblePhotos, -1 when not visible
    BYTE selected = 0;
    gui::TPxhl* fullSizeDownloader = nullptr;  // the item's own control, given back by the release hook
    int fullSizeRetryCount = 0;
    std::unique_ptr<gui::TTimer> fullSizeRetryTimer;  // made on the first retry
    DownloaderReleaseHook releaseHook;
};

// Deletes every record of photos and empties the list. Whoever holds visiblePhotos,
// photoFileNames and tiles empties them first: they point into these records.
void clearPhotos(std::vector<Photo*>& photos);

// A new unique name of 32 lower-case hexadecimal digits, for work files.
std::wstring makeGuidFileName();
