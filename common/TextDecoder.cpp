#include "common/TextDecoder.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace {

const size_t utf8MarkOffset = 0;
const size_t bigEndianMarkOffset = 3;
const size_t littleEndianMarkOffset = 5;
const size_t utf8MarkLengthIndex = 7;
const size_t bigEndianMarkLengthIndex = 8;
const size_t littleEndianMarkLengthIndex = 9;

bool isContinuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

bool continuationsFollow(const unsigned char* bytes, size_t length, size_t offset, size_t count) {
    if (length - offset <= count) {
        return false;
    }
    for (size_t i = 1; i <= count; ++i) {
        if (!isContinuation(bytes[offset + i])) {
            return false;
        }
    }
    return true;
}

// True when the bytes look like UTF-8: at least one valid multi-byte sequence and no invalid high
// byte after the first one. Stray high bytes before the first sequence are passed over.
bool looksLikeUtf8(const unsigned char* bytes, size_t length) {
    bool sequenceSeen = false;
    size_t offset = 0;
    while (offset < length) {
        const unsigned char byte = bytes[offset];
        size_t continuations = 0;
        if (byte < 0x80) {
            ++offset;
            continue;
        }
        if (byte >= 0xC0 && byte <= 0xDF) {
            continuations = 1;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            continuations = 2;
        } else if (byte >= 0xF0 && byte <= 0xF7) {
            continuations = 3;
        }
        if (continuations > 0 && continuationsFollow(bytes, length, offset, continuations)) {
            sequenceSeen = true;
            offset += continuations + 1;
        } else if (sequenceSeen) {
            return false;
        } else {
            ++offset;
        }
    }
    return sequenceSeen;
}

// Converts with MultiByteToWideChar. Null when memory ran out; converted is false when the system
// rejected the bytes (the text is then empty).
std::unique_ptr<std::wstring> convertMultiByte(UINT codePage, DWORD flags, const void* bytes, size_t length,
                                               bool& converted) {
    converted = true;
    try {
        auto text = std::make_unique<std::wstring>();
        if (length == 0) {
            return text;
        }
        if (length > static_cast<size_t>(INT_MAX)) {
            converted = false;
            return text;
        }
        const char* source = static_cast<const char*>(bytes);
        const int sourceLength = static_cast<int>(length);
        const int units = MultiByteToWideChar(codePage, flags, source, sourceLength, nullptr, 0);
        if (units <= 0) {
            converted = false;
            return text;
        }
        std::vector<wchar_t> buffer(static_cast<size_t>(units) + 1, L'\0');
        if (MultiByteToWideChar(codePage, flags, source, sourceLength, buffer.data(), units) != units) {
            converted = false;
            return text;
        }
        text->assign(buffer.data());
        return text;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

TextDecoder::TextDecoder() : marks_{0xEF, 0xBB, 0xBF, 0xFE, 0xFF, 0xFF, 0xFE, 3, 2, 2} {}

std::unique_ptr<std::wstring> TextDecoder::decodeText(void* bytes, size_t length,
                                                      TextEncoding& encoding) const {
    unsigned char* data = static_cast<unsigned char*>(bytes);
    if (data == nullptr) {
        length = 0;
    }

    const unsigned char* body = data;
    size_t bodyLength = length;
    bool utf8 = false;
    if (startsWithMark(data, length, utf8MarkOffset, marks_[utf8MarkLengthIndex])) {
        encoding = TextEncoding::Utf8WithMark;
        body += marks_[utf8MarkLengthIndex];
        bodyLength -= marks_[utf8MarkLengthIndex];
        utf8 = true;
    } else if (startsWithMark(data, length, littleEndianMarkOffset, marks_[littleEndianMarkLengthIndex])) {
        encoding = TextEncoding::Utf16LE;
        const size_t markLength = marks_[littleEndianMarkLengthIndex];
        return decodeUtf16LE(data + markLength, length - markLength);
    } else if (startsWithMark(data, length, bigEndianMarkOffset, marks_[bigEndianMarkLengthIndex])) {
        encoding = TextEncoding::Utf16BE;
        const size_t markLength = marks_[bigEndianMarkLengthIndex];
        swapByteOrder(data + markLength, (length - markLength) / 2);
        return decodeUtf16LE(data + markLength, length - markLength);
    } else if (looksLikeUtf8(data, length)) {
        encoding = TextEncoding::Utf8;
        utf8 = true;
    }

    if (utf8) {
        bool converted = false;
        std::unique_ptr<std::wstring> text =
            convertMultiByte(CP_UTF8, MB_ERR_INVALID_CHARS, body, bodyLength, converted);
        if (!text || converted) {
            return text;
        }
        // The scan accepts bytes the strict conversion rejects (overlong forms, stray bytes before
        // the first sequence); keep the text rather than lose it.
    }
    encoding = TextEncoding::Ansi;
    return decodeAnsi(body, bodyLength);
}

std::unique_ptr<std::wstring> TextDecoder::decodeUtf8(const void* bytes, size_t length) const {
    bool converted = false;
    return convertMultiByte(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, length, converted);
}

std::unique_ptr<std::wstring> TextDecoder::decodeAnsi(const void* bytes, size_t length) const {
    bool converted = false;
    return convertMultiByte(CP_ACP, 0, bytes, length, converted);
}

std::unique_ptr<std::wstring> TextDecoder::decodeUtf16LE(const void* bytes, size_t length) const {
    try {
        auto text = std::make_unique<std::wstring>();
        const size_t units = length / 2;
        if (units == 0) {
            return text;
        }
        std::vector<wchar_t> buffer(units + 1, L'\0');
        std::memcpy(buffer.data(), bytes, units * 2);
        text->assign(buffer.data());
        return text;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TextDecoder::swapByteOrder(void* units, size_t count) {
    unsigned char* bytes = static_cast<unsigned char*>(units);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char first = bytes[2 * i];
        bytes[2 * i] = bytes[2 * i + 1];
        bytes[2 * i + 1] = first;
    }
}

bool TextDecoder::startsWithMark(const unsigned char* bytes, size_t length, size_t markOffset,
                                 size_t markLength) const {
    return bytes != nullptr && length >= markLength &&
           std::memcmp(bytes, marks_ + markOffset, markLength) == 0;
}
