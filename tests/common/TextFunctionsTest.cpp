#include "common/TextFunctions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

std::vector<std::wstring> split(const std::wstring& text, const std::wstring& delimiters, bool lowerCase) {
    std::vector<std::unique_ptr<std::wstring>> parts;
    splitString(text, delimiters, parts, lowerCase);
    std::vector<std::wstring> result;
    for (const auto& part : parts) {
        result.push_back(*part);
    }
    return result;
}

TEST(TextFunctions, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(1, roundHalfAwayFromZero(0.5));
    EXPECT_EQ(-1, roundHalfAwayFromZero(-0.5));
    EXPECT_EQ(1, roundHalfAwayFromZero(1.49));
    EXPECT_EQ(-1, roundHalfAwayFromZero(-1.49));
    EXPECT_EQ(3, roundHalfAwayFromZero(2.5));
    EXPECT_EQ(-3, roundHalfAwayFromZero(-2.5));
    EXPECT_EQ(-2, roundHalfAwayFromZero(-2.4));
    EXPECT_EQ(0, roundHalfAwayFromZero(0.49999999999999994));  // floor(x + 0.5) would give 1
    EXPECT_EQ(0, roundHalfAwayFromZero(-0.0));
}

TEST(TextFunctions, RoundingSaturatesOutsideTheIntRange) {
    EXPECT_EQ(INT_MAX, roundHalfAwayFromZero(1e12));
    EXPECT_EQ(INT_MIN, roundHalfAwayFromZero(-1e12));
    EXPECT_EQ(0, roundHalfAwayFromZero(std::nan("")));
}

TEST(TextFunctions, TrimRemovesSystemBlanksOnly) {
    EXPECT_EQ(L"abc", trimString(L" \tabc\u3000"));
    EXPECT_EQ(L"", trimString(L"   "));
    EXPECT_EQ(L"", trimString(L""));
    EXPECT_EQ(L"a b", trimString(L"\r\n a b \n"));
    EXPECT_EQ(L"x", trimString(L"x"));
    // The no-break space is not a blank to the system.
    EXPECT_EQ(L"\u00A0a", trimString(L"\u00A0a "));
}

TEST(TextFunctions, CaseConversionCoversTheWholeText) {
    EXPECT_EQ(L"ABC\u00C9", toUpperCase(L"aBc\u00E9"));
    EXPECT_EQ(L"abc\u00E9", toLowerCase(L"AbC\u00C9"));
    EXPECT_EQ(L"", toUpperCase(L""));
    EXPECT_EQ(L"AB", toUpperCase(std::wstring(L"ab\0cd", 5)));
}

TEST(TextFunctions, CompareGivesMinusOneZeroOrOne) {
    EXPECT_EQ(0, compareStrings(std::wstring(L"abc"), std::wstring(L"ABC"), false));
    EXPECT_NE(0, compareStrings(std::wstring(L"abc"), std::wstring(L"ABC"), true));
    EXPECT_EQ(-1, compareStrings(std::wstring(L"apple"), std::wstring(L"banana"), true));
    EXPECT_EQ(1, compareStrings(std::wstring(L"banana"), std::wstring(L"apple"), true));
    EXPECT_EQ(0, compareStrings(L"same", L"same", true));
    EXPECT_EQ(-1, compareStrings(L"", L"a", true));
    const wchar_t* samples[] = {L"", L"a", L"A", L"b", L"\u00E9", L"10", L"9", L"a-b"};
    for (const wchar_t* a : samples) {
        for (const wchar_t* b : samples) {
            const int r = compareStrings(a, b, true);
            EXPECT_TRUE(r == -1 || r == 0 || r == 1) << r;
            EXPECT_EQ(-r, compareStrings(b, a, true));
        }
    }
}

TEST(TextFunctions, CompareIsLinguisticNotOrdinal) {
    // Ordinally "B" (0x42) sorts before "a" (0x61); in the user's locale it does not.
    EXPECT_EQ(-1, compareStrings(L"a", L"B", true));
    // Lengths are explicit: an embedded NUL takes part in the comparison.
    EXPECT_NE(0, compareStrings(std::wstring(L"a\0b", 3), std::wstring(L"a\0c", 3), true));
}

