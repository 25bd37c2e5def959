#include "common/PathFunctions.h"

#include "common/StringKeyCollection.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace {

using testsupport::TempFolder;

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(PathFunctions, LongPathPrefixIsAddedOnce) {
    EXPECT_EQ(L"\\\\?\\D:\\a", makeLongPath(L"D:\\a"));
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\share\\x", makeLongPath(L"\\\\srv\\share\\x"));
    EXPECT_EQ(L"\\\\?\\D:\\a", makeLongPath(L"\\\\?\\D:\\a"));
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\share\\x", makeLongPath(L"\\\\?\\UNC\\srv\\share\\x"));
    EXPECT_EQ(L"\\\\?\\x", makeLongPath(L"x"));
    EXPECT_EQ(L"\\\\?\\D:\\a b", makeLongPath(L" \tD:\\a b  "));
    EXPECT_EQ(L"\\\\?\\D:\\a", makeLongPath(L"  \\\\?\\D:\\a "));
    // Nothing else is normalised.
    EXPECT_EQ(L"\\\\?\\D:/a\\..\\b", makeLongPath(L"D:/a\\..\\b"));
}

TEST(PathFunctions, LongPathPrefixIsStripped) {
    EXPECT_EQ(L"\\\\srv\\share", stripLongPathPrefix(L"\\\\?\\UNC\\srv\\share"));
    EXPECT_EQ(L"D:\\a", stripLongPathPrefix(L"\\\\?\\D:\\a"));
    EXPECT_EQ(L"D:\\a", stripLongPathPrefix(L" D:\\a "));
    EXPECT_EQ(L"", stripLongPathPrefix(L""));
}

TEST(PathFunctions, RootOfDriveAndNetworkPaths) {
    EXPECT_EQ(L"", pathRoot(L"\\\\srv"));
    EXPECT_EQ(L"\\\\srv\\share", pathRoot(L"\\\\srv\\share"));
    EXPECT_EQ(L"\\\\srv\\share", pathRoot(L"\\\\srv\\share\\dir"));
    EXPECT_EQ(L"D:", pathRoot(L"D:\\dir"));
    EXPECT_EQ(L"D:", pathRoot(L" D:"));
    EXPECT_EQ(L"", pathRoot(L"dir\\sub"));
    EXPECT_EQ(L"", pathRoot(L"D"));
    EXPECT_EQ(L"", pathRoot(L""));
}

TEST(PathFunctions, SplitsFolderAndFileName) {
    EXPECT_EQ(L"D:\\a\\", extractFilePath(L"D:\\a\\b.txt"));
    EXPECT_EQ(L"b.txt", extractFileName(L"D:\\a\\b.txt"));
    EXPECT_EQ(L"D:", extractFilePath(L"D:b.txt"));
    EXPECT_EQ(L"b.txt", extractFileName(L"D:b.txt"));
    EXPECT_EQ(L"b.txt", extractFilePath(L"b.txt"));
    EXPECT_EQ(L"b.txt", extractFileName(L"b.txt"));
    EXPECT_EQ(L"D:\\a\\", extractFilePath(L"D:\\a\\"));
    EXPECT_EQ(L"", extractFileName(L"D:\\a\\"));
    EXPECT_EQ(L"x/y.txt", extractFileName(L"D:\\x/y.txt"));  // a slash is no separator
}

TEST(PathFunctions, ExtensionWithoutKnownExtensions) {
    EXPECT_EQ(L".gz", fileExtension(L"D:\\archive.tar.gz"));
    EXPECT_EQ(L".", fileExtension(L"name."));
    EXPECT_EQ(L"", fileExtension(L"C:\\a.b\\c"));
    EXPECT_EQ(L"", fileExtension(L"noext"));
    EXPECT_EQ(L".jpg", fileExtension(L"photo.jpg"));
}

TEST(PathFunctions, ExtensionPrefersTheLongestKnownOne) {
    std::wstring tarGz = L"TAR.GZ";
    StringKeyCollection known;
    known.insert(StringKey(&tarGz, nullptr));
    EXPECT_EQ(L".tar.gz", fileExtension(L"D:\\archive.tar.gz", &known));
    EXPECT_EQ(L".TAR.GZ", fileExtension(L"ARCHIVE.TAR.GZ", &known));
    EXPECT_EQ(L".gz", fileExtension(L"D:\\my.archive.gz", &known));
    EXPECT_EQ(L"", fileExtension(L"name.", &known));
    EXPECT_EQ(L"", fileExtension(L"C:\\a.b\\c", &known));
    EXPECT_EQ(L".zip", fileExtension(L"C:\\a.b\\photos.zip", &known));

    StringKeyCollection empty;
    EXPECT_EQ(L".gz", fileExtension(L"archive.tar.gz", &empty));
}

TEST(PathFunctions, CreatesEveryMissingLevel) {
    TempFolder temp;
    const std::wstring deep = temp.file(L"one\\two\\three");
    EXPECT_TRUE(createDirectoryTree(deep));
    EXPECT_TRUE(isFolder(deep));
    // It exists now: nothing was created.
    EXPECT_FALSE(createDirectoryTree(deep));
    EXPECT_FALSE(createDirectoryTree(L"\\\\?\\" + deep));

    const std::wstring trailing = temp.file(L"x\\y\\");
    EXPECT_TRUE(createDirectoryTree(trailing));
    EXPECT_TRUE(isFolder(temp.file(L"x\\y")));

    const std::wstring prefixed = L"\\\\?\\" + temp.file(L"p\\q");
    EXPECT_TRUE(createDirectoryTree(prefixed));
    EXPECT_TRUE(isFolder(temp.file(L"p\\q")));
}

