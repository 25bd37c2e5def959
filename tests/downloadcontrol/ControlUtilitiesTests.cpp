#include <gtest/gtest.h>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "support/TestSupport.h"

namespace {

std::string base64Of(const std::string& bytes, unsigned flags) {
    return base64Encode(bytes.data(), bytes.size(), flags);
}

TEST(StoredTexts, ScrambledTextsComeBackUnchanged) {
    static constexpr auto kEmpty = scrambleText(L"");
    static constexpr auto kShort = scrambleText(L"ab");
    static constexpr auto kOdd = scrambleText(L"Hello, world!");
    static constexpr auto kLong = scrambleText(L"GET %ls HTTP/1.1\r\nHost: %ls\r\nConnection: close\r\n\r\n");
    static constexpr auto kNarrow = scrambleText("USER anonymous\r\n");
    EXPECT_EQ(UnscrambleString(kEmpty.chars), L"");
    EXPECT_EQ(UnscrambleString(kShort.chars), L"ab");
    EXPECT_EQ(UnscrambleString(kOdd.chars), L"Hello, world!");
    EXPECT_EQ(UnscrambleString(kLong.chars), L"GET %ls HTTP/1.1\r\nHost: %ls\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(UnscrambleString(kNarrow.chars), "USER anonymous\r\n");
    // The stored form does not show the text.
    EXPECT_EQ(std::wstring(kOdd.chars).find(L"Hello"), std::wstring::npos);
}

TEST(StoredTexts, UnscramblingFollowsTheStoredLayout) {
    // Count 4 (28 - 24); n = 8, m = 4: swap 3 with 5 and 1 with 7, giving "xcabq.ry"; delete 2 at
    // 2 + (8 - 4) / 2 = 4, giving "xcabry"; then delete the first 2.
    const wchar_t stored[] = {28, L'x', L'y', L'a', L'.', L'q', L'b', L'r', L'c', 0};
    EXPECT_EQ(UnscrambleString(stored), L"abry");
}

TEST(StoredTexts, MalformedStoredTextsStayInBounds) {
    const wchar_t countTooLarge[] = {24 + 50, L'a', L'b', 0};
    const wchar_t countNegative[] = {3, L'a', L'b', L'c', L'd', L'e', 0};
    EXPECT_EQ(UnscrambleString(countTooLarge), L"");
    EXPECT_EQ(UnscrambleString(countNegative).size(), 5u);
    EXPECT_EQ(UnscrambleString(static_cast<const wchar_t*>(nullptr)), L"");
    EXPECT_EQ(UnscrambleString(""), "");
}

TEST(Numbers, RoundHalfUp) {
    EXPECT_EQ(roundHalfUp(1.5), 2);
    EXPECT_EQ(roundHalfUp(1.49), 1);
    EXPECT_EQ(roundHalfUp(0.0), 0);
    EXPECT_EQ(roundHalfUp(65530.0 * 0.99999), 65529);
    EXPECT_EQ(roundHalfUp(-1.5), -1);
    EXPECT_EQ(roundHalfUp(-1.2), -1);
    EXPECT_EQ(roundHalfUp(-1.7), -2);
}

TEST(Numbers, ParseAcceptsOnlyTheCanonicalDecimalForm) {
    EXPECT_EQ(parseInt32(L"42", -1), 42);
    EXPECT_EQ(parseInt32(L"-7", 0), -7);
    EXPECT_EQ(parseInt32(L"2147483647", 0), 2147483647);
    EXPECT_EQ(parseInt32(L"-2147483648", 0), INT32_MIN);
    for (const wchar_t* text :
         {L" 5", L"5 ", L"+5", L"007", L"1,000", L"1.5", L"", L"abc", L"2147483648", L"0x10"}) {
        EXPECT_EQ(parseInt32(text, -99), -99) << text;
    }
    EXPECT_EQ(parseInt64(L"1048576", -1), 1048576);
    EXPECT_EQ(parseInt64(L"-1", 0), -1);
    EXPECT_EQ(parseInt64(L"5000000000", -1), 5000000000LL);
    EXPECT_EQ(parseInt64(L"9007199254740993", -1), 9007199254740993LL);
    for (const wchar_t* text : {L" 5", L"+5", L"-0", L"99999999999999999999", L"", L"12a"}) {
        EXPECT_EQ(parseInt64(text, -1), -1) << text;
    }
}

TEST(Numbers, GroupedNumbersAndTimeSpans) {
    // The test runs with an English (United States) user locale.
    EXPECT_EQ(groupedNumber(int64_t{1234567}), L"1,234,567");
    EXPECT_EQ(groupedNumber(int64_t{-1234}), L"-1,234");
    EXPECT_EQ(groupedNumber(int64_t{12}), L"12");
    EXPECT_EQ(groupedNumber(1234.5, 2), L"1,234.50");
    EXPECT_EQ(groupedNumber(0.25, 1), L"0.3");
    EXPECT_EQ(timeSpanText(0), L"00:00:00");
    EXPECT_EQ(timeSpanText(int64_t{90061} * 10000000), L"25:01:01");
    EXPECT_EQ(timeSpanText(int64_t{59} * 10000000 + 9999999), L"00:00:59");
    EXPECT_EQ(timeSpanText(-5), L"00:00:00");
}

TEST(Base64, PaddingAndLineBreaks) {
    EXPECT_EQ(base64Of("abc", Base64Default), "YWJj");
    EXPECT_EQ(base64Of("a", Base64Default), "YQ==");
    EXPECT_EQ(base64Of("ab", Base64Default), "YWI=");
    EXPECT_EQ(base64Of("a", Base64NoPadding), "YQ");
    EXPECT_EQ(base64Of("ab", Base64NoPadding | Base64NoLineBreaks), "YWI");
    EXPECT_EQ(base64Of("", Base64Default), "");
    EXPECT_EQ(base64Of("user:pa\xffss", Base64NoLineBreaks), "dXNlcjpwYf9zcw==");

    // 57 bytes fill exactly one 76-character line; one more byte starts a second line.
    const std::string line(57, 'x');
    EXPECT_EQ(base64Of(line, Base64Default).size(), 76u);
    EXPECT_EQ(base64Of(line, Base64Default).find('\r'), std::string::npos);
    const std::string twoLines = base64Of(line + "x", Base64Default);
    EXPECT_EQ(twoLines.size(), 76u + 2u + 4u);
    EXPECT_EQ(twoLines.substr(76, 2), "\r\n");
    EXPECT_EQ(base64Of(line + "x", Base64NoLineBreaks).find('\r'), std::string::npos);

    for (std::size_t count : {0u, 1u, 2u, 3u, 56u, 57u, 58u, 114u, 115u, 1000u}) {
        for (unsigned flags = 0; flags < 4; ++flags) {
            EXPECT_EQ(base64EncodedLength(count, flags), base64Of(std::string(count, 'q'), flags).size())
                << count << " " << flags;
        }
    }
}

TEST(Text, ConversionsTrimCaseAndCompare) {
    EXPECT_EQ(wideToLowBytes(L"A\u0142z"), std::string("A\x42z"));
    EXPECT_EQ(bytesToWide(std::string("a\xe9\0b", 4)), std::wstring(L"a\u00e9\0b", 4));
    EXPECT_EQ(multiByteToWide("caf\xc3\xa9", CP_UTF8), L"caf\u00e9");
    EXPECT_EQ(ansiToWide("plain"), L"plain");
    EXPECT_EQ(wideToAnsi(L"plain"), "plain");

    EXPECT_EQ(trimText(L" \t a b \r\n"), L"a b");
    EXPECT_EQ(trimText(L"\u3000x\u3000"), L"x");
    EXPECT_EQ(trimText(L"   "), L"");
    EXPECT_EQ(toUpperText(L"Http://A\u00e9"), L"HTTP://A\u00c9");
    EXPECT_EQ(toLowerText(L"FTPS"), L"ftps");

    EXPECT_EQ(compareText(L"HTTP://X/a", L"http://x/A", false), 0);
    EXPECT_NE(compareText(L"HTTP://X/a", L"http://x/A", true), 0);
    EXPECT_EQ(compareText(L"a", L"b", false), -1);
    EXPECT_EQ(compareText(L"b", L"a", true), 1);
    // The sort keys find the same texts equal as the comparison does.
    const wchar_t* urls[] = {L"HTTP://X/\u00c9a", L"http://x/\u00e9A", L"http://x/a", L"http://x/ab",
                             L"http://x/a\u00e9"};
    for (const wchar_t* a : urls)
        for (const wchar_t* b : urls)
            EXPECT_EQ(caseBlindSortKey(a) == caseBlindSortKey(b), compareText(a, b, false) == 0)
                << a << " " << b;
}

TEST(Text, FormatUsesWideStringsAndGrows) {
    EXPECT_EQ(formatText(L"[%s]", L"ab"), L"[ab]");
    EXPECT_EQ(formatText(L"[%ls|%hs]", L"wide", "narrow"), L"[wide|narrow]");
    EXPECT_EQ(formatText(L"%I64d/%d", int64_t{-5000000000}, 7), L"-5000000000/7");
    const std::wstring longText(5000, L'z');
    EXPECT_EQ(formatText(L"<%ls>", longText.c_str()), L"<" + longText + L">");
    EXPECT_EQ(formatText(L""), L"");
}

TEST(Text, Split) {
    EXPECT_EQ(splitText(L"0;1;;10", L';'), (std::vector<std::wstring>{L"0", L"1", L"", L"10"}));
    EXPECT_EQ(splitText(L"", L';'), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(splitText(L";", L';'), (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(splitText(L"abc", L';'), (std::vector<std::wstring>{L"abc"}));
}

TEST(ReplyBuffers, HeaderBlockEnd) {
    std::size_t next = 0;
    const std::string crlf = "HTTP/1.1 200 OK\r\nA: b\r\n\r\nbody";
    EXPECT_EQ(findHeaderBlockEnd(crlf, 0, &next), 21);
    EXPECT_EQ(next, 25u);
    EXPECT_EQ(byteRangeToText(crlf, 0, 21), L"HTTP/1.1 200 OK\r\nA: b");
    EXPECT_EQ(bytesAfter(crlf, next), "body");

    const std::string lf = "HTTP/1.0 200 OK\nA: b\n\nrest";
    EXPECT_EQ(findHeaderBlockEnd(lf, 0, &next), 20);
    EXPECT_EQ(next, 22u);
    const std::string mixed = "X\r\n\nY";
    EXPECT_EQ(findHeaderBlockEnd(mixed, 0, &next), 1);
    EXPECT_EQ(next, 4u);

    // A second block after the first ("100 Continue" then the real reply).
    const std::string two = "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\n";
    ASSERT_EQ(findHeaderBlockEnd(two, 0, &next), 21);
    EXPECT_EQ(findHeaderBlockEnd(two, next, &next), 40);
    EXPECT_EQ(next, two.size());

    // Incomplete blocks, at every cut.
    for (std::size_t cut = 0; cut < crlf.size(); ++cut) {
        const std::string part = crlf.substr(0, cut);
        std::ptrdiff_t expected = cut >= 25 ? 21 : -1;
        EXPECT_EQ(findHeaderBlockEnd(part, 0, &next), expected) << cut;
    }
    EXPECT_EQ(bytesAfter("abc", 5), "");
    EXPECT_EQ(byteRangeToText("abc", 1, 99), L"bc");
    EXPECT_EQ(byteRangeToText("abc", 2, 1), L"");
}

TEST(UrlBlanks, EscapeAndUnescape) {
    EXPECT_EQ(escapeUrlBlanks(L"/a b/c  d.jpg"), L"/a%20b/c%20%20d.jpg");
    EXPECT_EQ(unescapeUrlBlanks(L"/a%20b/c%20%20d.jpg"), L"/a b/c  d.jpg");
    EXPECT_EQ(unescapeUrlBlanks(L"100%2"), L"100%2");
    EXPECT_EQ(unescapeUrlBlanksBeforeQuery(L"/my%20file.jpg?x=1%202"), L"/my file.jpg");
    EXPECT_EQ(unescapeUrlBlanksBeforeQuery(L"/plain"), L"/plain");
}

TEST(Paths, LongPathForms) {
    EXPECT_EQ(toLongPath(L"C:\\x\\y"), L"\\\\?\\C:\\x\\y");
    EXPECT_EQ(toLongPath(L"\\\\?\\C:\\x"), L"\\\\?\\C:\\x");
    EXPECT_EQ(toLongPath(L"  \\\\server\\share\\f "), L"\\\\?\\UNC\\server\\share\\f");
    EXPECT_EQ(toLongPath(L"\\\\?\\UNC\\server\\share"), L"\\\\?\\UNC\\server\\share");
    EXPECT_EQ(withoutLongPathPrefix(L"\\\\?\\UNC\\s\\t"), L"\\\\s\\t");
    EXPECT_EQ(withoutLongPathPrefix(L"\\\\?\\D:\\"), L"D:\\");
    EXPECT_EQ(rootOfPath(L"D:\\a\\b"), L"D:");
    EXPECT_EQ(rootOfPath(L"\\\\?\\D:\\a"), L"D:");
    EXPECT_EQ(rootOfPath(L"\\\\server\\share\\a"), L"\\\\server\\share");
    EXPECT_EQ(rootOfPath(L"\\\\server"), L"");
    EXPECT_EQ(rootOfPath(L"relative\\a"), L"");
    EXPECT_EQ(withTrailingBackslash(L"C:\\a"), L"C:\\a\\");
    EXPECT_EQ(withTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(withTrailingBackslash(L""), L"");
}

TEST(Files, FoldersAndFileAccess) {
    testsupport::TempFolder temp;
    const std::wstring deep = temp.file(L"one\\two\\three");
    EXPECT_TRUE(createFolders(deep));
    EXPECT_TRUE(createFolders(deep + L"\\"));  // already there
    EXPECT_FALSE(createFolders(L"relative\\folder"));

    const std::wstring path = deep + L"\\data.bin";
    {
        ScopedHandle file = openFileForWriting(path);
        ASSERT_TRUE(file.valid());
        EXPECT_TRUE(writeAll(file.get(), "0123456789", 10));
        // Not shared: a second writer is refused while the first holds it.
        EXPECT_FALSE(openFileForWriting(path).valid());
    }
    ScopedHandle reader = openFileForReading(path);
    ASSERT_TRUE(reader.valid());
    char buffer[8] = {};
    EXPECT_TRUE(readExactly(reader.get(), buffer, 8));
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_FALSE(readExactly(reader.get(), buffer, 8));  // only 2 bytes left
    EXPECT_FALSE(openFileForReading(temp.file(L"missing.bin")).valid());
}

LRESULT CALLBACK countingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Messages, PumpDispatchesAndKeepsQuit) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = countingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PumpTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"PumpTestWindow", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    int handled = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));

    PostMessageW(window, WM_APP, 0, 0);
    PostMessageW(window, WM_APP, 0, 0);
    EXPECT_FALSE(pumpMessages());
    EXPECT_EQ(handled, 2);

    PostMessageW(window, WM_CLOSE, 0, 0);  // DefWindowProc destroys the window
    EXPECT_TRUE(pumpMessages());
    EXPECT_FALSE(IsWindow(window));

    PostQuitMessage(7);
    EXPECT_TRUE(pumpMessages());
    // The quit request is still there for the thread's own loop.
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(pumpMessages());
}

TEST(Module, WinSockAndInstance) {
    EXPECT_TRUE(startWinSock());
    EXPECT_TRUE(isWinSockStarted());
    EXPECT_TRUE(startWinSock());  // once only
    stopWinSock();
    EXPECT_FALSE(isWinSockStarted());
    EXPECT_EQ(moduleInstance(), GetModuleHandleW(nullptr));  // linked into this program
}

}  // namespace
