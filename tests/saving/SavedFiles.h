#pragma once
// What the saving tests read back from disk and prepare there: last-write times (as FILETIME
// ticks) and the names of a folder's files.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

int64_t ticks(const FILETIME& time);
FILETIME fileTimeOf(int64_t ticks);
// The file's last-write time; -1 when it cannot be read.
int64_t writeTime(const std::wstring& path);
// A failure is added to the test when the time cannot be set.
void setWriteTime(const std::wstring& path, int64_t time);
bool fileExists(const std::wstring& path);
// The names of a folder's files that match the pattern ("*.tmp"), sorted.
std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern = L"*");
