#include "common/TextDecoder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct Decoded {
    std::wstring text;
    TextEncoding encoding;
};

Decoded decode(std::string bytes) {
    TextDecoder decoder;
    TextEncoding encoding = static_cast<TextEncoding>(-1);
    std::unique_ptr<std::wstring> text = decoder.decodeText(&bytes[0], bytes.size(), encoding);
    EXPECT_TRUE(text != nullptr);
    return Decoded{text ? *text : std::wstring(L"<null>"), encoding};
}

class TextDecoderTest : public testing::Test {
protected:
    void SetUp() override {
        // The ANSI expectations assume Western European text (LANG=en_US.UTF-8 under Wine).
        ASSERT_EQ(1252u, GetACP());
    }
};

TEST_F(TextDecoderTest, ByteOrderMarksDecide) {
    Decoded d = decode(
        "\xEF\xBB\xBF"
        "ab");
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Utf8WithMark, d.encoding);

    d =
        decode(std::string("\xFF\xFE"
                           "a\0b\0",
                           6));
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Utf16LE, d.encoding);

    d = decode(std::string("\xFE\xFF\0a\0b", 6));
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Utf16BE, d.encoding);

    // A mark alone is an empty text, not a failure.
    d = decode("\xEF\xBB\xBF");
    EXPECT_EQ(L"", d.text);
    EXPECT_EQ(TextEncoding::Utf8WithMark, d.encoding);
}

TEST_F(TextDecoderTest, OddTrailingByteAfterUtf16MarkIsDropped) {
    Decoded d =
        decode(std::string("\xFF\xFE"
                           "a\0b\0c",
                           7));
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Utf16LE, d.encoding);

    d = decode(std::string("\xFE\xFF\0a\0b\0", 7));
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Utf16BE, d.encoding);
}

TEST_F(TextDecoderTest, BigEndianInputIsSwappedInTheCallersBuffer) {
    std::string bytes("\xFE\xFF\x00\x61\x20\xAC", 6);  // a, euro sign
    TextDecoder decoder;
    TextEncoding encoding;
    std::unique_ptr<std::wstring> text = decoder.decodeText(&bytes[0], bytes.size(), encoding);
    ASSERT_TRUE(text);
    EXPECT_EQ(L"a\u20AC", *text);
    EXPECT_EQ(std::string("\xFE\xFF\x61\x00\xAC\x20", 6), bytes);
}

TEST_F(TextDecoderTest, PartialMarkGoesToTheScan) {
    Decoded d = decode("\xEF\xBB");
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
    EXPECT_EQ(L"\u00EF\u00BB", d.text);

    d = decode("\xFE");
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
}

TEST_F(TextDecoderTest, ScanFindsUtf8WithoutMark) {
    Decoded d = decode("a\xC3\xA9");
    EXPECT_EQ(L"a\u00E9", d.text);
    EXPECT_EQ(TextEncoding::Utf8, d.encoding);

    d = decode("\xE2\x82\xAC 5");
    EXPECT_EQ(L"\u20AC 5", d.text);
    EXPECT_EQ(TextEncoding::Utf8, d.encoding);

    d = decode("\xF0\x9F\x98\x80");
    EXPECT_EQ(L"\U0001F600", d.text);
    EXPECT_EQ(2u, d.text.size());
    EXPECT_EQ(TextEncoding::Utf8, d.encoding);

    d = decode("plain ascii");
    EXPECT_EQ(L"plain ascii", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
}

TEST_F(TextDecoderTest, LatinTextIsDecodedInTheAnsiCodePage) {
    Decoded d = decode(
        "a\xE9"
        "b");
    EXPECT_EQ(L"a\u00E9b", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    // A valid pair followed by a stray high byte.
    d = decode("\xC3\xA9\xE9");
    EXPECT_EQ(L"\u00C3\u00A9\u00E9", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    // A lead byte at the very end has no room for its continuation.
    d = decode("ab\xC3");
    EXPECT_EQ(L"ab\u00C3", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
}

TEST_F(TextDecoderTest, RejectedUtf8FallsBackToAnsiInsteadOfLosingTheText) {
    // A stray byte before a valid pair makes the scan say UTF-8; the strict conversion refuses it.
    Decoded d = decode("\xE9\xC3\xA9");
    EXPECT_EQ(L"\u00E9\u00C3\u00A9", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    // An overlong form passes the scan but not the conversion.
    d = decode("x\xC0\xAF");
    EXPECT_EQ(3u, d.text.size());
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    // Invalid bytes after a UTF-8 mark: the text after the mark is kept.
    d = decode(
        "\xEF\xBB\xBF"
        "caf\xE9");
    EXPECT_EQ(L"caf\u00E9", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);
}

TEST_F(TextDecoderTest, TextEndsAtTheFirstNul) {
    Decoded d = decode(std::string("ab\0cd", 5));
    EXPECT_EQ(L"ab", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    d = decode(std::string("\xC3\xA9\0\xC3\xA9", 5));
    EXPECT_EQ(L"\u00E9", d.text);
    EXPECT_EQ(TextEncoding::Utf8, d.encoding);

    d =
        decode(std::string("\xFF\xFE"
                           "a\0\0\0b\0",
                           8));
    EXPECT_EQ(L"a", d.text);
}

TEST_F(TextDecoderTest, EmptyBufferGivesEmptyAnsiText) {
    Decoded d = decode(std::string());
    EXPECT_EQ(L"", d.text);
    EXPECT_EQ(TextEncoding::Ansi, d.encoding);

    TextDecoder decoder;
    TextEncoding encoding;
    std::unique_ptr<std::wstring> text = decoder.decodeText(nullptr, 0, encoding);
    ASSERT_TRUE(text);
    EXPECT_EQ(L"", *text);
    EXPECT_EQ(TextEncoding::Ansi, encoding);
}

TEST_F(TextDecoderTest, SingleConversions) {
    TextDecoder decoder;
    EXPECT_EQ(L"", *decoder.decodeUtf8("\xE9", 1));
    EXPECT_EQ(L"\u00E9", *decoder.decodeUtf8("\xC3\xA9", 2));
    EXPECT_EQ(L"\u00E9", *decoder.decodeAnsi("\xE9", 1));
    EXPECT_EQ(L"a", *decoder.decodeUtf16LE("a\0b", 3));
    EXPECT_EQ(L"", *decoder.decodeUtf16LE("a", 1));
    EXPECT_EQ(L"", *decoder.decodeAnsi("", 0));

    unsigned char units[] = {1, 2, 3, 4, 5};
    TextDecoder::swapByteOrder(units, 2);
    EXPECT_EQ(2, units[0]);
    EXPECT_EQ(1, units[1]);
    EXPECT_EQ(4, units[2]);
    EXPECT_EQ(3, units[3]);
    EXPECT_EQ(5, units[4]);
}

TEST_F(TextDecoderTest, LargeUtf8PageDecodesWhole) {
    std::string page;
    for (int i = 0; i < 20000; ++i) {
        page += "{\"caption\":\"caf\xC3\xA9 \xF0\x9F\x98\x80\"},";
    }
    Decoded d = decode(page);
    EXPECT_EQ(TextEncoding::Utf8, d.encoding);
    EXPECT_EQ(20000u * 22u, d.text.size());
}

}  // namespace
