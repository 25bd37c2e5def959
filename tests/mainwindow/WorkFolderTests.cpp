// The work folder rule and the thread that deletes work files.
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFiles.h"
#include "mainwindow/WorkFolder.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(WorkFolder, TheSettingGetsOneTrailingBackslashBeforeTheProductFolder) {
    EXPECT_EQ(workFolderUnder(customWorkBase(L"D:\\x")), L"D:\\x\\Pixhaul");
    EXPECT_EQ(workFolderUnder(customWorkBase(L"D:\\x\\")), L"D:\\x\\Pixhaul");
    EXPECT_EQ(customWorkBase(L""), L"");
    EXPECT_TRUE(isFullPath(L"C:\\work"));
    EXPECT_TRUE(isFullPath(L"\\\\server\\share\\"));
    EXPECT_FALSE(isFullPath(L"work\\here"));
    EXPECT_FALSE(isFullPath(L"C:work"));
    EXPECT_FALSE(isFullPath(L"\\work"));
    WorkPaths paths = workPathsFor(L"C:\\t\\Pixhaul");
    EXPECT_EQ(paths.thumbnailsFolder, L"C:\\t\\Pixhaul\\Thumbnails");
    EXPECT_EQ(paths.viewerFolder, L"C:\\t\\Pixhaul\\Viewer");
    EXPECT_EQ(paths.pageFilePath, L"C:\\t\\Pixhaul\\d9ff535a99e44cd28c270fbc83bc4215.txt");
    EXPECT_EQ(paths.secondWorkFilePath, L"C:\\t\\Pixhaul\\c1ff643818a94953906e449778f1791a.txt");
    EXPECT_EQ(paths.versionFilePath, L"C:\\t\\Pixhaul\\CurrentVersion.txt");
}

TEST(WorkFolder, AnUnusableSettingGivesWayToTheSystemFolder) {
    std::vector<std::wstring> tried;
    auto makeAll = [&](const std::wstring& folder) {
        tried.push_back(folder);
        return true;
    };
    auto makeNone = [&](const std::wstring& folder) {
        tried.push_back(folder);
        return false;
    };
    auto makeOnlyTemp = [&](const std::wstring& folder) {
        tried.push_back(folder);
        return folder.rfind(L"C:\\temp\\", 0) == 0;
    };
    WorkFolderChoice c = chooseWorkFolder(L"D:\\mine", L"C:\\temp\\", makeAll);
    EXPECT_TRUE(c.usable);
    EXPECT_EQ(c.folder, L"D:\\mine\\Pixhaul");

    c = chooseWorkFolder(L"", L"C:\\temp\\", makeAll);
    EXPECT_EQ(c.folder, L"C:\\temp\\Pixhaul");

    tried.clear();
    c = chooseWorkFolder(L"relative\\folder", L"C:\\temp\\", makeAll);
    EXPECT_EQ(c.folder, L"C:\\temp\\Pixhaul");
    EXPECT_EQ(tried.size(), 1u);  // a relative folder is never created

    c = chooseWorkFolder(L"Q:\\gone", L"C:\\temp\\", makeOnlyTemp);
    EXPECT_TRUE(c.usable);
    EXPECT_EQ(c.folder, L"C:\\temp\\Pixhaul");
    EXPECT_EQ(c.refusedCustom, L"Q:\\gone\\Pixhaul");  // named in the warning

    c = chooseWorkFolder(L"Q:\\gone", L"C:\\temp\\", makeNone);
    EXPECT_FALSE(c.usable);
    EXPECT_EQ(c.folder, L"C:\\temp\\Pixhaul");  // named in the warning
}

TEST(WorkFolder, CleaningRemovesTheWorkFilesAndKeepsSubFolders) {
    testsupport::TempFolder temp;
    WorkPaths paths = workPathsFor(temp.path() + L"Pixhaul");
    ASSERT_TRUE(makeWorkFolders(paths.folder));
    const std::wstring kept = paths.thumbnailsFolder + L"\\sub";
    CreateDirectoryW(kept.c_str(), nullptr);
    std::vector<std::wstring> files = {paths.pageFilePath,
                                       paths.pageFilePath + L".tmp",
                                       paths.secondWorkFilePath,
                                       paths.secondWorkFilePath + L".tmp",
                                       paths.versionFilePath,
                                       paths.versionFilePath + L".tmp",
                                       paths.thumbnailsFolder + L"\\a.jpg",
                                       paths.viewerFolder + L"\\b.mp4"};
    for (const auto& file : files)
        ASSERT_TRUE(testsupport::writeFileBytes(file, "x"));
    ASSERT_TRUE(testsupport::writeFileBytes(kept + L"\\c.jpg", "x"));
    deleteWorkFiles(paths);
    for (const auto& file : files)
        EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << file.c_str();
    EXPECT_NE(GetFileAttributesW((kept + L"\\c.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW((kept + L"\\c.jpg").c_str());
    RemoveDirectoryW(kept.c_str());
}

TEST(WorkFolder, TheDeletingThreadRemovesItsFilesAndFreesItself) {
    testsupport::TempFolder temp;
    std::vector<std::wstring> files = {temp.file(L"one.jpg"), temp.file(L"two.jpg")};
    for (const auto& file : files)
        ASSERT_TRUE(testsupport::writeFileBytes(file, "x"));
    ASSERT_TRUE(startDeleteFilesThread({files[0], files[1], temp.file(L"missing.jpg")}));
    const DWORD deadline = GetTickCount() + 5000;
    auto gone = [&] {
        return GetFileAttributesW(files[0].c_str()) == INVALID_FILE_ATTRIBUTES &&
               GetFileAttributesW(files[1].c_str()) == INVALID_FILE_ATTRIBUTES;
    };
    while (!gone() && static_cast<int>(deadline - GetTickCount()) > 0)
        Sleep(10);
    EXPECT_TRUE(gone());
}

TEST(UserNameBox, TheLoadingTextShowsOnlyAPositiveCount) {
    EXPECT_EQ(TForm1::loadingText(L"alice", 12), L"Loading alice's thumbnails (12 total)...");
    EXPECT_EQ(TForm1::loadingText(L"alice", 0), L"Loading alice's thumbnails...");
    EXPECT_EQ(TForm1::loadingText(L"alice", -1), L"Loading alice's thumbnails...");
}
