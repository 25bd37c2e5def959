#include "SavedFiles.h"

#include "common/PathFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>

int64_t ticks(const FILETIME& time) {
    return static_cast<int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

FILETIME fileTimeOf(int64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

int64_t writeTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(makeLongPath(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ticks(data.ftLastWriteTime);
}

void setWriteTime(const std::wstring& path, int64_t time) {
    HANDLE file = openExistingFile(path, FILE_WRITE_ATTRIBUTES, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME stamp = fileTimeOf(time);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    closeFileHandle(file);
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(makeLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}
