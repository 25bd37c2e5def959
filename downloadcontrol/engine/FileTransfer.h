#pragma once
// The file thread and the segment threads of one file.
//
// A file thread opens the file's header and data file, asks the server for the first segment (which
// tells the file's size and whether the server serves byte ranges), plans the segments, starts one
// segment thread for each further segment, fetches the first segment itself, waits for the others and
// settles the file's state. Its very last act is to post FileFinished, after it has freed its client,
// so that the control can join the thread as soon as it handles the message.
#include <cstdint>
#include <vector>

#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/TransferContext.h"

class DownloadClient;
class DownloadItem;

class FileTransfer {
public:
    // `dataFileReady` is false when the control could not create the file's data file (error 45 is
    // set already); the file then fails at once.
    FileTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item, bool dataFileReady);
    void run();

private:
    void transfer();
    bool openFiles();
    // Starts the further segments' threads; their handles are added to `threads`.
    void startSegmentThreads(std::vector<ScopedHandle>& threads);
    // Marks the file incomplete (state 1) in memory and in its header.
    void markIncomplete();
    // Settles a file whose segments all ended: complete, or failed with a size mismatch.
    void settle();

    TransferContext& context_;
    const EngineSettings settings_;
    DownloadItem& item_;
    const bool dataFileReady_;
};

class SegmentTransfer {
public:
    SegmentTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item, int32_t segmentIndex);
    void run();

private:
    TransferContext& context_;
    const EngineSettings settings_;
    DownloadItem& item_;
    const int32_t index_;
};
