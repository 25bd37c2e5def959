#include "saving/FolderScan.h"

#include "common/PathFunctions.h"
#include "common/TextFunctions.h"

#include <algorithm>

namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool isEarlier(const FILETIME& a, const FILETIME& b) {
    return CompareFileTime(&a, &b) < 0;
}

}  // namespace

FolderScan scanTargetFolder(const std::wstring& folder, const std::wstring& userName,
                            const ItemLookup& lookup, const std::vector<std::wstring>& otherUsers) {
    FolderScan scan;
    const std::wstring prefix = toLowerCase(userName + L"_");
    // What follows "<user>_" in the names of another user's files: "b_" for alice_b.
    std::vector<std::wstring> otherUserRests;
    for (const std::wstring& other : otherUsers) {
        const std::wstring name = toLowerCase(other);
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            otherUserRests.push_back(name.substr(prefix.size()) + L"_");
    }
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW(makeLongPath(folder + L"\\" + userName + L"_*.*").c_str(), &entry));
    if (find.get() == INVALID_HANDLE_VALUE)
        return scan;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // The pattern may also match by a short name: keep only names that really carry the prefix.
        const std::wstring name = toLowerCase(entry.cFileName);
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        PhotoInfo info;
        info.name = name.substr(prefix.size());
        int32_t photoIndex = -1;
        if (lookup(info.name, photoIndex, info.time)) {
            if (isEarlier(info.time, scan.oldest))
                scan.oldest = info.time;
            scan.itemsInFolder.push_back(info);
            scan.itemIndexes.push_back(photoIndex);
        } else if (std::none_of(otherUserRests.begin(), otherUserRests.end(), [&](const std::wstring& rest) {
                       return info.name.compare(0, rest.size(), rest) == 0;
                   })) {
            info.time = entry.ftLastWriteTime;
            if (isEarlier(scan.newestOther, info.time))
                scan.newestOther = info.time;
            scan.otherFiles.push_back(info);
        }
    } while (FindNextFileW(find.get(), &entry));
    return scan;
}
