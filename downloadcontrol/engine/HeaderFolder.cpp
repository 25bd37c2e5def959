#include "downloadcontrol/engine/HeaderFolder.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

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

uint64_t creationTime(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// False when the process that gave a header file its name scope has ended: no control can resume that
// file any more. A process id alone may have been given to a later process; with its start time it
// names one process. Names without such a scope, and processes that cannot be asked, count as running.
bool scopeOwnerRuns(const std::wstring& scope) {
    unsigned long processId = 0;
    unsigned long high = 0;
    unsigned long low = 0;
    if (swscanf(scope.c_str(), L"-%lX-%8lX%8lX-", &processId, &high, &low) != 3) {
        return true;
    }
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.valid()) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    // An ended process stays to be opened while anyone, such as the host that started it, holds it.
    DWORD exitCode = STILL_ACTIVE;
    if (GetExitCodeProcess(process.get(), &exitCode) && exitCode != STILL_ACTIVE) {
        return false;
    }
    return creationTime(process.get()) == ((static_cast<uint64_t>(high) << 32) | low);
}

// The header files in `folder` of scopes whose process has ended.
std::vector<std::wstring> headerFilesOfEndedScopes(const std::wstring& folder) {
    const std::wstring pattern = headerFilePattern(L"-");
    const std::size_t scopeStart = pattern.find(L'-');
    std::vector<std::wstring> paths;
    for (const std::wstring& path : findHeaderFiles(folder, L"-*")) {
        const std::wstring name = path.substr(folder.size());
        if (!scopeOwnerRuns(name.substr(std::min(scopeStart, name.size())))) {
            paths.push_back(path);
        }
    }
    return paths;
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
    const uint64_t started = creationTime(GetCurrentProcess());
    return formatText(L"-%lX-%08lX%08lX-%lX", static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(started >> 32),
                      static_cast<unsigned long>(started & 0xFFFFFFFF),
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
    if (!scope.empty()) {
        for (const std::wstring& path : headerFilesOfEndedScopes(folder)) {
            DeleteFileW(toLongPath(path).c_str());
        }
    }
}

void takeOverHeaderFiles(const std::wstring& folder, const std::wstring& scope) {
    for (const std::wstring& path : headerFilesOfEndedScopes(folder)) {
        // Another control may take the file first, and a file id this scope has already stays where it is.
        MoveFileW(toLongPath(path).c_str(),
                  toLongPath(folder + headerFileName(headerFileId(path), scope)).c_str());
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
