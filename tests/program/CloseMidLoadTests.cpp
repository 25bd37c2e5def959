// Closing while the program still talks to the service: the close button ends the process with
// code 0 while a profile request is under way and never answered.
#include <gtest/gtest.h>

#include "ProgramTests.h"
#include "mainwindow/FormLayout.h"
#include "support/RealInput.h"

namespace {

namespace L = formlayout;

bool editHasFocus(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    wchar_t name[32] = L"";
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus && GetClassNameW(info.hwndFocus, name, 32) &&
           _wcsicmp(name, L"Edit") == 0;
}

void typeCharacter(wchar_t c) {
    INPUT input[2]{};
    for (INPUT& key : input) {
        key.type = INPUT_KEYBOARD;
        key.ki.wScan = c;
        key.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

TEST(CloseMidLoad, TheCloseButtonEndsTheProgramWhileAProfileStillLoads) {
    auto program = programtest::launch();
    ASSERT_TRUE(program);
    HWND window = program->mainWindow();
    ASSERT_TRUE(programtest::site().reset());

    // The user-name box, clicked until it has the focus; then the "stall" user, whose profile
    // never answers, and Enter.
    const POINT box = programtest::windowPoint(
        window, L::kFrame + L::kUserNamePanelLeft + 100,
        L::kFrame + (L::kTopPanelHeight - L::kUserNamePanelHeight) / 2 + L::kUserNamePanelHeight / 2);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    for (int attempt = 0; attempt < 3 && !editHasFocus(thread); ++attempt) {
        testsupport::leftClick(box);
        testsupport::waitUntil([&] { return editHasFocus(thread); }, 2000);
    }
    ASSERT_TRUE(editHasFocus(thread)) << "the user-name box did not take the focus";
    for (wchar_t c : std::wstring(L"stall"))
        typeCharacter(c);
    testsupport::keyStroke(VK_RETURN, true);
    testsupport::keyStroke(VK_RETURN, false);
    ASSERT_TRUE(
        testsupport::waitUntil([] { return programtest::site().countRequests("GET /stall") > 0; }, 10000))
        << "the profile was not requested";

    const int width = programtest::boundsOf(window).width;
    testsupport::leftClick(
        programtest::windowPoint(window, width - L::kFrame - L::kCloseFromRight + L::kWindowButtonWidth / 2,
                                 L::kFrame + L::kWindowButtonHeight / 2));
    programtest::parkPointer();
    // The window goes as soon as the close is taken; the process ends once the load is stopped.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !IsWindowVisible(window); }, 10000))
        << "the close click was not taken";
    ASSERT_TRUE(program->waitForExit()) << "the window went but the program did not end";
    EXPECT_EQ(program->exitCode(), 0u);
}

}  // namespace
