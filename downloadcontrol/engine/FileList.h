#pragma once
// The control's queue: its DownloadItems in the order they were added, with the file ids they were given.
// The list view shows one row per item, row index = list index.
//
// The list shares the control lock with the engine. Its own operations take the lock themselves; callers
// of the accessors (size, at, find, indexOf, items, ...) hold lock() around their use. The lock is
// re-entrant, so holding it while calling an operation is fine.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/DownloadItem.h"

// The arguments of AddFile, texts already taken from their BSTRs (a null BSTR is "").
struct AddFileRequest {
    std::wstring url;
    std::wstring fileSize;  // decimal byte count; anything else means "not known"
    std::wstring displayFileName;
    std::wstring savePath;     // may end in "|low-high", the file time to stamp on the finished file
    int32_t segmentCount = 0;  // 0 or less: kDefaultSegmentCount
    std::wstring referer;
    std::wstring userName;
    std::wstring password;
    int32_t options = 0;  // 1: FTP over TLS on its own port
};

class FileList {
public:
    explicit FileList(CriticalSection& controlLock) : lock_(controlLock) {}
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    CriticalSection& lock() const { return lock_; }

    // AddFile once the caller has made sure no run is under way: builds the item and appends it. The new
    // file id, with its list index in *index; or -1 with error 12 (URL does not parse) or 31 (URL already
    // listed, compared without regard to case) set in `errors`. A refused duplicate still uses up an id.
    int32_t addFile(const AddFileRequest& request, LastErrorHolder& errors, std::size_t* index = nullptr);

    // Frees the item with this id and erases it; its former list index, or -1 when no item has that id.
    std::ptrdiff_t removeFile(int32_t fileId);

    // Frees every item; the next file id starts at 0 again.
    void clear();

    // GetFileInfo and GetFileSegmentInfo: the field as text. An unknown id (22), field (23, 25) or segment
    // index (24) sets the error and gives "". Field 16 (the number of files) needs no valid id.
    std::wstring fileInfo(int32_t fileId, int32_t field, LastErrorHolder& errors) const;
    std::wstring segmentInfo(int32_t fileId, int32_t segmentIndex, int32_t field,
                             LastErrorHolder& errors) const;

    // Appends an item built elsewhere (resumed from its header), unless its URL is listed already: then
    // error 31 is set, the item is handed back and nothing changes. The next file id is raised past the
    // item's id. Null when the item was appended.
    std::unique_ptr<DownloadItem> append(std::unique_ptr<DownloadItem> item, LastErrorHolder& errors);

    // Accessors; the caller holds lock().
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    DownloadItem* at(std::size_t index) const {
        return index < items_.size() ? items_[index].get() : nullptr;
    }
    DownloadItem* find(int32_t fileId) const;
    std::ptrdiff_t indexOf(int32_t fileId) const;
    bool containsUrl(const std::wstring& url) const;
    std::vector<std::unique_ptr<DownloadItem>>& items() { return items_; }
    int32_t nextFileId() const { return nextFileId_; }

private:
    CriticalSection& lock_;
    std::vector<std::unique_ptr<DownloadItem>> items_;
    int32_t nextFileId_ = 0;
};
