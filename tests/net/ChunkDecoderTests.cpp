#include <gtest/gtest.h>

#include <string>

#include "downloadcontrol/net/ChunkDecoder.h"

namespace {

// A body framed in uneven chunks, with an extension, upper-case and zero-padded sizes and a trailer.
const std::string kFramed =
    "1;name=value\r\na\r\n"
    "10\r\n0123456789abcdef\r\n"
    "00A\r\nABCDEFGHIJ\r\n"
    "3 \r\nxyz\n"
    "0\r\nX-Trailer: done\r\n\r\n";
const std::string kBody = "a0123456789abcdefABCDEFGHIJxyz";

struct Decoded {
    bool ok = true;
    bool finished = false;
    std::string body;
};

Decoded decodeInPieces(const std::string& framed, const std::vector<std::size_t>& cuts) {
    ChunkDecoder decoder;
    Decoded result;
    std::string output(framed.size(), '\0');
    std::size_t written = 0;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(framed.size());
    for (std::size_t end : ends) {
        if (decoder.decode(framed.data() + from, end - from, &output[0], written) !=
            ChunkDecoder::Result::Ok) {
            result.ok = false;
            break;
        }
        from = end;
    }
    result.body = output.substr(0, written);
    result.finished = decoder.finished();
    return result;
}

TEST(ChunkDecoder, GivesTheBodyForEverySplitOfTheInput) {
    const Decoded whole = decodeInPieces(kFramed, {});
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.body, kBody);
    EXPECT_TRUE(whole.finished);
    for (std::size_t first = 1; first < kFramed.size(); ++first) {
        for (std::size_t second = first; second < kFramed.size(); ++second) {
            const Decoded split = decodeInPieces(kFramed, {first, second});
            ASSERT_TRUE(split.ok) << "split at " << first << " and " << second;
            ASSERT_EQ(split.body, kBody) << "split at " << first << " and " << second;
            ASSERT_TRUE(split.finished);
        }
    }
}

TEST(ChunkDecoder, EndsAtTheLastChunkAndIgnoresWhatFollows) {
    const Decoded result = decodeInPieces("2\r\nhi\r\n0\r\n\r\ngarbage that is not framing", {});
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.body, "hi");

    const Decoded open = decodeInPieces("2\r\nhi\r\n", {});
    EXPECT_TRUE(open.ok);
    EXPECT_FALSE(open.finished) << "a body without its last chunk is not complete";
}

TEST(ChunkDecoder, RefusesMalformedSizeLines) {
    EXPECT_FALSE(decodeInPieces("zz\r\nhello\r\n", {}).ok);
    EXPECT_FALSE(decodeInPieces("\r\nhello\r\n", {}).ok) << "an empty size";
    EXPECT_FALSE(decodeInPieces(std::string(17, '1') + "\r\n", {}).ok) << "more than 64 bits of digits";
    EXPECT_FALSE(decodeInPieces("FFFFFFFFFFFFFFFF\r\n", {}).ok) << "beyond a signed 64-bit size";
    EXPECT_FALSE(decodeInPieces("5;" + std::string(10000, 'e') + "\r\nhello\r\n", {}).ok)
        << "endless extension";
    EXPECT_FALSE(decodeInPieces(std::string(100000, '1'), {}).ok) << "endless size text";
    EXPECT_FALSE(decodeInPieces("2\r\nhiX\r\n0\r\n\r\n", {}).ok) << "data longer than its chunk";
}

TEST(ChunkDecoder, TakesLargeChunkSizesAsSixtyFourBitNumbers) {
    ChunkDecoder decoder;
    std::string output(64, '\0');
    std::size_t written = 0;
    const std::string head = "7FFFFFFFFFFFFFFF\r\n0123456789";
    ASSERT_EQ(decoder.decode(head.data(), head.size(), &output[0], written), ChunkDecoder::Result::Ok);
    EXPECT_EQ(written, 10u);
    EXPECT_FALSE(decoder.finished());
}

}  // namespace
