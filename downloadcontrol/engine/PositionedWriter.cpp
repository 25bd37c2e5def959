#include "downloadcontrol/engine/PositionedWriter.h"

#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/HeaderFile.h"

bool PositionedWriter::write(HANDLE file, int64_t offset, const void* bytes, std::size_t count) {
    if (!file) {
        return true;
    }
    bool written = false;
    {
        CriticalSectionLock lock(lock_);
        LARGE_INTEGER position;
        position.QuadPart = offset;
        written = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && writeAll(file, bytes, count);
    }
    if (!written) {
        errors_.setError(ErrDataFileWrite);
    }
    return written;
}

namespace {

constexpr ULONGLONG kSpaceLookMilliseconds = 1000;

}  // namespace

bool PositionedWriter::volumeHasRoom(const std::wstring& path, int64_t growth) {
    if (growth <= 0) {
        return true;
    }
    std::wstring folder = path;
    const std::size_t end = folder.find_last_of(L"\\/");
    folder.erase(end == std::wstring::npos ? 0 : end + 1);
    if (folder.empty()) {
        return true;
    }
    const uint64_t wanted = static_cast<uint64_t>(growth);
    CriticalSectionLock lock(spaceLock_);
    const ULONGLONG now = GetTickCount64();
    if (folder != spaceFolder_ || now - spaceTick_ >= kSpaceLookMilliseconds || wanted > spaceLeft_) {
        ULARGE_INTEGER available;
        if (!GetDiskFreeSpaceExW(toLongPath(folder).c_str(), &available, nullptr, nullptr)) {
            // When the free space cannot be learned, setting the length tells.
            spaceFolder_.clear();
            return true;
        }
        spaceFolder_ = folder;
        spaceLeft_ = available.QuadPart;
        spaceTick_ = now;
        if (wanted > spaceLeft_) {
            return false;
        }
    }
    spaceLeft_ -= wanted;
    return true;
}

bool PositionedWriter::setLength(HANDLE file, const std::wstring& path, int64_t length) {
    if (!file) {
        return true;
    }
    LARGE_INTEGER current;
    if (length < 0 || !GetFileSizeEx(file, &current) || !volumeHasRoom(path, length - current.QuadPart)) {
        return false;
    }
    CriticalSectionLock lock(lock_);
    LARGE_INTEGER position;
    position.QuadPart = length;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

void HeaderUpdate::add(const DownloadItem& item, int32_t field, int32_t segmentIndex) {
    const int64_t offset = headerFieldOffset(item, field, segmentIndex);
    if (offset >= 0) {
        fields_.emplace_back(offset, headerFieldBytes(item, field, segmentIndex));
    }
}

void HeaderUpdate::addStateSlot(uint32_t value) {
    std::string bytes(sizeof(value), '\0');
    std::memcpy(&bytes[0], &value, sizeof(value));
    fields_.emplace_back(0, std::move(bytes));
}

void HeaderUpdate::writeTo(HANDLE header, PositionedWriter& writer) const {
    for (const auto& field : fields_) {
        writer.write(header, field.first, field.second.data(), field.second.size());
    }
}
