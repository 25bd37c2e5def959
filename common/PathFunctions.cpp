#include "common/PathFunctions.h"

#include "common/StringKeyCollection.h"
#include "common/TextFunctions.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace {

const wchar_t longPrefix[] = L"\\\\?\\";
const wchar_t longUncPrefix[] = L"\\\\?\\UNC\\";
const size_t longPrefixLength = 4;
const size_t longUncPrefixLength = 8;
const DWORD descriptionSize = 260;

bool startsWith(const std::wstring& text, const wchar_t* prefix, size_t prefixLength) {
    return text.compare(0, prefixLength, prefix) == 0;
}

bool isNetworkPath(const std::wstring& path) {
    return path.size() > 1 && path[0] == L'\\' && path[1] == L'\\';
}

// Extended-length form of a path that is already trimmed and has no prefix.
std::wstring prefixed(const std::wstring& path) {
    if (isNetworkPath(path)) {
        return longUncPrefix + path.substr(2);
    }
    return longPrefix + path;
}

size_t lastSeparator(const std::wstring& path) {
    const size_t backslash = path.rfind(L'\\');
    return backslash != std::wstring::npos ? backslash : path.rfind(L':');
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

HANDLE openExisting(const wchar_t* path, DWORD desiredAccess, DWORD shareMode) {
    return CreateFileW(path, desiredAccess, shareMode, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE, nullptr);
}

}  // namespace

std::wstring stripLongPathPrefix(const std::wstring& path) {
    const std::wstring trimmed = trimString(path);
    if (startsWith(trimmed, longUncPrefix, longUncPrefixLength)) {
        return L"\\\\" + trimmed.substr(longUncPrefixLength);
    }
    if (startsWith(trimmed, longPrefix, longPrefixLength)) {
        return trimmed.substr(longPrefixLength);
    }
    return trimmed;
}

std::wstring makeLongPath(const std::wstring& path) {
    return prefixed(trimString(stripLongPathPrefix(path)));
}

std::wstring pathRoot(const std::wstring& path) {
    const std::wstring trimmed = trimString(path);
    if (isNetworkPath(trimmed)) {
        const size_t afterServer = trimmed.find(L'\\', 2);
        if (afterServer == std::wstring::npos) {
            return std::wstring();
        }
        const size_t afterShare = trimmed.find(L'\\', afterServer + 1);
        return afterShare == std::wstring::npos ? trimmed : trimmed.substr(0, afterShare);
    }
    if (trimmed.size() > 1 && trimmed[1] == L':') {
        return trimmed.substr(0, 2);
    }
    return std::wstring();
}

std::wstring extractFilePath(const std::wstring& path) {
    const size_t separator = lastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(0, separator + 1);
}

std::wstring extractFileName(const std::wstring& path) {
    const size_t separator = lastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring fileExtension(const std::wstring& path, const StringKeyCollection* extensions) {
    const size_t backslash = path.rfind(L'\\');
    if (extensions == nullptr) {
        const size_t dot = path.rfind(L'.');
        if (dot == std::wstring::npos || (backslash != std::wstring::npos && backslash > dot)) {
            return std::wstring();
        }
        return path.substr(dot);
    }

    std::wstring candidate;
    size_t dot = path.find(L'.', backslash == std::wstring::npos ? 0 : backslash);
    while (dot != std::wstring::npos) {
        candidate = path.substr(dot + 1);
        if (extensions->contains(toUpperCase(candidate))) {
            break;
        }
        dot = path.find(L'.', dot + 1);
    }
    return candidate.empty() ? std::wstring() : L"." + candidate;
}

bool createDirectoryTree(const std::wstring& path) {
    std::wstring folder = trimString(stripLongPathPrefix(path));
    const std::wstring root = pathRoot(folder);
    if (root.empty()) {
        return false;
    }
    // A trailing separator would make the last call find the folder the loop just made.
    while (folder.size() > root.size() + 1 && folder.back() == L'\\') {
        folder.pop_back();
    }
    const std::wstring longFolder = prefixed(folder);
    const size_t firstLevel = root.size() + 1 + (longFolder.size() - folder.size());
    for (size_t j = firstLevel; j < longFolder.size(); ++j) {
        if (longFolder[j] == L'\\') {
            // Levels that exist already fail here, which is fine.
            CreateDirectoryW(longFolder.substr(0, j).c_str(), nullptr);
        }
    }
    return CreateDirectoryW(longFolder.c_str(), nullptr) != FALSE;
}

void deleteFolderFiles(const std::wstring& folder) {
    std::wstring prefix = folder;
    if (!prefix.empty() && prefix.back() != L'\\') {
        prefix += L'\\';
    }
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW(makeLongPath(prefix + L"*.*").c_str(), &entry));
    if (!find.valid()) {
        return;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileW(makeLongPath(prefix + entry.cFileName).c_str());
        }
    } while (FindNextFileW(find.get(), &entry));
}

HANDLE openExistingFile(const std::wstring& path, DWORD desiredAccess, DWORD shareMode) {
    return openExisting(makeLongPath(path).c_str(), desiredAccess, shareMode);
}

HANDLE openExistingFileRaw(const std::wstring& path, DWORD desiredAccess, DWORD shareMode) {
    return openExisting(path.c_str(), desiredAccess, shareMode);
}

DWORD readFileBytes(HANDLE file, void* buffer, DWORD count) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, count, &read, nullptr)) {
        return 0;
    }
    return read;
}

BOOL closeFileHandle(HANDLE file) {
    return CloseHandle(file);
}

bool resolveShortcut(HWND owner, const std::wstring& linkPath, wchar_t* target, int targetSize,
                     wchar_t* description) {
    if (target == nullptr || targetSize < 1) {
        return false;
    }
    target[0] = L'\0';
    if (description != nullptr) {
        description[0] = L'\0';
    }

    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    bool resolved =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) &&
        SUCCEEDED(link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH)) &&
        // S_FALSE means the link has no file-system path: not a success for the caller.
        link->GetPath(target, targetSize, nullptr, SLGP_UNCPRIORITY) == S_OK && target[0] != L'\0';
    if (resolved && description != nullptr) {
        resolved = SUCCEEDED(link->GetDescription(description, descriptionSize));
    }
    if (!resolved) {
        target[0] = L'\0';
        if (description != nullptr) {
            description[0] = L'\0';
        }
    }
    return resolved;
}
