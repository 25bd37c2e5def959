#pragma once
// Paths and files. Every file call of the program goes through the extended-length form of its path
// ("\\?\" or "\\?\UNC\"), made by makeLongPath. Only the backslash separates folders; a colon ends a
// drive designator. No state; safe on any thread (resolveShortcut needs COM on the calling thread).
#include <windows.h>

#include <string>

class StringKeyCollection;

// The path, trimmed, without an extended-length prefix (\\?\UNC\srv\share gives \\srv\share).
std::wstring stripLongPathPrefix(const std::wstring& path);

// The extended-length form of the trimmed path; a path that has one keeps it. Nothing else is
// normalised, so callers pass absolute backslash paths.
std::wstring makeLongPath(const std::wstring& path);

// The root of a drive path (D:) or network path (\\server\share), else the empty string.
std::wstring pathRoot(const std::wstring& path);

// The folder part including its final backslash (or colon), and the file-name part. A path with
// neither separator is returned whole by both.
std::wstring extractFilePath(const std::wstring& path);
std::wstring extractFileName(const std::wstring& path);

// The extension with its dot, or the empty string. Given a collection of known upper-case
// extensions without their dot (such as TAR.GZ), the longest known one wins; else the text after the
// last dot.
std::wstring fileExtension(const std::wstring& path, const StringKeyCollection* extensions = nullptr);

// Creates the folder and every missing folder above it. True when the folder itself was created
// here; false for a relative path (nothing is created) and for a folder that already existed.
bool createDirectoryTree(const std::wstring& path);

// Deletes the files directly inside the folder; sub-folders and their contents stay. Failures are
// ignored.
void deleteFolderFiles(const std::wstring& folder);

// Opens an existing file (through its extended-length form, or the path as given for the raw
// variant). INVALID_HANDLE_VALUE on failure; the caller closes the handle with closeFileHandle.
HANDLE openExistingFile(const std::wstring& path, DWORD desiredAccess, DWORD shareMode);
HANDLE openExistingFileRaw(const std::wstring& path, DWORD desiredAccess, DWORD shareMode);

// One read of up to count bytes: the number read, 0 on failure or at the end of the file.
DWORD readFileBytes(HANDLE file, void* buffer, DWORD count);

BOOL closeFileHandle(HANDLE file);

// Follows a shell shortcut (.lnk) without user interface. Fills target (targetSize characters) with
// the file-system path it points at and, when given, description (260 characters) with its
// description. False, with empty texts, when any step fails or the link has no file-system path.
bool resolveShortcut(HWND owner, const std::wstring& linkPath, wchar_t* target, int targetSize,
                     wchar_t* description = nullptr);