TEST(TextFunctions, FormatPassesWideStringsToPercentS) {
    EXPECT_EQ(L"ab|1-2", formatString(L"%s|%u-%u", L"ab", 1u, 2u));
    EXPECT_EQ(L"C:\\dir\\name_*.*", formatString(L"%s\\%s_*.*", L"C:\\dir", L"name"));
    EXPECT_EQ(L"/media?max_id=123_456", formatString(L"/media?max_id=%s", L"123_456"));
    EXPECT_EQ(L"-5 0007 3.50 x", formatString(L"%d %04d %.2f %c", -5, 7, 3.5, L'x'));
    EXPECT_EQ(L"", formatString(L""));
}

TEST(TextFunctions, FormatHandlesLongResults) {
    const std::wstring word(5000, L'w');
    const std::wstring result = formatString(L"<%s>%d", word.c_str(), 42);
    ASSERT_EQ(word.size() + 4, result.size());
    EXPECT_EQ(L"<" + word + L">42", result);
}

TEST(TextFunctions, StringToIntAcceptsWholeNumbersOnly) {
    EXPECT_EQ(42, stringToInt(L"42", 7));
    EXPECT_EQ(-13, stringToInt(L"-13", 7));
    EXPECT_EQ(12, stringToInt(L" 12 ", 7));
    EXPECT_EQ(7, stringToInt(L"4.2", 7));
    EXPECT_EQ(7, stringToInt(L"2.5", 7));  // the integer parser alone would round it
    EXPECT_EQ(7, stringToInt(L"", 7));
    EXPECT_EQ(7, stringToInt(L"x", 7));
    EXPECT_EQ(7, stringToInt(L"2147483648", 7));
    EXPECT_EQ(2147483647, stringToInt(L"2147483647", 7));
}

TEST(TextFunctions, SplitSkipsEmptyFieldsAndTrims) {
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), split(L"a,,b ,", L",", false));
    EXPECT_EQ((std::vector<std::wstring>{L"a"}), split(L",A", L",", true));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"b"}), split(L"a, ,b", L",", false));
    EXPECT_EQ((std::vector<std::wstring>{L"Hello", L"World"}), split(L"Hello World", L" ,", false));
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two", L"three"}), split(L"#One,Two;three", L"#,;", true));
    EXPECT_TRUE(split(L"", L",", false).empty());
    EXPECT_TRUE(split(L",,,", L",", false).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"a,b"}), split(L"a,b", L"", false));
}

TEST(TextFunctions, SplitAppendsToTheCallersList) {
    std::vector<std::unique_ptr<std::wstring>> parts;
    parts.push_back(std::make_unique<std::wstring>(L"kept"));
    splitString(L"x y", L" ", parts, false);
    ASSERT_EQ(3u, parts.size());
    EXPECT_EQ(L"kept", *parts[0]);
    EXPECT_EQ(L"x", *parts[1]);
    EXPECT_EQ(L"y", *parts[2]);
}

TEST(TextFunctions, BlankSymbolsAndEmojiKeepsLettersAndDigits) {
    std::wstring text = L"hi!";
    blankSymbolsAndEmoji(text);
    EXPECT_EQ(L"hi ", text);

    text = L"a\U0001F600b";  // a grinning face: high unit 0xD83D
    ASSERT_EQ(4u, text.size());
    blankSymbolsAndEmoji(text);
    EXPECT_EQ(L"a  b", text);

    text = L"Caf\u00E9 42 #tag @me";
    blankSymbolsAndEmoji(text);
    EXPECT_EQ(L"Caf\u00E9 42  tag  me", text);

    // A high surrogate in the last position is compared like any other character.
    text = L"ab\xD83D";
    blankSymbolsAndEmoji(text);
    EXPECT_EQ(L"ab", text.substr(0, 2));
    EXPECT_EQ(3u, text.size());
}

TEST(TextFunctions, ConvertsOleAndAnsiStrings) {
    BSTR text = SysAllocString(L"Caption");
    EXPECT_EQ(L"Caption", wideStringToWString(text));
    SysFreeString(text);
    EXPECT_EQ(L"", wideStringToWString(static_cast<BSTR>(nullptr)));
    EXPECT_EQ(L"ab", wideStringToWString(L"ab\0cd", 5));

    // The ANSI code page is 1252 in the test environment.
    ASSERT_EQ(1252u, GetACP());
    EXPECT_EQ(L"caf\u00E9 \u20AC", ansiStringToWString("caf\xE9 \x80"));
    EXPECT_EQ(L"", ansiStringToWString(""));
}

}  // namespace
