// The start screen as a person first sees it on a 1280x1024 screen, and the work files that an
// earlier run left behind: gone once the program has started and again once it has ended.
#include <gtest/gtest.h>

#include "ProgramTests.h"
#include "common/RegistryValues.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace {

using programtest::Bounds;
using programtest::boundsOf;

const wchar_t* const kWorkFiles[] = {L"d9ff535a99e44cd28c270fbc83bc4215.txt",
                                     L"d9ff535a99e44cd28c270fbc83bc4215.txt.tmp",
                                     L"c1ff643818a94953906e449778f1791a.txt",
                                     L"c1ff643818a94953906e449778f1791a.txt.tmp",
                                     L"CurrentVersion.txt",
                                     L"CurrentVersion.txt.tmp"};

// What an earlier run leaves in the work folder, and a file of the user's that is none of it.
void plantEarlierRun(const std::wstring& work) {
    for (const wchar_t* folder : {L"", L"Thumbnails", L"Thumbnails\\kept", L"Viewer", L"Viewer\\kept"})
        CreateDirectoryW((work + folder).c_str(), nullptr);
    for (const wchar_t* name : kWorkFiles)
        ASSERT_TRUE(testsupport::writeFileBytes(work + name, "left over"));
    ASSERT_TRUE(testsupport::writeFileBytes(work + L"Thumbnails\\1234_5678.jpg", "jpeg"));
    ASSERT_TRUE(testsupport::writeFileBytes(work + L"Viewer\\1234_5678.mp4", "video"));
    ASSERT_TRUE(testsupport::writeFileBytes(work + L"notes.txt", "mine"));
}

void expectEarlierRunGone(const std::wstring& work, const char* when) {
    SCOPED_TRACE(when);
    for (const wchar_t* name : kWorkFiles)
        EXPECT_FALSE(testsupport::pathExists(work + name)) << testing::PrintToString(std::wstring(name));
    EXPECT_FALSE(testsupport::pathExists(work + L"Thumbnails\\1234_5678.jpg"));
    EXPECT_FALSE(testsupport::pathExists(work + L"Viewer\\1234_5678.mp4"));
    EXPECT_TRUE(testsupport::pathExists(work + L"Thumbnails\\kept"));
    EXPECT_TRUE(testsupport::pathExists(work + L"Viewer\\kept"));
    EXPECT_TRUE(testsupport::pathExists(work + L"notes.txt"));
}

TEST(StartScreen, TheFramedWindowIsCentredWithTheToolbarHidden) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    auto program = programtest::launch();
    ASSERT_TRUE(program);
    HWND window = program->mainWindow();
    EXPECT_TRUE(programtest::waitForBounds(window, Bounds{69, 80, 1143, 865})) << boundsOf(window);

    // Painted once the frame's corner shows; then the picture for the README.
    const Bounds bounds = boundsOf(window);
    const int h = bounds.height;
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            const testsupport::ScreenCapture shot = testsupport::ScreenCapture::ofWindow(window);
            return shot.at(1, 1) == RGB(255, 255, 255) && shot.at(1, h - 2) == RGB(0x00, 0xAE, 0xEF);
        },
        10000));
    const testsupport::ScreenCapture shot = testsupport::ScreenCapture::ofWindow(window);
    EXPECT_TRUE(shot.saveArtifact(L"start-screen.png"));
    EXPECT_EQ(shot.at(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(shot.at(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(shot.at(1, h - 2), RGB(0x00, 0xAE, 0xEF));

    // No toolbar: the area under the top panel is one window, taller than the toolbar would be.
    const int topPanelBottom = 3 + 85;
    HWND under =
        ChildWindowFromPointEx(window, POINT{bounds.width / 2, topPanelBottom + 10}, CWP_SKIPINVISIBLE);
    HWND lower =
        ChildWindowFromPointEx(window, POINT{bounds.width / 2, topPanelBottom + 70}, CWP_SKIPINVISIBLE);
    ASSERT_NE(under, window);
    EXPECT_EQ(under, lower);
    EXPECT_EQ(boundsOf(under).top, bounds.top + topPanelBottom);
}

TEST(StartScreen, AnEarlierRunsWorkFilesGoAtStartAndAtExitAndARestartStartsClean) {
    testsupport::TempFolder folder;
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.temporaryFolder = folder.path();
    const std::wstring work = folder.path() + L"Pixhaul\\";
    plantEarlierRun(work);

    auto program = programtest::launch(options);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->workFolder(), work);
    // With no stored check the start fetches the version file anew: once that is over, only the
    // fresh copy may stand, never the earlier run's.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return !testsupport::pathExists(work + L"CurrentVersion.txt.tmp") &&
                   testsupport::readFileBytes(work + L"CurrentVersion.txt") == "2.1\r\n";
        },
        10000));
    // The check is over once its time is stored; a close before that would leave the restart a
    // check of its own, whose fresh files would stand beside the planted ones.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            DWORD size = 0;
            return RegGetValueW(HKEY_CURRENT_USER, settingsKeyPath, L"lastCheckUpdateLow", RRF_RT_REG_DWORD,
                                nullptr, nullptr, &size) == ERROR_SUCCESS;
        },
        10000));
    DeleteFileW((work + L"CurrentVersion.txt").c_str());
    expectEarlierRunGone(work, "after the start");

    plantEarlierRun(work);
    program->requestClose();
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(program->exitCode(), 0u);
    expectEarlierRunGone(work, "after the exit");

    // The same folder and the settings the first run wrote: the second run starts as the first did.
    plantEarlierRun(work);
    options.clearSettings = false;
    auto again = programtest::launch(options);
    ASSERT_TRUE(again);
    expectEarlierRunGone(work, "after the restart");
    EXPECT_TRUE(programtest::waitForBounds(again->mainWindow(), Bounds{69, 80, 1143, 865}))
        << boundsOf(again->mainWindow());
    again->requestClose();
    ASSERT_TRUE(again->waitForExit());
    EXPECT_EQ(again->exitCode(), 0u);
}

}  // namespace
