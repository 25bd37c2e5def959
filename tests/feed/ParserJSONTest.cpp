#include "feed/ParserJSON.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One result of ParserJSON::next, written "{key" (object start), "}key" (object end) or "key=value".
std::vector<std::wstring> read(const std::wstring& text) {
    ParserJSON reader;
    reader.setText(text.c_str());
    std::vector<std::wstring> results;
    std::wstring key;
    std::wstring value;
    bool objectStart = false;
    bool objectEnd = false;
    while (reader.next(key, value, objectStart, objectEnd)) {
        if (objectStart) {
            EXPECT_TRUE(value.empty());
            results.push_back(L"{" + key);
        } else if (objectEnd) {
            EXPECT_TRUE(value.empty());
            results.push_back(L"}" + key);
        } else {
            results.push_back(key + L"=" + value);
        }
    }
    EXPECT_TRUE(key.empty());
    EXPECT_FALSE(reader.next(key, value, objectStart, objectEnd));
    return results;
}

using Results = std::vector<std::wstring>;

TEST(ParserJSON, ReportsObjectsAndScalarsWithDotJoinedPaths) {
    EXPECT_EQ((Results{L"{", L"a=1", L"{b", L"b.c=x", L"b.d=2", L"}b", L"{e", L"e.f=3", L"}e", L"{e",
                       L"e.f=4", L"}e", L"g=true", L"}"}),
              read(L"{\"a\":1,\"b\":{\"c\":\"x\",\"d\":2},\"e\":[{\"f\":3},{\"f\":4}],\"g\":true}"));
    // The pending removals restore the outer path.
    EXPECT_EQ((Results{L"{", L"{i", L"{i.j", L"i.j.k=1", L"}i.j", L"}i", L"l=2", L"}"}),
              read(L"{\"i\":{\"j\":{\"k\":1}},\"l\":2}"));
}

TEST(ParserJSON, LiteralsAreTheirTextWithoutSignOrFraction) {
    EXPECT_EQ((Results{L"{", L"n=5", L"m=1", L"z=null", L"f=false", L"s=x", L"}"}),
              read(L"{\"n\":-5,\"m\":1.5,\"z\":null,\"f\":false,\"s\":\"x\"}"));
}

TEST(ParserJSON, ScalarArraysAreSkippedWithTheirKey) {
    EXPECT_EQ((Results{L"{", L"u=v", L"}"}), read(L"{\"t\":[\"a\",\"b\"],\"u\":\"v\"}"));
    EXPECT_EQ((Results{L"{", L"u=v", L"}"}), read(L"{\"t\":[\"a\"],\"u\":\"v\"}"));
    EXPECT_EQ((Results{L"{", L"u=v", L"}"}), read(L"{\"t\":[],\"u\":\"v\"}"));
    EXPECT_EQ((Results{L"{", L"u=v", L"}"}), read(L"{\"t\":[[1,2],[],[\"x\",null,true]],\"u\":\"v\"}"));
    EXPECT_EQ((Results{L"{", L"more_available=true", L"}"}), read(L"{\"x\":[],\"more_available\":true}"));
}

TEST(ParserJSON, AnEmptyArrayInsideAnItemKeepsTheFollowingItems) {
    EXPECT_EQ((Results{L"{", L"{items", L"items.id=1", L"{items.caption", L"items.caption.text=hi",
                       L"}items.caption", L"}items", L"{items", L"items.id=2", L"}items",
                       L"more_available=true", L"}"}),
              read(L"{\"items\":[{\"id\":\"1\",\"tags\":[],\"caption\":{\"text\":\"hi\"}},"
                   L"{\"id\":\"2\",\"users_in_photo\":[\"a\",\"b\"]}],\"more_available\":true}"));
}

