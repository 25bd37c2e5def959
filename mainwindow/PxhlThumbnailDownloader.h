#pragma once
// The thumbnails download control as the thumbnail batches see it.
#include "feed/ThumbnailBatches.h"

namespace gui {
class TPxhl;
}

// The number of files in the control's list; 0 without a control.
long queuedFileCount(gui::TPxhl* control);

class PxhlThumbnailDownloader : public ThumbnailDownloader {
public:
    // control may be null (no load): then nothing is queued and nothing starts.
    explicit PxhlThumbnailDownloader(gui::TPxhl* control) : control_(control) {}

    // Queues the address with the options every thumbnail takes: size unknown, one segment.
    long addFile(const std::wstring& url, const std::wstring& savePath) override;
    bool download() override;
    void stopDownload() override;
    bool removeFile(long fileId) override;
    long queuedFileCount() override;
    std::wstring finalPath(long fileId) override;
    long lastError() override;

private:
    gui::TPxhl* control_;
};
