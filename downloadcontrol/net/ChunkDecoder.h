#pragma once
// Removes the chunked transfer framing from a reply body. The bytes may arrive split anywhere; the
// decoder keeps its state between calls. The body ends at the last (zero-size) chunk; what follows it
// (trailer lines) is ignored.
#include <cstddef>
#include <cstdint>
#include <string>

class ChunkDecoder {
public:
    enum class Result { Ok, Malformed };

    // Longest size text (hex digits) and longest size line (with extension) taken.
    static constexpr std::size_t kMaximumSizeDigits = 16;
    static constexpr std::size_t kMaximumSizeLine = 4096;

    void reset();

    // Decodes `count` bytes of `input`, appending the body bytes to `output` (room for `count` more
    // bytes is enough) and adding their count to `written`.
    Result decode(const char* input, std::size_t count, char* output, std::size_t& written);

    // The last chunk has been seen: the body is complete.
    bool finished() const { return state_ == State::LastChunk; }

private:
    enum class State { Size, Extension, AfterSizeReturn, Data, AfterDataReturn, LastChunk };

    // Ends the size text; false when it is not a hex number that fits.
    bool takeSize();

    State state_ = State::Size;
    std::string sizeText_;
    std::size_t lineLength_ = 0;
    uint64_t left_ = 0;
};
