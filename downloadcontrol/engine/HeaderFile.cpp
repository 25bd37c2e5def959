#include "downloadcontrol/engine/HeaderFile.h"

#include <cmath>
#include <cstring>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

constexpr std::size_t kValidatorSlotUnits = kValidatorSlotBytes / sizeof(wchar_t);
constexpr int64_t kSegmentEntryBytes = 24;

static_assert(sizeof(wchar_t) == 2, "header texts are UTF-16");

constexpr auto kNameFormat = scrambleText(L"~Pxhl%ls_%d.hdr");
constexpr auto kNameWord = scrambleText(L"Dwnld");
constexpr auto kPatternFormat = scrambleText(L"~Pxhl%ls_*.hdr");

// The validator as it fits its slot.
std::wstring slotValidator(const DownloadItem& item) {
    return item.validator.substr(0, kValidatorSlotUnits);
}

uint32_t textBytes(const std::wstring& text) {
    return static_cast<uint32_t>(text.size() * sizeof(wchar_t));
}

// Bytes that field `field` (1..27) takes in the item's header.
int64_t fieldWidth(const DownloadItem& item, int32_t field) {
    switch (field) {
    case HeaderUrl:
        return textBytes(item.url);
    case HeaderImplicitTls:
        return 1;
    case HeaderDisplayName:
        return textBytes(item.displayFileName);
    case HeaderSavePath:
        return textBytes(item.savePath);
    case HeaderDataPath:
        return textBytes(item.dataPath);
    case HeaderValidator:
        return kValidatorSlotBytes;
    case HeaderReferer:
        return textBytes(item.referer);
    case HeaderUserName:
        return textBytes(item.userName);
    case HeaderPassword:
        return textBytes(item.password);
    case HeaderSize:
    case HeaderDownloaded:
    case HeaderElapsed:
    case HeaderRemaining:
    case HeaderRemainingTime:
    case HeaderRate:
    case HeaderWeight:
        return 8;
    default:  // the state slot, the text lengths, the state and the two counts
        return 4;
    }
}

template <typename Value>
std::string valueBytes(Value value) {
    std::string bytes(sizeof(value), '\0');
    std::memcpy(&bytes[0], &value, sizeof(value));
    return bytes;
}

std::string wideBytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

bool writeAt(HANDLE file, int64_t offset, const std::string& bytes) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
           writeAll(file, bytes.data(), bytes.size());
}

// Reads a header front to back, never past the end of the file it came from.
class HeaderReader {
public:
    HeaderReader(HANDLE file, int64_t fileSize) : file_(file), left_(fileSize) {}

    int64_t left() const { return left_; }

    bool bytes(void* buffer, int64_t count) {
        if (count < 0 || count > left_ || !readExactly(file_, buffer, static_cast<std::size_t>(count))) {
            return false;
        }
        left_ -= count;
        return true;
    }

    template <typename Value>
    bool value(Value& result) {
        return bytes(&result, sizeof(result));
    }

    // A length-prefixed text; the length must be even and lie within the file.
    bool text(std::wstring& result) {
        uint32_t length = 0;
        if (!value(length) || length % 2 != 0 || length > left_) {
            return false;
        }
        result.assign(length / 2, L'\0');
        return length == 0 || bytes(&result[0], length);
    }

private:
    HANDLE file_;
    int64_t left_;
};

bool validSegment(const FileSegment& segment, int64_t fileSize) {
    if (segment.start < 0 || segment.downloaded < 0) {
        return false;
    }
    if (fileSize < 0) {
        // A file of unknown size has a single segment from its start, open-ended.
        return segment.start == 0 && segment.size == -1;
    }
    return segment.size >= 0 && segment.size <= fileSize - segment.start &&
           segment.downloaded <= segment.size;
}