TEST(ParserJSON, ObjectElementsOfArraysCarryTheArrayKey) {
    // After scalar elements, between them, and inside nested arrays.
    EXPECT_EQ((Results{L"{", L"{t", L"t.f=2", L"}t", L"{t", L"t.f=3", L"}t", L"u=1", L"}"}),
              read(L"{\"t\":[1,{\"f\":2},\"s\",{\"f\":3}],\"u\":1}"));
    EXPECT_EQ((Results{L"{", L"{m", L"m.a=1", L"}m", L"{m", L"m.a=2", L"}m", L"u=1", L"}"}),
              read(L"{\"m\":[[{\"a\":1}],[{\"a\":2}]],\"u\":1}"));
    EXPECT_EQ((Results{L"{", L"{x", L"{x.e", L"x.e.f=1", L"}x.e", L"}x", L"g=1", L"}"}),
              read(L"{\"x\":{\"e\":[{\"f\":1}]},\"g\":1}"));
    // An array at the top level has no key to give.
    EXPECT_EQ((Results{L"{", L"a=1", L"}", L"{", L"a=2", L"}"}), read(L"[{\"a\":1},{\"a\":2}]"));
}

TEST(ParserJSON, AnEmptyKeyIsStillAKey) {
    EXPECT_EQ((Results{L"{", L"=x", L"a=b", L"}"}), read(L"{\"\":\"x\",\"a\":\"b\"}"));
    EXPECT_EQ((Results{L"{", L"{o", L"{o.", L"o..k=1", L"}o.", L"o.n=2", L"}o", L"}"}),
              read(L"{\"o\":{\"\":{\"k\":1},\"n\":2}}"));
}

TEST(ParserJSON, KeysAreNotUnescapedAndValuesAre) {
    EXPECT_EQ((Results{L"{", L"a\\/b=a/b", L"u=\u00E9", L"w=a\\b", L"e=\U0001F305", L"}"}),
              read(L"{\"a\\/b\":\"a\\/b\",\"u\":\"\\u00e9\",\"w\":\"a\\\\b\",\"e\":\"\\ud83c\\udf05\"}"));
}

TEST(ParserJSON, TextCutShortEndsQuietly) {
    EXPECT_EQ((Results{L"{", L"a=bc"}), read(L"{\"a\":\"bc"));
    EXPECT_EQ((Results{L"{", L"a="}), read(L"{\"a\":\""));
    EXPECT_EQ((Results{L"{", L"a=b\\"}), read(L"{\"a\":\"b\\\\"));
    EXPECT_EQ((Results{L"{", L"a=b"}), read(L"{\"a\":\"b\\"));
    EXPECT_EQ((Results{L"{"}), read(L"{\"a\":"));
    EXPECT_EQ((Results{L"{"}), read(L"{\""));
    EXPECT_EQ((Results{L"{", L"{a"}), read(L"{\"a\":[{"));
    EXPECT_EQ((Results{}), read(L""));
}

TEST(ParserJSON, UnbalancedTextFollowsTheRules) {
    // A "}" with nothing open reports the current (empty) path.
    EXPECT_EQ((Results{L"}", L"a=1"}), read(L"}\"a\":1"));
    // An array left open ends with its object, so later keys are read again.
    EXPECT_EQ((Results{L"{", L"{x", L"}x", L"more_available=true", L"}"}),
              read(L"{\"x\":{\"a\":[1,},\"more_available\":true}"));
    // A "]" that closes nothing is ignored.
    EXPECT_EQ((Results{L"{", L"a=1", L"}"}), read(L"{]\"a\":1}"));
}

TEST(ParserJSON, NestingBeyondTheBoundEndsTheReading) {
    std::wstring text;
    for (size_t level = 0; level < 2000000; ++level)
        text += L"[{\"a\":";
    text += L"1";
    ParserJSON reader;
    reader.setText(text.c_str());
    std::wstring key;
    std::wstring value;
    bool objectStart = false;
    bool objectEnd = false;
    size_t starts = 0;
    while (reader.next(key, value, objectStart, objectEnd))
        starts += objectStart ? 1 : 0;
    EXPECT_EQ(kMaxJsonDepth / 2, starts);
    EXPECT_TRUE(reader.tooDeep());
    reader.setText(L"{\"a\":[{\"b\":1}]}");
    EXPECT_FALSE(reader.tooDeep());
}

