#pragma once
// Turns bytes that arrived from the network or a file into wide text, once, on arrival: a byte-order
// mark decides first, else a scan for UTF-8 sequences, else the system's ANSI code page.
#include <cstddef>
#include <memory>
#include <string>

// How decodeText took the bytes.
enum class TextEncoding : int {
    Ansi = 0,          // no mark and not (valid) UTF-8: the ANSI code page
    Utf8WithMark = 1,  // UTF-8 after its byte-order mark
    Utf8 = 2,          // UTF-8 found by the scan, no mark
    Utf16LE = 3,       // UTF-16 little-endian after its mark
    Utf16BE = 4,       // UTF-16 big-endian after its mark
};

class TextDecoder {
public:
    TextDecoder();

    // The decoded text, or null when memory ran out while building it. The text ends at the first
    // NUL character of the input. For big-endian input the bytes after the mark are byte-swapped in
    // the caller's buffer. Bytes taken as UTF-8 (by mark or scan) that the strict conversion rejects
    // are decoded in the ANSI code page instead and reported as Ansi, so a non-empty text is never
    // lost.
    std::unique_ptr<std::wstring> decodeText(void* bytes, size_t length, TextEncoding& encoding) const;

    // The single conversions. Each gives a new text (empty for an empty buffer), or null when memory
    // ran out. decodeUtf8 gives the empty text for bytes that are not valid UTF-8; decodeUtf16LE
    // drops an odd trailing byte.
    std::unique_ptr<std::wstring> decodeUtf8(const void* bytes, size_t length) const;
    std::unique_ptr<std::wstring> decodeUtf16LE(const void* bytes, size_t length) const;
    std::unique_ptr<std::wstring> decodeAnsi(const void* bytes, size_t length) const;

    // Swaps the two bytes of each of count 16-bit units in place (no alignment needed).
    static void swapByteOrder(void* units, size_t count);

private:
    // True when the buffer holds at least the mark's bytes and starts with them.
    bool startsWithMark(const unsigned char* bytes, size_t length, size_t markOffset,
                        size_t markLength) const;

    // The marks and their lengths: EF BB BF | FE FF | FF FE | 3 | 2 | 2.
    unsigned char marks_[10];
};