// Fields 3 to 27 and the segment table, with every value checked against what a header can hold.
bool readBody(HeaderReader& reader, DownloadItem& item) {
    uint8_t implicitTls = 0;
    if (!reader.value(implicitTls) || implicitTls > 1) {
        return false;
    }
    if (implicitTls && !item.setUrl(item.url, true)) {
        return false;
    }
    if (!reader.text(item.displayFileName) || !reader.text(item.savePath) || !reader.text(item.dataPath)) {
        return false;
    }
    uint32_t validatorLength = 0;
    wchar_t slot[kValidatorSlotUnits];
    if (!reader.value(validatorLength) || validatorLength % 2 != 0 || validatorLength > kValidatorSlotBytes ||
        !reader.bytes(slot, kValidatorSlotBytes)) {
        return false;
    }
    item.validator.assign(slot, validatorLength / 2);
    if (!reader.text(item.referer) || !reader.text(item.userName) || !reader.text(item.password)) {
        return false;
    }

    int32_t state = 0;
    int32_t requestedSegmentCount = 0;
    int32_t segmentCount = 0;
    if (!reader.value(state) || !reader.value(item.size) || !reader.value(item.downloaded) ||
        !reader.value(item.elapsed) || !reader.value(item.remaining) || !reader.value(item.remainingTime) ||
        !reader.value(item.rate) || !reader.value(item.weight) || !reader.value(requestedSegmentCount) ||
        !reader.value(segmentCount)) {
        return false;
    }
    if (state < DownloadStateNew || state > DownloadStateComplete || item.size < -1 || item.downloaded < 0 ||
        (item.size >= 0 && item.downloaded > item.size) || item.remaining < -1 || item.elapsed < 0 ||
        item.remainingTime < 0 || !std::isfinite(item.rate) || item.rate < 0 || !std::isfinite(item.weight) ||
        item.weight < 0 || item.weight > 1 || requestedSegmentCount < 1) {
        return false;
    }
    item.state = static_cast<DownloadState>(state);
    item.requestedSegmentCount = requestedSegmentCount;

    // The count must fit in what is left of the file before anything is allocated for it.
    if (segmentCount < 0 || segmentCount > reader.left() / kSegmentEntryBytes) {
        return false;
    }
    item.segments.reserve(static_cast<std::size_t>(segmentCount));
    for (int32_t i = 0; i < segmentCount; ++i) {
        auto segment = std::make_unique<FileSegment>();
        segment->owner = &item;
        if (!reader.value(segment->start) || !reader.value(segment->size) ||
            !reader.value(segment->downloaded) || !validSegment(*segment, item.size)) {
            return false;
        }
        item.segments.push_back(std::move(segment));
    }
    return true;
}

}  // namespace

int64_t headerFieldOffset(const DownloadItem& item, int32_t field, int32_t segmentIndex) {
    if (field < HeaderStateSlot || field > HeaderSegmentDownloaded || segmentIndex < 0) {
        return -1;
    }
    int64_t offset = 0;
    const int32_t last = field < HeaderSegmentStart ? field : HeaderSegmentStart;
    for (int32_t before = HeaderStateSlot; before < last; ++before) {
        offset += fieldWidth(item, before);
    }
    if (field >= HeaderSegmentStart) {
        offset += kSegmentEntryBytes * segmentIndex + 8 * (field - HeaderSegmentStart);
    }
    return offset;
}

std::string headerFieldBytes(const DownloadItem& item, int32_t field, int32_t segmentIndex) {
    if (field >= HeaderSegmentStart && field <= HeaderSegmentDownloaded) {
        if (segmentIndex < 0 || static_cast<std::size_t>(segmentIndex) >= item.segments.size()) {
            return {};
        }
        const FileSegment& segment = *item.segments[static_cast<std::size_t>(segmentIndex)];
        const int64_t value = field == HeaderSegmentStart  ? segment.start
                              : field == HeaderSegmentSize ? segment.size
                                                           : segment.downloaded;
        return valueBytes(value);
    }
    switch (field) {
    case HeaderUrlLength:
        return valueBytes(textBytes(item.url));
    case HeaderUrl:
        return wideBytes(item.url);
    case HeaderImplicitTls:
        return std::string(1, item.implicitTls ? '\1' : '\0');
    case HeaderDisplayNameLength:
        return valueBytes(textBytes(item.displayFileName));
    case HeaderDisplayName:
        return wideBytes(item.displayFileName);
    case HeaderSavePathLength:
        return valueBytes(textBytes(item.savePath));
    case HeaderSavePath:
        return wideBytes(item.savePath);
    case HeaderDataPathLength:
        return valueBytes(textBytes(item.dataPath));
    case HeaderDataPath:
        return wideBytes(item.dataPath);
    case HeaderValidatorLength:
        return valueBytes(textBytes(slotValidator(item)));
    case HeaderValidator:
        return wideBytes(slotValidator(item));
    case HeaderRefererLength:
        return valueBytes(textBytes(item.referer));
    case HeaderReferer:
        return wideBytes(item.referer);
    case HeaderUserNameLength:
        return valueBytes(textBytes(item.userName));
    case HeaderUserName:
        return wideBytes(item.userName);
    case HeaderPasswordLength:
        return valueBytes(textBytes(item.password));
    case HeaderPassword:
        return wideBytes(item.password);
    case HeaderState:
        return valueBytes(static_cast<int32_t>(item.state));
    case HeaderSize:
        return valueBytes(item.size);
    case HeaderDownloaded:
        return valueBytes(item.downloaded);
    case HeaderElapsed:
        return valueBytes(item.elapsed);
    case HeaderRemaining:
        return valueBytes(item.remaining);
    case HeaderRemainingTime:
        return valueBytes(item.remainingTime);
    case HeaderRate:
        return valueBytes(item.rate);
    case HeaderWeight:
        return valueBytes(item.weight);
    case HeaderRequestedSegmentCount:
        return valueBytes(item.requestedSegmentCount);
    case HeaderSegmentCount:
        return valueBytes(static_cast<int32_t>(item.segments.size()));
    default:
        return {};
    }
}

