#include "downloadcontrol/engine/FileList.h"

#include <cstdio>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/engine/TransferPlan.h"

namespace {

// Given for an unknown file, field or segment (the error code tells which).
std::wstring placeholderText() {
    return std::wstring();
}

// Field 7 while no estimate can be made.
std::wstring unknownRemainingTimeText() {
    static constexpr auto kUnknown = scrambleText(L"-1");
    return UnscrambleString(kUnknown.chars);
}

std::wstring numberText(int64_t value) {
    static constexpr auto kFormat = scrambleText(L"%I64d");
    return formatText(UnscrambleString(kFormat.chars).c_str(), value);
}

std::wstring rateText(double value) {
    static constexpr auto kFormat = scrambleText(L"%.2f");
    return formatText(UnscrambleString(kFormat.chars).c_str(), value);
}

// Cuts "|low-high" off a save path and reads the file time from it.
void splitFileTime(std::wstring& savePath, FILETIME& fileTime) {
    const std::size_t bar = savePath.rfind(L'|');
    if (bar == std::wstring::npos) {
        return;
    }
    unsigned int low = 0;
    unsigned int high = 0;
    std::swscanf(savePath.c_str() + bar + 1, L"%u-%u", &low, &high);
    fileTime.dwLowDateTime = low;
    fileTime.dwHighDateTime = high;
    savePath.erase(bar);
}

}  // namespace

int32_t FileList::addFile(const AddFileRequest& request, LastErrorHolder& errors, std::size_t* index) {
    auto item = std::make_unique<DownloadItem>();
    if (!item->setUrl(request.url, request.options == 1)) {
        errors.setError(ErrUrlParse);
        return -1;
    }
    item->state = DownloadStateNew;

    std::wstring savePath = request.savePath;
    splitFileTime(savePath, item->fileTime);
    item->displayFileName = trimText(request.displayFileName);
    item->savePath = trimText(savePath);
    item->referer = request.referer;
    item->userName = request.userName;
    item->password = request.password;

    const int64_t size = parseInt64(request.fileSize, -1);
    item->size = size < 0 ? -1 : size;
    item->remaining = item->size;
    item->requestedSegmentCount = request.segmentCount > 0 ? request.segmentCount : kDefaultSegmentCount;

    CriticalSectionLock lock(lock_);
    item->fileId = nextFileId_++;
    if (containsUrl(item->url)) {
        errors.setError(ErrDuplicateUrl);
        return -1;
    }
    const int32_t fileId = item->fileId;
    items_.push_back(std::move(item));
    if (index) {
        *index = items_.size() - 1;
    }
    return fileId;
}

std::ptrdiff_t FileList::removeFile(int32_t fileId) {
    CriticalSectionLock lock(lock_);
    const std::ptrdiff_t index = indexOf(fileId);
    if (index >= 0) {
        items_.erase(items_.begin() + index);
    }
    return index;
}

void FileList::clear() {
    CriticalSectionLock lock(lock_);
    items_.clear();
    nextFileId_ = 0;
}

std::unique_ptr<DownloadItem> FileList::append(std::unique_ptr<DownloadItem> item, LastErrorHolder& errors) {
    CriticalSectionLock lock(lock_);
    if (item->fileId >= nextFileId_) {
        nextFileId_ = item->fileId + 1;
    }
    if (containsUrl(item->url)) {
        errors.setError(ErrDuplicateUrl);
        return item;
    }
    items_.push_back(std::move(item));
    return nullptr;
}

DownloadItem* FileList::find(int32_t fileId) const {
    const std::ptrdiff_t index = indexOf(fileId);
    return index < 0 ? nullptr : items_[static_cast<std::size_t>(index)].get();
}

std::ptrdiff_t FileList::indexOf(int32_t fileId) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->fileId == fileId) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

bool FileList::containsUrl(const std::wstring& url) const {
    // A locale comparison of every listed URL made a long queue's AddFile slow (about a millisecond
    // an item at a thousand under Wine); the items' sort keys compare the same way at memcmp's cost.
    const std::string key = caseBlindSortKey(url);
    for (const auto& item : items_) {
        const bool same = !key.empty() && !item->urlKey.empty() ? item->urlKey == key
                                                                : compareText(item->url, url, false) == 0;
        if (same) {
            return true;
        }
    }
    return false;
}

std::wstring FileList::fileInfo(int32_t fileId, int32_t field, LastErrorHolder& errors) const {
    CriticalSectionLock lock(lock_);
    if (field == FileInfoFileCount) {
        return numberText(static_cast<int64_t>(items_.size()));
    }
    const DownloadItem* item = find(fileId);
    if (!item) {
        errors.setError(ErrNoSuchFile);
        return placeholderText();
    }
    switch (field) {
    case FileInfoUrl:
        return item->url;
    case FileInfoReplyText:
        return item->replyText;
    case FileInfoState:
        return numberText(item->state);
    case FileInfoSize:
        return numberText(item->size);
    case FileInfoDownloaded:
        return numberText(item->downloaded);
    case FileInfoElapsedSeconds:
        return numberText(item->elapsed / kTicksPerSecond);
    case FileInfoRemaining:
        return numberText(item->remaining);
    case FileInfoRemainingSeconds: {
        const bool estimated = item->size >= 0 && item->downloaded > 0 && item->elapsed >= kTicksPerSecond;
        if (estimated || item->downloaded == item->size) {
            return numberText(item->remainingTime / kTicksPerSecond);
        }
        return unknownRemainingTimeText();
    }
    case FileInfoRate:
        return rateText(item->rate);
    case FileInfoSegmentCount:
        return numberText(item->segments.empty() ? -1 : static_cast<int64_t>(item->segments.size()));
    case FileInfoRequestedSegmentCount:
        return numberText(item->requestedSegmentCount);
    case FileInfoFinalPath:
        return item->finalPath();
    case FileInfoReferer:
        return item->referer;
    case FileInfoUserName:
        return item->userName;
    case FileInfoPassword:
        return item->password;
    case FileInfoDisplayFileName:
        return item->displayFileName;
    case FileInfoNameFromUrl:
        return item->nameFromUrl;
    default:
        errors.setError(ErrFileInfoField);
        return placeholderText();
    }
}

std::wstring FileList::segmentInfo(int32_t fileId, int32_t segmentIndex, int32_t field,
                                   LastErrorHolder& errors) const {
    CriticalSectionLock lock(lock_);
    const DownloadItem* item = find(fileId);
    if (!item) {
        errors.setError(ErrNoSuchFile);
        return placeholderText();
    }
    if (segmentIndex < 0 || static_cast<std::size_t>(segmentIndex) >= item->segments.size()) {
        errors.setError(ErrSegmentIndex);
        return placeholderText();
    }
    const FileSegment& segment = *item->segments[static_cast<std::size_t>(segmentIndex)];
    switch (field) {
    case SegmentInfoStart:
        return numberText(segment.start);
    case SegmentInfoSize:
        return numberText(segment.size);
    case SegmentInfoDownloaded:
        return numberText(segment.downloaded);
    default:
        errors.setError(ErrSegmentInfoField);
        return placeholderText();
    }
}
