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

std::wstring uniqueHeaderNameScope() {
    static LONG lastControl = 0;
    return formatText(L"-%lX-%lX", GetCurrentProcessId(),
                      static_cast<unsigned long>(InterlockedIncrement(&lastControl)));
}

std::vector<std::wstring> findHeaderFiles(const std::wstring& folder, const std::wstring& scope) {
    std::vector<std::wstring> paths;
    if (folder.empty()) {
        return paths;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(toLongPath(folder + headerFilePattern(scope)).c_str(), &entry);
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

void deleteHeaderFiles(const std::wstring& folder, const std::wstring& scope) {
    for (const std::wstring& path : findHeaderFiles(folder, scope)) {
        DeleteFileW(toLongPath(path).c_str());
    }
}

bool HeaderFolderClaim::acquire(const std::wstring& folder) {
    static constexpr auto kClaimName = scrambleText(L"~PxhlDwnld.run");
    if (file_.valid() && folder_ == folder) {
        return true;
    }
    release();
    file_.reset(CreateFileW(toLongPath(folder + UnscrambleString(kClaimName.chars)).c_str(),
                            GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file_.valid()) {
        return GetLastError() != ERROR_SHARING_VIOLATION;
    }
    folder_ = folder;
    return true;
}

void HeaderFolderClaim::release() {
    file_.close();
    folder_.clear();
}
