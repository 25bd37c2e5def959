#include <gtest/gtest.h>

#include "common/SafeFileName.h"

TEST(SafeFileName, TakesTheLastSegmentOfThePathWithoutQueryOrFragment) {
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example/u/s/AbC_123.JPG?sig=1/2#x/y", L"9"), L"abc_123.jpg");
    EXPECT_EQ(fileNameFromUrl(L"Plain-Name.MP4", L"9"), L"plain-name.mp4");
    // Only the path counts: a host alone, a folder or dots fall back to the item's id.
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example", L"Item 7"), L"item 7");
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example/a/", L"7"), L"7");
    EXPECT_EQ(fileNameFromUrl(L"http://cdn.example/a/..", L"7"), L"7");
    EXPECT_EQ(fileNameFromUrl(L"", L""), L"_");
    EXPECT_EQ(fileNameFromUrl(L"", L"a/b:c"), L"a_b_c");
}

TEST(SafeFileName, NeverLeavesTheFolderNorNamesAStreamOrDevice) {
    EXPECT_EQ(makeSafeFileName(L"..\\..\\evil.exe"), L".._.._evil.exe");
    EXPECT_EQ(makeSafeFileName(L"a:stream<>\"|?*\x01\x1f.jpg"), L"a_stream________.jpg");
    EXPECT_EQ(makeSafeFileName(L"name. . ."), L"name");
    EXPECT_EQ(makeSafeFileName(L"CON"), L"_con");
    EXPECT_EQ(makeSafeFileName(L"nul.jpg"), L"_nul.jpg");
    EXPECT_EQ(makeSafeFileName(L"Com7 .mp4"), L"_com7 .mp4");
    EXPECT_EQ(makeSafeFileName(L"lpt0.jpg"), L"lpt0.jpg");
    EXPECT_EQ(makeSafeFileName(L"console.jpg"), L"console.jpg");
    EXPECT_EQ(makeSafeFileName(std::wstring(400, L'x') + L".jpg").size(), 200u);
}

TEST(SafeFileName, WorkFilesKeepOnlyAShortPlainExtension) {
    const std::wstring hex = L"0123456789abcdef0123456789abcdef";
    EXPECT_EQ(workFileName(L"Alice", L"http://h/cdn/alice/l/1.JPG?x=.exe", hex), L"alice_" + hex + L".jpg");
    EXPECT_EQ(workFileName(L"alice", L"http://h/a.b/file", hex), L"alice_" + hex);
    EXPECT_EQ(workFileName(L"alice", L"http://h/f.jpeg12", hex), L"alice_" + hex);
    EXPECT_EQ(workFileName(L"alice", L"http://h/f.j_g", hex), L"alice_" + hex);
    EXPECT_EQ(workFileName(L"alice", L"http://h/f.", hex), L"alice_" + hex);
    EXPECT_EQ(workFileName(L"a/b", L"http://h/f.mp4", hex), L"a_b_" + hex + L".mp4");
    EXPECT_EQ(savedFileName(L"Alice", L"1.jpg"), L"alice_1.jpg");
}
