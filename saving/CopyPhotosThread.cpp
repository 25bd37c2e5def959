#include "saving/CopyPhotosThread.h"

#include "common/PathFunctions.h"
#include "saving/JobRecords.h"
#include "saving/JobStopFlag.h"
#include "saving/PostRecord.h"

#include <memory>

namespace {

// 0, or why the file could not be copied; what a failed copy may have written is removed, but only
// when this copy made the file: one that was there before is not this job's to delete.
DWORD copyPhoto(const std::wstring& source, const std::wstring& target) {
    const std::wstring longTarget = makeLongPath(target);
    const bool existed = GetFileAttributesW(longTarget.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (CopyFileW(makeLongPath(source).c_str(), longTarget.c_str(), FALSE))
        return 0;
    const DWORD error = GetLastError();
    if (!existed)
        DeleteFileW(longTarget.c_str());
    return error != 0 ? error : ERROR_WRITE_FAULT;
}

void copyPhotos(CopyPhotosParams& params) {
    const size_t count = params.sourcePaths.size();
    for (size_t i = 0; i < count; ++i) {
        auto record = std::make_unique<PhotoCopiedMessageInfo>();
        record->saveGeneration = params.saveGeneration;
        record->thumbnailsGeneration = params.thumbnailsGeneration;
        record->targetPath = params.targetPaths[i];
        record->photoIndex = params.photoIndexes[i];
        record->lastFile = i + 1 == count ? 1 : 0;
        record->error = copyPhoto(params.sourcePaths[i], params.targetPaths[i]);
        if (params.stopFlag->isSet()) {
            record->threadEnded = 1;
            record->photoIndexList = std::make_unique<std::vector<int32_t>>(std::move(params.photoIndexes));
            postFinalRecord(params.window, WM_PHOTO_COPIED, std::move(record));
            return;
        }
        // Each record marks its file done; a lost one would keep the job from ending.
        postFinalRecord(params.window, WM_PHOTO_COPIED, std::move(record));
    }
}

}  // namespace

DWORD WINAPI copyPhotosThreadProc(LPVOID parameter) {
    std::unique_ptr<CopyPhotosParams> params(static_cast<CopyPhotosParams*>(parameter));
    if (!params)
        return 0;
    try {
        copyPhotos(*params);
    } catch (...) {
        // Out of memory part way: end the copy part of the job as a stop would, releasing every photo.
        try {
            auto record = std::make_unique<PhotoCopiedMessageInfo>();
            record->saveGeneration = params->saveGeneration;
            record->thumbnailsGeneration = params->thumbnailsGeneration;
            record->threadEnded = 1;
            record->error = ERROR_NOT_ENOUGH_MEMORY;
            record->photoIndexList = std::make_unique<std::vector<int32_t>>(std::move(params->photoIndexes));
            postFinalRecord(params->window, WM_PHOTO_COPIED, std::move(record));
        } catch (...) {
        }
    }
    if (params->thread)
        CloseHandle(params->thread);
    return 0;
}
