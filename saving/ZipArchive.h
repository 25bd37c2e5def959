#pragma once
// One zip archive being written by the zip writer thread: each added file becomes one deflated
// entry, and every chunk read posts its share of the file to the main window (WM_ZIP_PROGRESS).
// The archive file is opened by its extended-length wide path, so any folder name works. The first
// write failure is kept with its Win32 error; after it the archive is not usable.
#include <windows.h>

#include "saving/EntryDeflater.h"

#include <array>
#include <cstdint>
#include <string>

class ZipArchive {
public:
    ZipArchive(HWND window, int32_t generation);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Creates the archive, replacing a file of that name; closes an open archive first.
    bool open(const std::wstring& path);
    // Writes the central directory and closes the file; false when that failed (or nothing was open
    // after a failure).
    bool close();

    enum class AddResult {
        Added,       // one whole entry
        Unreadable,  // the file could not be opened: nothing written, nothing posted
        Failed       // the archive could not be written: see error()
    };
    // Entry name: the file-name part of the path; plain ASCII as it is, any other name in UTF-8
    // with the language-encoding flag, so every zip reader shows it right. With `deleteSource` the
    // file is deleted afterwards, whatever the result.
    AddResult addFile(const std::wstring& path, bool deleteSource = false);

    // The Win32 error that made the archive fail; 0 while it has not.
    DWORD error() const { return error_; }
    // Why the last addFile found its file unreadable.
    DWORD unreadableError() const { return unreadableError_; }

    // Size of one read and of the data behind one progress record.
    static constexpr DWORD kChunkSize = 0x4000;

private:
    AddResult addOpenFile(const std::wstring& path, HANDLE file);
    void fail(DWORD error);
    void post(double share);

    friend struct ZipArchiveIo;  // minizip's file functions, which keep the first write error here

    HWND window_;
    int32_t generation_;
    void* zip_ = nullptr;  // minizip's handle; it takes each entry compressed
    EntryDeflater deflater_;
    std::array<char, kChunkSize> chunk_;  // what was read of the file
    DWORD error_ = 0;
    DWORD unreadableError_ = 0;
};
