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

bool PositionedWriter::setLength(HANDLE file, int64_t length) {
    if (!file) {
        return true;
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
