#include "saving/ZipWriterThread.h"

#include "common/PathFunctions.h"
#include "saving/JobRecords.h"
#include "saving/JobStopFlag.h"
#include "saving/PostRecord.h"
#include "saving/ZipArchive.h"
#include "saving/ZipQueue.h"

#include <memory>

namespace {

// Longest wait between two looks at the queue and the stop flag; the events normally end it early.
constexpr DWORD kWaitMs = 1000;

// Fills the final record; the archive is written to partPath.
void writeArchive(const ZipPhotosParams& params, const std::wstring& partPath, ZipArchiveMessageInfo& result,
                  bool& created) {
    ZipArchive archive(params.window, params.saveGeneration);
    created = archive.open(partPath);
    if (created) {
        while (!params.stopFlag->isSet()) {
            ZipQueue::Next next = params.queue->take();
            if (next.path.empty()) {
                if (next.finished)
                    break;
                waitForEither(params.queue->readyEvent(), params.stopFlag->event(), kWaitMs);
                continue;
            }
            const ZipArchive::AddResult added = archive.addFile(next.path, true);
            if (added == ZipArchive::AddResult::Failed)
                break;
            if (added == ZipArchive::AddResult::Unreadable && result.skippedFiles++ == 0)
                result.skippedError = archive.unreadableError();
        }
        archive.close();
    }
    result.error = archive.error();
}

}  // namespace

DWORD WINAPI zipPhotosThreadProc(LPVOID parameter) {
    std::unique_ptr<ZipPhotosParams> params(static_cast<ZipPhotosParams*>(parameter));
    if (!params)
        return 0;
    auto result = std::make_unique<ZipArchiveMessageInfo>();
    result->generation = params->saveGeneration;
    result->done = 1;
    // The archive takes the zip file's place only once it is whole and closed, so a job that
    // fails leaves an old zip file as it was. It is written beside the zip file, so that the move
    // is a rename, under the staging folder's name: short, and unique.
    const std::wstring partPath =
        makeLongPath(extractFilePath(params->zipPath) + extractFileName(params->stagingFolder) + L".tmp");
    bool created = false;
    try {
        writeArchive(*params, partPath, *result, created);
    } catch (...) {
        // Out of memory part way: the archive is incomplete.
        result->error = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (created && result->error == 0 && !params->queue->isDiscarded() &&
        !MoveFileExW(partPath.c_str(), makeLongPath(params->zipPath).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        result->error = error ? error : ERROR_WRITE_FAULT;
    }
    if (created)
        DeleteFileW(partPath.c_str());
    if (!params->stagingFolder.empty()) {
        deleteFolderFiles(params->stagingFolder);
        RemoveDirectoryW(makeLongPath(params->stagingFolder).c_str());
    }
    postFinalRecord(params->window, WM_ZIP_PROGRESS, std::move(result));
    if (params->thread)
        CloseHandle(params->thread);
    return 0;
}
