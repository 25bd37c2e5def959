#pragma once
// Where the load of a user's feed stands: the one state the page downloads, the thumbnail batches,
// the user-name box and its Go/Stop button read and change. Every end of a load comes back to idle,
// where Go loads the name in the box.
#include <cstdint>

enum class LoadState : uint8_t {
    idle,               // no load runs
    starting,           // a load is being set up (the control resets pump messages)
    pageDownloading,    // a page download of this load runs: only its success reads a page
    pages,              // pages still come: one is read, waits for its retry or for its download
    thumbnails,         // the pages ended; the thumbnails of their photos still come
    pagesStopped,       // the user stopped the load while pages still came
    thumbnailsStopped,  // the user stopped the load after the pages ended
};

// Feed pages may still bring photos.
inline bool pagesMayCome(LoadState state) {
    return state == LoadState::pageDownloading || state == LoadState::pages ||
           state == LoadState::pagesStopped;
}

inline bool loadStopped(LoadState state) {
    return state == LoadState::pagesStopped || state == LoadState::thumbnailsStopped;
}

// Downloads of the load go on: the box shows the loading text and the button Stop.
inline bool loadRunning(LoadState state) {
    return state == LoadState::pageDownloading || state == LoadState::pages || state == LoadState::thumbnails;
}