TEST(PathFunctions, RelativePathCreatesNothing) {
    TempFolder temp;
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.path().c_str()));
    const bool created = createDirectoryTree(L"rel\\sub");
    const bool appeared = testsupport::pathExists(temp.file(L"rel"));
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(created);
    EXPECT_FALSE(appeared);
}

TEST(PathFunctions, DeleteFolderFilesKeepsSubFolders) {
    TempFolder temp;
    const std::wstring folder = temp.file(L"work");
    ASSERT_TRUE(createDirectoryTree(folder + L"\\sub"));
    ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\a.tmp", "a"));
    ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\b", "b"));
    ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\sub\\c.jpg", "c"));

    deleteFolderFiles(folder);  // without a final backslash
    EXPECT_FALSE(testsupport::pathExists(folder + L"\\a.tmp"));
    EXPECT_FALSE(testsupport::pathExists(folder + L"\\b"));
    EXPECT_TRUE(isFolder(folder + L"\\sub"));
    EXPECT_TRUE(testsupport::pathExists(folder + L"\\sub\\c.jpg"));

    ASSERT_TRUE(testsupport::writeFileBytes(folder + L"\\d", "d"));
    deleteFolderFiles(folder + L"\\");
    EXPECT_FALSE(testsupport::pathExists(folder + L"\\d"));

    deleteFolderFiles(temp.file(L"missing"));  // nothing to do, no failure
}

TEST(PathFunctions, OpensAndReadsExistingFiles) {
    TempFolder temp;
    const std::wstring path = temp.file(L"data.bin");
    ASSERT_TRUE(testsupport::writeFileBytes(path, "hello world"));

    HANDLE file = openExistingFile(L" " + path + L" ", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char buffer[64] = {};
    EXPECT_EQ(5u, readFileBytes(file, buffer, 5));
    EXPECT_EQ(std::string("hello"), std::string(buffer, 5));
    EXPECT_EQ(6u, readFileBytes(file, buffer, sizeof buffer));
    EXPECT_EQ(0u, readFileBytes(file, buffer, sizeof buffer));  // end of the file
    EXPECT_TRUE(closeFileHandle(file));

    file = openExistingFileRaw(path, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(closeFileHandle(file));

    EXPECT_EQ(INVALID_HANDLE_VALUE, openExistingFile(temp.file(L"none"), GENERIC_READ, 0));
    EXPECT_EQ(0u, readFileBytes(INVALID_HANDLE_VALUE, buffer, 1));
}

class ShortcutTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    // Saves a shortcut; an empty target makes a link without a file-system path.
    static bool saveShortcut(const std::wstring& linkPath, const std::wstring& target,
                             const std::wstring& description) {
        Microsoft::WRL::ComPtr<IShellLinkW> link;
        Microsoft::WRL::ComPtr<IPersistFile> file;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)))) {
            return false;
        }
        if (!target.empty() && FAILED(link->SetPath(target.c_str()))) {
            return false;
        }
        if (target.empty() && FAILED(link->SetArguments(L"/nothing"))) {
            return false;
        }
        return SUCCEEDED(link->SetDescription(description.c_str())) && SUCCEEDED(link.As(&file)) &&
               SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
    }

    TempFolder temp;
};

TEST_F(ShortcutTest, ResolvesTargetAndDescription) {
    const std::wstring target = temp.file(L"photos");
    ASSERT_TRUE(createDirectoryTree(target));
    const std::wstring link = temp.file(L"photos.lnk");
    ASSERT_TRUE(saveShortcut(link, target, L"My photos"));

    wchar_t resolved[MAX_PATH] = L"stale";
    wchar_t description[260] = L"stale";
    ASSERT_TRUE(resolveShortcut(nullptr, link, resolved, MAX_PATH, description));
    EXPECT_EQ(0, lstrcmpiW(target.c_str(), resolved)) << testing::PrintToString(std::wstring(resolved));
    EXPECT_STREQ(L"My photos", description);

    wchar_t again[MAX_PATH];
    EXPECT_TRUE(resolveShortcut(nullptr, link, again, MAX_PATH));
    EXPECT_STREQ(resolved, again);
}

TEST_F(ShortcutTest, FailureLeavesEmptyTexts) {
    wchar_t resolved[MAX_PATH] = L"stale";
    wchar_t description[260] = L"stale";
    EXPECT_FALSE(resolveShortcut(nullptr, temp.file(L"missing.lnk"), resolved, MAX_PATH, description));
    EXPECT_STREQ(L"", resolved);
    EXPECT_STREQ(L"", description);

    ASSERT_TRUE(testsupport::writeFileBytes(temp.file(L"broken.lnk"), "not a shortcut"));
    wcscpy(resolved, L"stale");
    EXPECT_FALSE(resolveShortcut(nullptr, temp.file(L"broken.lnk"), resolved, MAX_PATH));
    EXPECT_STREQ(L"", resolved);

    EXPECT_FALSE(resolveShortcut(nullptr, temp.file(L"x.lnk"), nullptr, 0));
}

TEST_F(ShortcutTest, LinkWithoutFileSystemPathIsNotResolved) {
    const std::wstring link = temp.file(L"nopath.lnk");
    ASSERT_TRUE(saveShortcut(link, L"", L"no path"));
    wchar_t resolved[MAX_PATH] = L"stale";
    EXPECT_FALSE(resolveShortcut(nullptr, link, resolved, MAX_PATH));
    EXPECT_STREQ(L"", resolved);
}

}  // namespace
