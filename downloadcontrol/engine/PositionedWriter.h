#pragma once
// Writes at a 64-bit offset of a data or header file. Every positioned write of a control goes
// through its one file-write lock, so a seek and its write are never separated by another thread's.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/LastErrorHolder.h"

class DownloadItem;

class PositionedWriter {
public:
    PositionedWriter(CriticalSection& fileWriteLock, LastErrorHolder& errors)
        : lock_(fileWriteLock), errors_(errors) {}

    // Writes `count` bytes at `offset`. A short or failed write sets error 7 and gives false; an empty
    // handle does nothing (true).
    bool write(HANDLE file, int64_t offset, const void* bytes, std::size_t count);
    // Sets the length of the file at `path` (used once per file, before the segments write in place).
    // A length that the file's volume has no room for is refused, without touching the file: the length
    // comes from a server or a header file and may be absurd.
    bool setLength(HANDLE file, const std::wstring& path, int64_t length);

private:
    // False when the volume of `path` surely has no room for `growth` more bytes.
    bool volumeHasRoom(const std::wstring& path, int64_t growth);

    CriticalSection& lock_;
    LastErrorHolder& errors_;
    // The last look at a folder's free space, less what was granted since. Asking the system costs
    // more than fetching a small file under some hosts, so a run of small files into one folder asks
    // once a second; only a fresh look refuses a length.
    CriticalSection spaceLock_;
    std::wstring spaceFolder_;
    uint64_t spaceLeft_ = 0;
    ULONGLONG spaceTick_ = 0;
};

// Header fields gathered while the control lock is held and written after it is left, so that a worker
// never holds both locks.
class HeaderUpdate {
public:
    // The field's current bytes in the item's header (the item read under the control lock).
    void add(const DownloadItem& item, int32_t field, int32_t segmentIndex = 0);
    // The state slot: 0 while the file is open for transfer, the closing mark when it is consistent.
    void addStateSlot(uint32_t value);
    void writeTo(HANDLE header, PositionedWriter& writer) const;
    bool empty() const { return fields_.empty(); }

private:
    std::vector<std::pair<int64_t, std::string>> fields_;
};
