#pragma once
// Generated feed pages shaped like the service's: compact JSON with an "items" array of media
// objects (nested images, captions with non-ASCII text, escapes and emoji, scalar and object
// arrays, null values) and a closing "more_available". The same seed always gives the same page.
#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

struct FeedPage {
    std::wstring text;
    size_t itemCount = 0;
};

// Items are added until the text holds at least minimumLength characters.
FeedPage makeFeedPage(uint32_t seed, size_t minimumLength);

// A small deterministic random number generator (xorshift), the same on every platform.
class TestRandom {
public:
    explicit TestRandom(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // A number in [0, bound); bound must be positive.
    size_t below(size_t bound) { return next() % bound; }

private:
    uint32_t state_;
};

}  // namespace testsupport
