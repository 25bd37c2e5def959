#include <gtest/gtest.h>

#include "common/SafeFileName.h"

TEST(SafeFileName, ServerTextGivesOnePlainNameInsideTheFolder) {
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example/u/AbC_1.JPG?sig=1/2#x/y", L"9"), L"abc_1.jpg");
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example/a/..", L"a/b:c"), L"a_b_c");
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example", L""), L"_");
    EXPECT_EQ(makeSafeFileName(L"..\\evil.exe:stream<>\"|?*\x01. ."), L".._evil.exe_stream_______");
    EXPECT_EQ(makeSafeFileName(L"Com7 .mp4"), L"_com7 .mp4");
    EXPECT_EQ(makeSafeFileName(L"console.jpg"), L"console.jpg");
    EXPECT_EQ(makeSafeFileName(std::wstring(300, L'X') + L".jpg"), std::wstring(196, L'x') + L".jpg");
    const std::wstring hex = L"0123456789abcdef0123456789abcdef";
    EXPECT_EQ(workFileName(L"A/b", L"http://h/c/1.JPG?x=.exe", hex), L"a_b_" + hex + L".jpg");
    EXPECT_EQ(workFileName(L"a", L"http://h/a.b/f.jpeg12", hex), L"a_" + hex);
}