TEST(ParserJSON, UnescapeResolvesEveryEscape) {
    EXPECT_EQ(L"", ParserJSON::unescape(L""));
    EXPECT_EQ(std::wstring(L"\"'?\\\a\b\f\n\r\t\v/q"),
              ParserJSON::unescape(L"\\\"\\'\\?\\\\\\a\\b\\f\\n\\r\\t\\v\\/\\q"));
    // An escaped backslash is not read again.
    EXPECT_EQ(L"\\u0041", ParserJSON::unescape(L"\\\\u0041"));
    EXPECT_EQ(L"ab", ParserJSON::unescape(L"ab\\"));
    EXPECT_EQ(std::wstring(L"a\0b", 3), ParserJSON::unescape(L"a\\u0000b"));
}

TEST(ParserJSON, UnicodeEscapesTakeExactlyFourHexDigits) {
    EXPECT_EQ(L"A\u00E9\uFFFF", ParserJSON::unescape(L"\\u0041\\u00E9\\uffff"));
    EXPECT_EQ(L"u12", ParserJSON::unescape(L"\\u12"));
    EXPECT_EQ(L"u", ParserJSON::unescape(L"\\u"));
    EXPECT_EQ(L"u12G4", ParserJSON::unescape(L"\\u12G4"));
    EXPECT_EQ(L"u12\n", ParserJSON::unescape(L"\\u12\\n"));
    EXPECT_EQ(L"\u12345", ParserJSON::unescape(L"\\u12345"));
    EXPECT_EQ(L"\U0001F305", ParserJSON::unescape(L"\\uD83C\\uDF05"));
}

TEST(ParserJSON, HexEscapesTakeTheWholeRunAndSaturate) {
    EXPECT_EQ(L"A!", ParserJSON::unescape(L"\\x41!"));
    EXPECT_EQ(L"\u1234", ParserJSON::unescape(L"\\x00001234"));
    EXPECT_EQ(L"\u5678", ParserJSON::unescape(L"\\x12345678"));
    EXPECT_EQ(L"\uFFFFz", ParserJSON::unescape(L"\\x" + std::wstring(40, L'9') + L"z"));
    EXPECT_EQ(L"xg", ParserJSON::unescape(L"\\xg"));
    EXPECT_EQ(L"x", ParserJSON::unescape(L"\\x"));
}

TEST(ParserJSON, UnescapeDropsQuotedSegments) {
    EXPECT_EQ(L"ad", ParserJSON::unescape(L"a\"bc\"d"));
    EXPECT_EQ(L"a", ParserJSON::unescape(L"a\"bc"));
    EXPECT_EQ(L"", ParserJSON::unescape(L"\"bc"));
    EXPECT_EQ(L"a\"b\"c", ParserJSON::unescape(L"a\\\"b\\\"c"));
    // A quote escaped inside a segment does not end it.
    EXPECT_EQ(L"ae", ParserJSON::unescape(L"a\"b\\\"c\"e"));
}

TEST(ParserJSON, UnescapeIsLinearOnLongEscapedText) {
    std::wstring raw;
    for (int i = 0; i < 400000; ++i) {
        raw += L"\\u00e9\\\\\\n\\x41";
    }
    const std::wstring result = ParserJSON::unescape(raw);
    ASSERT_EQ(400000u * 4, result.size());
    EXPECT_EQ(L"\u00E9\\\nA", result.substr(result.size() - 4));
}

TEST(ParserJSON, RecognisesHexDigits) {
    for (wchar_t c : std::wstring(L"0123456789abcdefABCDEF")) {
        EXPECT_TRUE(ParserJSON::isHexDigit(c)) << c;
    }
    for (wchar_t c : std::wstring(L"gG/:@`x \u0660\uFF10")) {
        EXPECT_FALSE(ParserJSON::isHexDigit(c)) << c;
    }
}

}  // namespace
