#pragma once
// The scan of a save job's target folder for the current user's files ("<user>_<name>"): files of
// loaded items are not saved again, only given their item time; the user's other files keep their
// spacing and are moved to end before the oldest item. Folders are left out, so a folder that holds
// a target name does not count as the saved file.
#include "saving/JobRecords.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct FolderScan {
    std::vector<PhotoInfo> itemsInFolder;        // with the item times
    std::vector<int32_t> itemIndexes;            // the photo index of each of them
    std::vector<PhotoInfo> otherFiles;           // with their own last-write times
    FILETIME oldest = {0xFFFFFFFF, 0xFFFFFFFF};  // smallest item time seen
    FILETIME newestOther = {0, 0};               // largest last-write time of the other files
};

// Finds a loaded item by its file name (lower-case, without "<user>_"): its photo index and item
// time; false when no loaded item has that name.
using ItemLookup = std::function<bool(const std::wstring& name, int32_t& photoIndex, FILETIME& itemTime)>;

// An unreadable or missing folder gives empty lists. otherUsers: names of other users that begin
// with "<user>_" (alice_b for alice); their files match the user's pattern too and are left alone,
// unless a loaded item has the name.
FolderScan scanTargetFolder(const std::wstring& folder, const std::wstring& userName,
                            const ItemLookup& lookup, const std::vector<std::wstring>& otherUsers = {});
