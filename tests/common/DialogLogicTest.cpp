// The parts of the save, folder and print dialogs that need no window.
#include "common/DialogGeometry.h"
#include "common/WFolderDialog.h"
#include "common/WPrintDialog.h"
#include "common/WSaveDialog.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace {

using testsupport::TempFolder;

RECT rectAt(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}

TEST(DialogGeometry, FirstOpeningIsCentredAtNaturalSize) {
    DialogGeometry geometry;
    completeDialogGeometry(geometry, rectAt(0, 0, 401, 300), 1280, 1024);
    EXPECT_EQ(401, geometry.naturalWidth);
    EXPECT_EQ(300, geometry.naturalHeight);
    EXPECT_EQ(401, geometry.placement.width);
    EXPECT_EQ(300, geometry.placement.height);
    EXPECT_EQ(439, geometry.placement.x);  // (1280 - 401) / 2, toward zero
    EXPECT_EQ(362, geometry.placement.y);
}

TEST(DialogGeometry, WhatIsKnownIsKept) {
    DialogGeometry geometry;
    geometry.naturalWidth = 500;
    geometry.naturalHeight = 400;
    geometry.placement = DialogPlacement{10, 20, 600, 450};
    completeDialogGeometry(geometry, rectAt(100, 100, 300, 200), 1280, 1024);
    EXPECT_EQ(500, geometry.naturalWidth);
    EXPECT_EQ(400, geometry.naturalHeight);
    EXPECT_EQ(10, geometry.placement.x);
    EXPECT_EQ(20, geometry.placement.y);
    EXPECT_EQ(600, geometry.placement.width);
    EXPECT_EQ(450, geometry.placement.height);

    // A size without a place (the folder dialog's preset size) is centred at that size, and a
    // second dialog of another natural size does not change the recorded natural size.
    DialogGeometry preset;
    preset.naturalWidth = 500;
    preset.naturalHeight = 400;
    preset.placement.width = 440;
    preset.placement.height = 400;
    completeDialogGeometry(preset, rectAt(0, 0, 300, 200), 1280, 1024);
    EXPECT_EQ(500, preset.naturalWidth);
    EXPECT_EQ(420, preset.placement.x);
    EXPECT_EQ(312, preset.placement.y);
    EXPECT_EQ(440, preset.placement.width);

    // One unknown half of a pair counts as unknown for the whole pair.
    DialogGeometry half;
    half.placement.x = 77;
    completeDialogGeometry(half, rectAt(0, 0, 200, 100), 1000, 800);
    EXPECT_EQ(400, half.placement.x);
    EXPECT_EQ(350, half.placement.y);
}

TEST(DialogGeometry, DialogLargerThanTheScreenKeepsItsCaptionOnScreen) {
    DialogGeometry geometry;
    completeDialogGeometry(geometry, rectAt(0, 0, 900, 700), 800, 600);
    EXPECT_EQ(0, geometry.placement.x);
    EXPECT_EQ(0, geometry.placement.y);
    EXPECT_EQ(900, geometry.placement.width);
}

TEST(SaveDialogNames, FilterBecomesNulSeparatedList) {
    const std::vector<wchar_t> zip = makeDialogFilter(L"Zip archive (*.zip)|*.zip");
    const std::wstring expected(L"Zip archive (*.zip)\0*.zip\0\0", 27);
    EXPECT_EQ(expected, std::wstring(zip.begin(), zip.end()));

    const std::vector<wchar_t> two = makeDialogFilter(L"A|*.a|B|*.b;*.c");
    EXPECT_EQ(std::wstring(L"A\0*.a\0B\0*.b;*.c\0\0", 17), std::wstring(two.begin(), two.end()));

    EXPECT_TRUE(makeDialogFilter(L"").empty());
}

