#include "saving/SaveNames.h"

#include "common/PathFunctions.h"

std::wstring timedSavePath(const std::wstring& targetPath, const FILETIME& itemTime) {
    return targetPath + L"|" + std::to_wstring(itemTime.dwLowDateTime) + L"-" +
           std::to_wstring(itemTime.dwHighDateTime);
}

std::wstring zipStagingFolder(const std::wstring& zipPath, const std::wstring& uniqueName) {
    const std::wstring name = extractFileName(zipPath);
    const size_t dot = name.rfind(L'.');
    const std::wstring stem = dot == std::wstring::npos ? name : name.substr(0, dot);
    return extractFilePath(zipPath) + stem + L"_" + uniqueName + L"_tmp";
}
