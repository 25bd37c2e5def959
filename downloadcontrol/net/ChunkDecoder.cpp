#include "downloadcontrol/net/ChunkDecoder.h"

#include <algorithm>
#include <cstring>

void ChunkDecoder::reset() {
    state_ = State::Size;
    sizeText_.clear();
    lineLength_ = 0;
    left_ = 0;
}

bool ChunkDecoder::takeSize() {
    // Blanks around the digits are tolerated; anything else is not.
    std::size_t first = sizeText_.find_first_not_of(" \t");
    std::size_t last = sizeText_.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const std::string digits = sizeText_.substr(first, last - first + 1);
    sizeText_.clear();
    if (digits.size() > kMaximumSizeDigits) {
        return false;
    }
    uint64_t size = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        size = size * 16 + static_cast<uint64_t>(digit);
    }
    // Sizes travel on as signed 64-bit byte counts.
    if (size > static_cast<uint64_t>(INT64_MAX)) {
        return false;
    }
    left_ = size;
    return true;
}

ChunkDecoder::Result ChunkDecoder::decode(const char* input, std::size_t count, char* output,
                                          std::size_t& written) {
    std::size_t i = 0;
    while (i < count) {
        const char c = input[i];
        switch (state_) {
        case State::LastChunk:
            return Result::Ok;

        case State::Data:
            if (left_ > 0) {
                const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(left_, count - i));
                std::memcpy(output + written, input + i, take);
                written += take;
                left_ -= take;
                i += take;
                continue;
            }
            if (c == '\r') {
                state_ = State::AfterDataReturn;
            } else if (c == '\n') {
                state_ = State::Size;
                lineLength_ = 0;
            } else {
                return Result::Malformed;
            }
            break;

        case State::AfterDataReturn:
            if (c != '\n') {
                return Result::Malformed;
            }
            state_ = State::Size;
            lineLength_ = 0;
            break;

        case State::Size:
            if (++lineLength_ > kMaximumSizeLine) {
                return Result::Malformed;
            }
            if (c == ';' || c == '\r' || c == '\n') {
                if (!takeSize()) {
                    return Result::Malformed;
                }
                if (left_ == 0) {
                    state_ = State::LastChunk;
                } else if (c == ';') {
                    state_ = State::Extension;
                } else if (c == '\r') {
                    state_ = State::AfterSizeReturn;
                } else {
                    state_ = State::Data;
                }
            } else {
                if (sizeText_.size() >= kMaximumSizeDigits + 16) {
                    return Result::Malformed;
                }
                sizeText_.push_back(c);
            }
            break;

        case State::Extension:
        case State::AfterSizeReturn:
            if (++lineLength_ > kMaximumSizeLine) {
                return Result::Malformed;
            }
            if (c == '\n') {
                state_ = State::Data;
            } else if (c == '\r') {
                state_ = State::AfterSizeReturn;
            }
            break;
        }
        ++i;
    }
    return Result::Ok;
}
