#pragma once
// The control keeps its protocol texts, message and class names and descriptions in its binary only in
// scrambled form and turns each into text when it is used, with UnscrambleString (ControlUtilities.h).
//
// scrambleText produces the stored form at compile time, so the source shows the plain text while the
// binary holds only the scrambled one. Declare the result constexpr (usually static constexpr):
//
//     static constexpr auto kDataFileSuffix = scrambleText(L".tmp");
//     std::wstring suffix = UnscrambleString(kDataFileSuffix.chars);
//
// Stored form: one count character (padding + 24), then the text with `padding` filler characters
// inserted (half in front, the rest in the middle) and pairs of characters around the middle swapped.
#include <cstddef>

template <typename Char, std::size_t Size>
struct ScrambledText {
    Char chars[Size];  // null-terminated
};

// Filler characters added to a text of this length (3 to 6).
constexpr std::size_t scramblePadding(std::size_t length) {
    return 3 + length % 4;
}

template <typename Char, std::size_t N>
constexpr ScrambledText<Char, N + scramblePadding(N - 1) + 1> scrambleText(const Char (&plain)[N]) {
    const std::size_t length = N - 1;
    const std::size_t padding = scramblePadding(length);
    const std::size_t bodyLength = length + padding;
    ScrambledText<Char, N + scramblePadding(N - 1) + 1> result{};
    Char* body = result.chars + 1;

    // Lay out: front filler, first half of the text, middle filler, second half of the text.
    const std::size_t front = padding / 2;
    const std::size_t half = length / 2;
    std::size_t at = 0;
    for (std::size_t i = 0; i < front; ++i, ++at) {
        body[at] = static_cast<Char>('a' + (at * 7 + length) % 26);
    }
    for (std::size_t i = 0; i < half; ++i, ++at) {
        body[at] = plain[i];
    }
    for (std::size_t i = 0; i < padding - front; ++i, ++at) {
        body[at] = static_cast<Char>('a' + (at * 7 + length) % 26);
    }
    for (std::size_t i = half; i < length; ++i, ++at) {
        body[at] = plain[i];
    }

    // The swaps are their own inverse, so unscrambling repeats them.
    if (bodyLength > 3) {
        const std::size_t middle = bodyLength / 2;
        for (std::size_t k = 0; k < middle / 2; ++k) {
            const std::size_t left = middle - 1 - 2 * k;
            const std::size_t right = middle + 1 + 2 * k;
            if (right < bodyLength) {
                const Char kept = body[left];
                body[left] = body[right];
                body[right] = kept;
            }
        }
    }
    result.chars[0] = static_cast<Char>(padding + 24);
    result.chars[bodyLength + 1] = 0;
    return result;
}
