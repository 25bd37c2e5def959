#pragma once
// The file thread and the segment threads of one file.
//
// A file thread opens the file's header and data file (creating the data file of a new file), asks the
// server for the first segment (which tells the file's size and whether the server serves byte ranges),
// plans the segments, starts one segment thread for each further segment, fetches the first segment
// itself, waits for the others and settles the file's state. Then it closes the data file (stamped with
// the file's time), moves a complete file to its final path, and closes the header with its closing mark.
// Its very last act is to post FileFinished; the control's thread then only reports and goes on.
#include <cstdint>
#include <vector>

#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/TransferContext.h"

class DownloadClient;
class DownloadItem;

class FileTransfer {
public:
    FileTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item);
    void run();

private:
    void transfer();
    bool openFiles();
    // The data file of a file that starts from its first byte: its folders made, opened or created, and
    // stamped with the file's time while it is new and empty. Empty with error 45.
    ScopedHandle prepareDataFile(const std::wstring& dataPath, const FILETIME& fileTime);
    // Ends the file on disk: complete and moved to its final path, or incomplete and resumable.
    void closeFiles();
    // Starts the further segments' threads; their handles are added to `threads`.
    void startSegmentThreads(std::vector<ScopedHandle>& threads);
    // Settles the file's state by its end (FileEnd): complete, failed with a size mismatch, or as it is
    // when it failed before or was stopped.
    void settle(bool segmentsEnded);
    void failOutOfMemory() noexcept;

    LastErrorHolder errors_;   // the codes of this file thread's own steps, passed on to the control's
    TransferContext context_;  // the control's, with errors_ as its holder
    const EngineSettings settings_;
    DownloadItem& item_;
};

class SegmentTransfer {
public:
    SegmentTransfer(TransferContext& context, const EngineSettings& settings, DownloadItem& item,
                    int32_t segmentIndex);
    void run();

private:
    void transfer();

    LastErrorHolder errors_;
    TransferContext context_;
    const EngineSettings settings_;
    DownloadItem& item_;
    const int32_t index_;
};
