#include "saving/PhotoTimesThread.h"

#include "common/PathFunctions.h"
#include "saving/JobRecords.h"
#include "saving/PostRecord.h"

#include <memory>

namespace {

void stampFile(const std::wstring& path, const FILETIME& time) {
    HANDLE file = openExistingFile(path, GENERIC_WRITE, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SetFileTime(file, &time, &time, &time);
    closeFileHandle(file);
}

FILETIME addOffset(const FILETIME& time, int64_t offset) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += static_cast<uint64_t>(offset);
    FILETIME result;
    result.dwLowDateTime = value.LowPart;
    result.dwHighDateTime = value.HighPart;
    return result;
}

class Stamper {
public:
    explicit Stamper(const UpdatePhotoTimesParams& params)
        : params_(params), base_(params.folder + L"\\" + params.userName + L"_") {}

    void stamp(std::vector<PhotoInfo>& files, int64_t offset) {
        for (const PhotoInfo& file : files) {
            stampFile(base_ + file.name, addOffset(file.time, offset));
            if (++counter_ >= params_.batchSize) {
                counter_ = 0;
                auto record = std::make_unique<UpdatePhotoTimesMessageInfo>();
                record->saveGeneration = params_.saveGeneration;
                postRecord(params_.window, WM_PHOTO_TIMES_UPDATED, std::move(record));
            }
        }
        files.clear();
    }

private:
    const UpdatePhotoTimesParams& params_;
    const std::wstring base_;
    int32_t counter_ = 0;
};

}  // namespace

DWORD WINAPI updatePhotoTimesThreadProc(LPVOID parameter) {
    std::unique_ptr<UpdatePhotoTimesParams> params(static_cast<UpdatePhotoTimesParams*>(parameter));
    if (!params)
        return 0;
    try {
        Stamper stamper(*params);
        stamper.stamp(params->itemsInFolder, 0);
        stamper.stamp(params->otherFiles, params->offset);
    } catch (...) {
        // Out of memory: the times of the rest stay as they were; the job still ends.
    }
    try {
        auto record = std::make_unique<UpdatePhotoTimesMessageInfo>();
        record->saveGeneration = params->saveGeneration;
        record->done = 1;
        postFinalRecord(params->window, WM_PHOTO_TIMES_UPDATED, std::move(record));
    } catch (...) {
    }
    if (params->thread)
        CloseHandle(params->thread);
    return 0;
}
