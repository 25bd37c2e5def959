// The update check as the running program makes it against the maker's site of the fixture.
#include <gtest/gtest.h>

#include "ProgramTests.h"
#include "support/TestSupport.h"

namespace {

std::wstring windowText(HWND window) {
    wchar_t text[64] = L"";
    GetWindowTextW(window, text, 64);
    return text;
}

TEST(UpdateCheck, WithNoStoredTimeTheStartChecksOnceAndOffersADifferentVersion) {
    testsupport::FixtureSite& site = programtest::site();
    ASSERT_TRUE(site.reset());
    ASSERT_TRUE(site.setMode("version=2.2"));
    {
        // The harness starts from no settings, so no check has been stored yet.
        auto program = programtest::launch();
        ASSERT_TRUE(program);
        HWND box = program->waitForMessageBox(20000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(windowText(box), L"Pixhaul");
        EXPECT_EQ(testsupport::ProgramUnderTest::messageBoxText(box),
                  L"New version of Pixhaul is available!\r\n\r\nDo you want to upgrade now?\r\n\r\n"
                  L"IMPORTANT: After you click \"Yes\" button you MUST close Pixhaul before you run "
                  L"Pixhaul installer.");
        EXPECT_EQ(site.countRequests("GET /CurrentVersion.txt"), 1);

        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
        EXPECT_TRUE(testsupport::waitUntil([&] { return !IsWindow(box); }, 5000));
        // No: nothing more is shown and nothing more is fetched.
        EXPECT_TRUE(program->waitForInputIdle());
        EXPECT_EQ(program->waitForMessageBox(0), nullptr);
        program->requestClose();
        EXPECT_TRUE(program->waitForExit());
    }
    EXPECT_EQ(site.countRequests("GET /CurrentVersion.txt"), 1);
    EXPECT_EQ(site.countRequests("GET /downloads/"), 0);
    site.reset();
}

}  // namespace