std::wstring headerFileName(int32_t fileId, const std::wstring& scope) {
    return formatText(UnscrambleString(kNameFormat.chars).c_str(),
                      (UnscrambleString(kNameWord.chars) + scope).c_str(), fileId);
}

std::wstring headerFilePattern(const std::wstring& scope) {
    return formatText(UnscrambleString(kPatternFormat.chars).c_str(),
                      (UnscrambleString(kNameWord.chars) + scope).c_str());
}

int32_t headerFileId(const std::wstring& headerPath) {
    const std::size_t bar = headerPath.rfind(L'_');
    const std::size_t dot = headerPath.rfind(L'.');
    if (bar == std::wstring::npos || dot == std::wstring::npos || bar > dot) {
        return -1;
    }
    const int32_t fileId = parseInt32(headerPath.substr(bar + 1, dot - bar - 1), -1);
    return fileId < 0 ? -1 : fileId;
}

bool createHeaderFile(DownloadItem& item, const std::wstring& folder, LastErrorHolder& errors,
                      const std::wstring& scope) {
    const std::wstring path = folder + headerFileName(item.fileId, scope);
    ScopedHandle file = openFile(path, GENERIC_WRITE, 0, OPEN_ALWAYS);
    if (!file.valid()) {
        errors.setError(ErrHeaderFileCreate);
        return false;
    }
    item.headerPath = path;

    // The slot says "being written" until every field is in place.
    bool written = writeAt(file.get(), 0, valueBytes(uint32_t{0})) && FlushFileBuffers(file.get());
    for (int32_t field = HeaderUrlLength; written && field <= HeaderSegmentCount; ++field) {
        written = writeAt(file.get(), headerFieldOffset(item, field), headerFieldBytes(item, field));
    }
    for (std::size_t i = 0; written && i < item.segments.size(); ++i) {
        for (int32_t field = HeaderSegmentStart; written && field <= HeaderSegmentDownloaded; ++field) {
            const int32_t index = static_cast<int32_t>(i);
            written = writeAt(file.get(), headerFieldOffset(item, field, index),
                              headerFieldBytes(item, field, index));
        }
    }
    if (written) {
        // Cut off what an older file of the same name had beyond this header.
        const int64_t end =
            headerFieldOffset(item, HeaderSegmentStart, static_cast<int32_t>(item.segments.size()));
        LARGE_INTEGER position;
        position.QuadPart = end;
        written = SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()) &&
                  writeAt(file.get(), 0, valueBytes(kHeaderMagic));
    }
    if (!file.close() || !written) {
        errors.setError(ErrHeaderFileCreate);
        return false;
    }
    return true;
}

std::unique_ptr<DownloadItem> readHeaderFile(const std::wstring& headerPath, LastErrorHolder& errors,
                                             std::wstring* url) {
    ScopedHandle file = openFileForReading(headerPath);
    if (!file.valid()) {
        errors.setError(ErrHeaderFileOpen);
        return nullptr;
    }
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.get(), &fileSize)) {
        errors.setError(ErrHeaderFileRead);
        return nullptr;
    }
    HeaderReader reader(file.get(), fileSize.QuadPart);

    uint32_t slot = 0;
    std::wstring urlText;
    if (!reader.value(slot) || !reader.text(urlText)) {
        errors.setError(ErrHeaderFileRead);
        return nullptr;
    }
    if (url) {
        *url = urlText;
    }
    auto item = std::make_unique<DownloadItem>();
    if (!item->setUrl(urlText, false)) {
        errors.setError(ErrUrlParse);
        return nullptr;
    }
    if (slot != kHeaderMagic) {
        errors.setError(ErrHeaderNotClosed);
        return nullptr;
    }
    item->fileId = headerFileId(headerPath);
    if (item->fileId < 0 || !readBody(reader, *item)) {
        errors.setError(ErrHeaderFileRead);
        return nullptr;
    }
    item->headerPath = headerPath;
    return item;
}