TEST(SaveDialogNames, DefaultExtensionIsAddedUnlessPresent) {
    EXPECT_EQ(L"C:\\out\\archive.Zip", completeSaveFileName(L"C:\\out\\archive.Zip", L"zip"));
    EXPECT_EQ(L"C:\\out\\archive.zip", completeSaveFileName(L"C:\\out\\archive", L"zip"));
    EXPECT_EQ(L"C:\\out\\photos.zip", completeSaveFileName(L"  C:\\out\\photos \t", L"zip"));
    EXPECT_EQ(L"photos.ZIP", completeSaveFileName(L"photos.ZIP", L"zip"));
    EXPECT_EQ(L"photos.tar.zip", completeSaveFileName(L"photos.tar", L"zip"));
    EXPECT_EQ(L"photos.zip.tar.zip", completeSaveFileName(L"photos.zip.tar", L"zip"));
    // A dot in a folder name is not an extension of the file.
    EXPECT_EQ(L"C:\\my.zip\\photos.zip", completeSaveFileName(L"C:\\my.zip\\photos", L"zip"));
    // A name that ends in a dot has no extension.
    EXPECT_EQ(L"photos..zip", completeSaveFileName(L"photos.", L"zip"));
    // Extensions of several parts are matched whole.
    EXPECT_EQ(L"a.TAR.GZ", completeSaveFileName(L"a.TAR.GZ", L"tar.gz"));
    EXPECT_EQ(L"a.gz.tar.gz", completeSaveFileName(L"a.gz", L"tar.gz"));
    // Without a default extension the name is only trimmed.
    EXPECT_EQ(L"photos.tar", completeSaveFileName(L" photos.tar ", L""));
}

TEST(PrintPageRanges, InitialRangeStaysWithinThePages) {
    const PrintPageRange normal = initialPrintPageRange(5, 1, 5);
    EXPECT_EQ(1, normal.fromPage);
    EXPECT_EQ(5, normal.toPage);
    const PrintPageRange outside = initialPrintPageRange(5, 0, 9);
    EXPECT_EQ(1, outside.fromPage);
    EXPECT_EQ(5, outside.toPage);
    const PrintPageRange reversed = initialPrintPageRange(5, 4, 2);
    EXPECT_EQ(4, reversed.fromPage);
    EXPECT_EQ(4, reversed.toPage);
    // The dialog counts pages in 16 bits.
    const PrintPageRange many = initialPrintPageRange(70000, 1, 70000);
    EXPECT_EQ(1, many.fromPage);
    EXPECT_EQ(65535, many.toPage);
}

TEST(PrintPageRanges, ConfirmedRangeIsTypedPagesOrAll) {
    const PrintPageRange typed = confirmedPrintPageRange(PD_PAGENUMS | PD_RETURNDC, 2, 3, 5);
    EXPECT_EQ(2, typed.fromPage);
    EXPECT_EQ(3, typed.toPage);
    const PrintPageRange all = confirmedPrintPageRange(PD_RETURNDC | PD_COLLATE, 2, 3, 5);
    EXPECT_EQ(1, all.fromPage);
    EXPECT_EQ(5, all.toPage);
    const PrintPageRange none = confirmedPrintPageRange(PD_RETURNDC, 0, 0, 0);
    EXPECT_EQ(1, none.fromPage);
    EXPECT_EQ(0, none.toPage);
    // All pages are all of them, beyond what the dialog could show.
    EXPECT_EQ(70000, confirmedPrintPageRange(0, 1, 65535, 70000).toPage);
}

class ChosenFolder : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    // An empty target makes a link without a file-system path.
    static bool saveShortcut(const std::wstring& linkPath, const std::wstring& target) {
        Microsoft::WRL::ComPtr<IShellLinkW> link;
        Microsoft::WRL::ComPtr<IPersistFile> file;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)))) {
            return false;
        }
        if (!target.empty() && FAILED(link->SetPath(target.c_str()))) {
            return false;
        }
        return SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
    }

    TempFolder temp;
};

TEST_F(ChosenFolder, PlainFolderIsTakenAsItIs) {
    EXPECT_EQ(temp.file(L"photos"), chosenFolderPath(nullptr, temp.file(L"photos")));
    EXPECT_EQ(L"", chosenFolderPath(nullptr, L""));
}

TEST_F(ChosenFolder, ShortcutGivesItsTarget) {
    const std::wstring target = temp.file(L"photos");
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(saveShortcut(temp.file(L"Photos.LNK"), target));
    EXPECT_EQ(0, lstrcmpiW(target.c_str(), chosenFolderPath(nullptr, temp.file(L"Photos.LNK")).c_str()));
}

TEST_F(ChosenFolder, ShortcutThatDoesNotResolveGivesNothing) {
    ASSERT_TRUE(testsupport::writeFileBytes(temp.file(L"broken.lnk"), "not a shortcut"));
    EXPECT_EQ(L"", chosenFolderPath(nullptr, temp.file(L"broken.lnk")));
    ASSERT_TRUE(saveShortcut(temp.file(L"nopath.lnk"), L""));
    EXPECT_EQ(L"", chosenFolderPath(nullptr, temp.file(L"nopath.lnk")));
    EXPECT_EQ(L"", chosenFolderPath(nullptr, temp.file(L"missing.lnk")));
}

}  // namespace
