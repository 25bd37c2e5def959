// Ending the program, and starts that cannot go the usual way: the close button ends the process
// with code 0; a work folder that cannot be made, a Pxhl that is not registered and a malformed
// host variable each give the outcome the program promises instead of a silent failure.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include "ProgramTests.h"
#include "program/InfoMenu.h"
#include "mainwindow/FormLayout.h"
#include "support/RealInput.h"

namespace {

namespace L = formlayout;
using testsupport::ProgramUnderTest;

// Registers Pxhl.dll again at the end of a test that took it away.
struct PxhlRegisteredAfterwards {
    ~PxhlRegisteredAfterwards() { EXPECT_TRUE(testsupport::registerPxhl()); }
};

TEST(Close, TheCloseButtonEndsTheProcessWithCodeZero) {
    auto program = programtest::launch();
    ASSERT_TRUE(program);
    HWND window = program->mainWindow();
    const int topPanelWidth = programtest::boundsOf(window).width - 2 * L::kFrame;
    testsupport::leftClick(programtest::windowPoint(
        window, L::kFrame + topPanelWidth - L::kCloseFromRight + L::kWindowButtonWidth / 2,
        L::kFrame + L::kWindowButtonHeight / 2));
    programtest::parkPointer();
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(program->exitCode(), 0u);
}

TEST(StartFailure, AWorkFolderThatIsNoFullPathGivesWayToTheSystemFolder) {
    testsupport::TempFolder systemTemp;
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.temporaryFolder = L"relative\\work";
    options.environment = {{L"TMP", systemTemp.path()}, {L"TEMP", systemTemp.path()}};
    auto program = programtest::launch(options);
    ASSERT_TRUE(program);
    EXPECT_TRUE(testsupport::pathExists(systemTemp.path() + L"Pixhaul\\Thumbnails"));
    EXPECT_TRUE(testsupport::pathExists(systemTemp.path() + L"Pixhaul\\Viewer"));
    EXPECT_EQ(program->waitForMessageBox(0), nullptr);
}

TEST(StartFailure, WithNoUsableWorkFolderOneWarningNamesItAndTheWindowOpens) {
    // Folders under a file cannot be made, neither the setting's nor the system's.
    testsupport::TempFolder scratch;
    const std::wstring file = scratch.file(L"a-file");
    ASSERT_TRUE(testsupport::writeFileBytes(file, "not a folder"));
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.temporaryFolder = file + L"\\custom";
    options.environment = {{L"TMP", file + L"\\system"}, {L"TEMP", file + L"\\system"}};
    ProgramUnderTest program(options);
    ASSERT_TRUE(program.start()) << program.failure();
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr) << "no warning";
    EXPECT_NE(ProgramUnderTest::messageBoxText(box).find(file), std::wstring::npos)
        << testing::PrintToString(ProgramUnderTest::messageBoxText(box));
    // The answer is posted: the box may still show while the main window already does.
    ProgramUnderTest::dismissMessageBox(box);
    EXPECT_TRUE(testsupport::waitUntil([box] { return !IsWindowVisible(box); }, 5000));
    EXPECT_NE(program.waitForMainWindow(), nullptr);
    // Never checked before, the program starts an update check at once; with nowhere to keep the
    // version file it must not follow the warning with a server failure of its own. (It fails at
    // once when it fails: a second is ample.)
    HWND second = program.waitForMessageBox(1000);
    EXPECT_EQ(second, nullptr) << testing::PrintToString(second ? ProgramUnderTest::messageBoxText(second)
                                                                : std::wstring());
    if (second)
        ProgramUnderTest::dismissMessageBox(second);
    // Asked for, the check names the folder again rather than blaming the server.
    ASSERT_TRUE(programtest::chooseInfoMenuItem(program, false, programtest::InfoItem::CheckForUpdates));
    box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr) << "no answer to the check";
    EXPECT_NE(ProgramUnderTest::messageBoxText(box).find(file), std::wstring::npos)
        << testing::PrintToString(ProgramUnderTest::messageBoxText(box));
    ProgramUnderTest::dismissMessageBox(box);
}

TEST(StartFailure, WithoutTheRegisteredControlAMessageNamesItAndTheWindowStillOpens) {
    PxhlRegisteredAfterwards reregister;
    ASSERT_TRUE(testsupport::unregisterPxhl());
    ProgramUnderTest program(programtest::siteOptions());
    ASSERT_TRUE(program.start()) << program.failure();
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message about the control";
    EXPECT_NE(ProgramUnderTest::messageBoxText(box).find(L"Pxhl"), std::wstring::npos)
        << testing::PrintToString(ProgramUnderTest::messageBoxText(box));
    ProgramUnderTest::dismissMessageBox(box);
    EXPECT_NE(program.waitForMainWindow(), nullptr);
    program.requestClose();
    ASSERT_TRUE(program.waitForExit());
    EXPECT_EQ(program.exitCode(), 0u);
}

TEST(StartFailure, AMalformedHostStopsTheStartWithAMessageNamingTheVariable) {
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.serviceHost = L"127.0.0.1:http";
    ASSERT_TRUE(programtest::site().reset());
    ProgramUnderTest program(options);
    ASSERT_TRUE(program.start()) << program.failure();
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message about the host";
    EXPECT_NE(ProgramUnderTest::messageBoxText(box).find(L"PIXHAUL_SERVICE_HOST"), std::wstring::npos)
        << testing::PrintToString(ProgramUnderTest::messageBoxText(box));
    EXPECT_EQ(program.waitForMainWindow(0), nullptr);
    ProgramUnderTest::dismissMessageBox(box);
    EXPECT_TRUE(program.waitForExit());
    // Nothing went to the network on the way out.
    EXPECT_EQ(programtest::site().countRequests("GET "), 0);
}

}  // namespace
