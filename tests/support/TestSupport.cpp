#include "support/TestSupport.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

namespace testsupport {
namespace {

std::wstring treePath(const char* variable, const std::wstring& relative) {
    const char* root = std::getenv(variable);
    std::wstring result = root ? windowsPath(root) : L".\\";
    if (result.back() != L'\\')
        result += L'\\';
    for (wchar_t c : relative) {
        result += (c == L'/') ? L'\\' : c;
    }
    return result;
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring full = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full + L"\\");
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, base);
    std::wstring root = (length > 0 && length <= MAX_PATH) ? std::wstring(base, length) : L".\\";
    static LONG counter = 0;
    for (;;) {
        wchar_t name[64];
        swprintf(name, 64, L"pxtest-%lu-%ld-%lu\\", GetCurrentProcessId(), InterlockedIncrement(&counter),
                 GetTickCount());
        path_ = root + name;
        if (CreateDirectoryW(path_.c_str(), nullptr)) {
            break;
        }
    }
}

TempFolder::~TempFolder() {
    removeTree(path_);
}

std::wstring sourcePath(const std::wstring& relative) {
    return treePath("PIXHAUL_SOURCE_DIR", relative);
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring windowsPath(const std::string& unixPath) {
    std::wstring result = L"Z:" + widen(unixPath);
    for (wchar_t& c : result)
        c = c == L'/' ? L'\\' : c;
    return result;
}

std::wstring binaryPath(const std::wstring& relative) {
    return treePath("PIXHAUL_BINARY_DIR", relative);
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok =
        bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string readFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string result;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        result.append(buffer, got);
    }
    CloseHandle(file);
    return result;
}

bool pathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return condition();
        Sleep(10);
    }
    return true;
}

}  // namespace testsupport
