#include "downloadcontrol/engine/HeaderFolder.h"

#include <winsock2.h>
#include <windows.h>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/engine/HeaderFile.h"

namespace {

std::wstring temporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return withTrailingBackslash(std::wstring(buffer, length));
}

}  // namespace

std::wstring defaultHeaderFolder() {
    static constexpr auto kFolderName = scrambleText(L"PxhlDownloads");
    return temporaryFolder() + UnscrambleString(kFolderName.chars) + L"\\";
}

std::wstring headerFolderForSubfolder(const std::wstring& value) {
    const std::wstring trimmed = trimText(value);
    if (trimmed.empty()) {
        return {};
    }
    if (!rootOfPath(trimmed).empty()) {
        return withTrailingBackslash(trimmed);
    }
    return defaultHeaderFolder() + withTrailingBackslash(trimmed);
}

std::vector<std::wstring> findHeaderFiles(const std::wstring& folder) {
    std::vector<std::wstring> paths;
    if (folder.empty()) {
        return paths;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(toLongPath(folder + headerFilePattern()).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return paths;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            paths.push_back(folder + entry.cFileName);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return paths;
}

void deleteHeaderFiles(const std::wstring& folder) {
    for (const std::wstring& path : findHeaderFiles(folder)) {
        DeleteFileW(toLongPath(path).c_str());
    }
}
