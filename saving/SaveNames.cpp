#include "saving/SaveNames.h"

#include "common/PathFunctions.h"

std::wstring timedSavePath(const std::wstring& targetPath, const FILETIME& itemTime) {
    return targetPath + L"|" + std::to_wstring(itemTime.dwLowDateTime) + L"-" +
           std::to_wstring(itemTime.dwHighDateTime);
}

std::wstring zipStagingFolder(const std::wstring& zipPath, const std::wstring& uniqueName) {
    return extractFilePath(zipPath) + uniqueName + L"_tmp";
}
