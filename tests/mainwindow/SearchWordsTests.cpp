#include "mainwindow/SearchWords.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> words(const std::wstring& text) {
    std::vector<std::wstring> out;
    for (const auto& word : parseSearchWords(text))
        out.push_back(*word);
    return out;
}

}  // namespace

TEST(SearchWords, SplitLikeCaptionsAndLowerCased) {
    EXPECT_EQ(words(L"Sun, SEA!"), (std::vector<std::wstring>{L"sun", L"sea"}));
    EXPECT_EQ(words(L"CAF\u00C9 #beach @friend (x)"),
              (std::vector<std::wstring>{L"caf\u00E9", L"beach", L"friend", L"x"}));
    // An emoji between words is a gap, not part of a word.
    EXPECT_EQ(words(L"sun\U0001F305sea"), (std::vector<std::wstring>{L"sun", L"sea"}));
}

TEST(SearchWords, BlankFieldsAreNoWords) {
    EXPECT_TRUE(words(L"").empty());
    EXPECT_TRUE(words(L"   ").empty());
    EXPECT_TRUE(words(L" , ; !? ").empty());
    // Control characters are blanks but not delimiters: such a field trims to nothing.
    EXPECT_EQ(words(L"sun \v\f sea"), (std::vector<std::wstring>{L"sun", L"sea"}));
}
