// The small windows of the running program, opened from the info menu and used by real clicks:
// remove-usernames with the history it leaves at close, about with its link, the temporary folder
// through the folder dialog and the starts that follow, and the close with no recommendation.
#include <gtest/gtest.h>

#include "common/RegistryValues.h"
#include "mainwindow/FormLayout.h"
#include "program/InfoMenu.h"
#include "program/MainRoadSupport.h"
#include "support/OpenedLinks.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace {

using programtest::InfoItem;
using testsupport::ProgramUnderTest;

void pressKey(WORD key) {
    testsupport::keyStroke(key, true);
    testsupport::keyStroke(key, false);
}

LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

// An edit's text, asked of the edit itself (another process's window).
std::wstring editText(HWND edit) {
    wchar_t text[MAX_PATH] = L"";
    const LRESULT length = ask(edit, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(length));
}

HWND childOfClass(HWND parent, const wchar_t* className) {
    HWND found = nullptr;
    std::pair<const wchar_t*, HWND*> search(className, &found);
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto* search = reinterpret_cast<std::pair<const wchar_t*, HWND*>*>(parameter);
            wchar_t name[64] = L"";
            GetClassNameW(child, name, 64);
            if (_wcsicmp(name, search->first) != 0)
                return TRUE;
            *search->second = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
}

// A point in a list row (rows are 15 pixels high).
POINT rowPoint(HWND list, int row) {
    RECT r{};
    GetWindowRect(list, &r);
    return POINT{r.left + 30, r.top + 2 + row * 15 + 7};
}

std::vector<std::wstring> storedUsernames() {
    HKEY key = nullptr;
    std::vector<std::wstring> strings;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        strings = regReadMultiString(key, L"usernames");
        RegCloseKey(key);
    }
    return strings;
}

std::wstring storedTemporaryFolder() {
    HKEY key = nullptr;
    std::wstring folder = L"<none>";
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (regValueExists(key, L"customTemporaryFolder"))
            folder = regReadString(key, L"customTemporaryFolder");
        RegCloseKey(key);
    }
    return folder;
}

// Starts the program on a settings key holding only the given history.
std::unique_ptr<ProgramUnderTest> launchWithHistory(const std::vector<std::wstring>& usernames) {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    regWriteMultiString(key, L"usernames", usernames);
    RegCloseKey(key);
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.clearSettings = false;
    return programtest::launch(options);
}

HWND openWindow(const ProgramUnderTest& program, InfoItem item, const std::wstring& title, bool userShown) {
    EXPECT_TRUE(programtest::chooseInfoMenuItem(program, userShown, item));
    HWND window = programtest::waitForWindowTitled(program, title);
    EXPECT_NE(window, nullptr) << testing::PrintToString(title);
    return window;
}

int fileCount(const std::wstring& folder) {
    int count = 0;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

TEST(SmallWindows, RemoveUsernamesTakesTheChosenNamesAndAboutOpensTheHomePage) {
    auto program = launchWithHistory({L"alice\nC:\\Saved\\alice", L"bob\n", L"carol\nC:\\Saved\\carol",
                                      L"dave\nC:\\Saved\\dave", L"erin\n"});
    ASSERT_TRUE(program);
    HWND window = openWindow(*program, InfoItem::RemoveUsernames, L"Remove Usernames", false);
    ASSERT_NE(window, nullptr);
    HWND list = childOfClass(window, L"ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ask(list, LB_GETCOUNT), 5);

    // Rows 1 and 3, the second with Ctrl held (let go once the list took the click), then Remove.
    programtest::click(rowPoint(list, 0));
    ASSERT_TRUE(testsupport::waitUntil([&] { return ask(list, LB_GETSEL, 0) > 0; }, 3000));
    ASSERT_TRUE(testsupport::holdModifier(VK_CONTROL, true));
    programtest::click(rowPoint(list, 2));
    const bool both = testsupport::waitUntil([&] { return ask(list, LB_GETSELCOUNT) == 2; }, 3000);
    testsupport::holdModifier(VK_CONTROL, false);
    EXPECT_TRUE(both);
    programtest::clickCentre(programtest::childWithText(window, L"Remove"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return ask(list, LB_GETCOUNT) == 3; }, 3000));
    programtest::clickCentre(programtest::childWithText(window, L"&Close"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return !IsWindowVisible(window); }, 3000));

    // About: the address opens the maker's home page.
    HWND about = openWindow(*program, InfoItem::About, L"About Pixhaul", false);
    ASSERT_NE(about, nullptr);
    {
        testsupport::OpenedLinks links;
        POINT address{69 + 20, 71 + 6};
        ClientToScreen(about, &address);
        programtest::click(address);
        const std::wstring home = L"http://" + programtest::site().makerHost() + L"/\n";
        EXPECT_EQ(links.waitForLog(), std::string(home.begin(), home.end()));
    }
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(testsupport::waitUntil([&] { return !IsWindowVisible(about); }, 3000));

    program->requestClose();
    ASSERT_TRUE(program->waitForExit());
    EXPECT_EQ(storedUsernames(), (std::vector<std::wstring>{L"bob\n", L"dave\nC:\\Saved\\dave", L"erin\n"}));
}

TEST(SmallWindows, TheWheelScrollsTheNamesAsFarWhereverTheFocusIsAndAnEmptyListIsTold) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 40; ++i)
        names.push_back(L"user" + std::to_wstring(i) + L"\n");
    auto program = launchWithHistory(names);
    ASSERT_TRUE(program);
    HWND window = openWindow(*program, InfoItem::RemoveUsernames, L"Remove Usernames", false);
    ASSERT_NE(window, nullptr);
    HWND list = childOfClass(window, L"ListBox");
    HWND remove = programtest::childWithText(window, L"Remove");
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const auto focus = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(thread, &info);
        return info.hwndFocus;
    };

    int scrolled[2] = {};
    for (int onList = 0; onList < 2; ++onList) {
        ask(list, LB_SETTOPINDEX, 0);
        if (onList) {
            programtest::click(rowPoint(list, 0));
        } else {
            // Remove with none chosen: the warning, and the focus stays on the button.
            programtest::clickCentre(remove);
            EXPECT_EQ(programtest::answerBox(*program, IDOK),
                      L"Please select username(s) you want to remove.");
        }
        ASSERT_TRUE(testsupport::waitUntil([&] { return focus() == (onList ? list : remove); }, 3000));
        testsupport::moveMouseTo(rowPoint(list, 3));
        testsupport::mouseWheel(-WHEEL_DELTA);
        ASSERT_TRUE(testsupport::waitUntil([&] { return ask(list, LB_GETTOPINDEX) > 0; }, 3000));
        scrolled[onList] = static_cast<int>(ask(list, LB_GETTOPINDEX));
    }
    EXPECT_EQ(scrolled[0], scrolled[1]);

    // Every name chosen and removed; then Remove tells that none are left.
    ask(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 39));
    programtest::clickCentre(remove);
    EXPECT_TRUE(testsupport::waitUntil([&] { return ask(list, LB_GETCOUNT) == 0; }, 3000));
    programtest::clickCentre(remove);
    EXPECT_EQ(programtest::answerBox(*program, IDOK), L"There are no usernames to remove.");
}

TEST(SmallWindows, ANewTemporaryFolderServesTheNextStartAndTheOldOneIsLeftEmpty) {
    testsupport::TempFolder custom;
    std::wstring chosen = custom.path();
    chosen.pop_back();
    const std::wstring takesEffect = L"New temporary folder will take effect next time you start Pixhaul.";

    mainroad::MainRoadSession session;
    ASSERT_TRUE(session.start());
    const std::wstring oldWork = session.program().workFolder();
    session.typeUserName(L"alice");
    ASSERT_TRUE(session.waitForThumbnailCount(45, 30000));

    // The window shows the folder this run was started in; the folder dialog opens at the folder
    // the custom edit names (set here as a person would browse to it) and OK takes it.
    HWND window = openWindow(session.program(), InfoItem::TemporaryFolder, L"Temporary Folder", true);
    ASSERT_NE(window, nullptr);
    programtest::clickCentre(programtest::childWithText(window, L"Custom folder"));
    HWND browse = programtest::childWithText(window, L"Browse...");
    ASSERT_TRUE(testsupport::waitUntil([&] { return IsWindowEnabled(browse) != FALSE; }, 3000));
    HWND customEdit = nullptr;
    for (HWND edit = FindWindowExW(window, nullptr, nullptr, nullptr); edit;
         edit = FindWindowExW(window, edit, nullptr, nullptr))
        if (editText(edit) + L"Pixhaul\\" == oldWork)
            customEdit = edit;
    ASSERT_NE(customEdit, nullptr) << "the run's folder is not shown";
    ask(customEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
    programtest::clickCentre(browse);
    // The dialog reads the drives before it shows: that can take a while on a busy machine.
    HWND dialog = session.program().waitForMessageBox(40000);
    ASSERT_NE(dialog, nullptr);
    ask(customEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    // The system's folder dialog is answered as the message boxes are: a real click on its OK was
    // not taken in about one run in six under load (the dialog showed its choice and stayed open),
    // and that dialog's own input is not what this test is about.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(testsupport::waitUntil([&] { return editText(customEdit) == chosen; }, 3000));
    testsupport::ScreenCapture::ofWindow(window).saveArtifact(L"temporary-folder-program.png");
    programtest::clickCentre(programtest::childWithText(window, L"OK"));
    EXPECT_EQ(programtest::answerBox(session.program(), IDOK), takesEffect);
    EXPECT_EQ(storedTemporaryFolder(), chosen);

    // This run keeps its folder: the next user's thumbnails still go there.
    session.typeUserName(L"bob");
    EXPECT_TRUE(session.waitForThumbnailCount(1, 20000));
    EXPECT_FALSE(testsupport::pathExists(custom.file(L"Pixhaul")));
    session.program().requestClose();
    ASSERT_TRUE(session.program().waitForExit());
    EXPECT_EQ(fileCount(oldWork + L"Thumbnails"), 0);

    // The next start works in the chosen folder; the old one stays empty.
    ASSERT_TRUE(session.start(false, "", custom.path()));
    EXPECT_EQ(session.program().workFolder(), custom.file(L"Pixhaul\\"));
    session.typeUserName(L"alice");
    EXPECT_TRUE(session.waitForThumbnailCount(45, 30000));
    EXPECT_EQ(fileCount(oldWork + L"Thumbnails"), 0);

    // Back to the system's folder: "" and the message again.
    window = openWindow(session.program(), InfoItem::TemporaryFolder, L"Temporary Folder", true);
    ASSERT_NE(window, nullptr);
    programtest::clickCentre(programtest::childWithText(window, L"Windows temporary folder"));
    programtest::clickCentre(programtest::childWithText(window, L"OK"));
    EXPECT_EQ(programtest::answerBox(session.program(), IDOK), takesEffect);
    EXPECT_EQ(storedTemporaryFolder(), L"");

    // Closed by its close button with alice loaded: no recommendation window on the way out. A
    // click right after the box closed may only activate the window: it is clicked again then.
    HWND main = session.program().mainWindow();
    const int topPanelWidth = programtest::boundsOf(main).width - 2 * formlayout::kFrame;
    const POINT close = programtest::windowPoint(
        main,
        formlayout::kFrame + topPanelWidth - formlayout::kCloseFromRight + formlayout::kWindowButtonWidth / 2,
        formlayout::kFrame + formlayout::kWindowButtonHeight / 2);
    testsupport::waitUntil([&] { return GetForegroundWindow() == main; }, 3000);
    bool recommended = false;
    for (int attempt = 0; attempt < 2 && session.program().running(); ++attempt) {
        programtest::click(close);
        programtest::parkPointer();
        testsupport::waitUntil(
            [&] {
                recommended = recommended || programtest::waitForWindowTitled(session.program(),
                                                                              L"Recommended by Pixhaul", 0);
                return !session.program().running();
            },
            10000);
    }
    EXPECT_FALSE(session.program().running());
    EXPECT_FALSE(recommended);
    EXPECT_EQ(session.program().exitCode(), 0u);
}

TEST(SmallWindows, AnUnusableTemporaryFolderGivesWayToTheSystemsWithOneWarning) {
    // A file named like the product folder stands where the work folder would be made.
    testsupport::TempFolder unusable;
    testsupport::TempFolder systemTemp;
    ASSERT_TRUE(testsupport::writeFileBytes(unusable.file(L"Pixhaul"), "a file"));
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.temporaryFolder = unusable.path();
    options.environment = {{L"TMP", systemTemp.path()}, {L"TEMP", systemTemp.path()}};
    ProgramUnderTest program(options);
    ASSERT_TRUE(program.start()) << program.failure();
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr) << "no warning";
    EXPECT_NE(ProgramUnderTest::messageBoxText(box).find(unusable.file(L"Pixhaul")), std::wstring::npos)
        << testing::PrintToString(ProgramUnderTest::messageBoxText(box));
    ProgramUnderTest::dismissMessageBox(box);
    EXPECT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_TRUE(testsupport::pathExists(systemTemp.file(L"Pixhaul\\Thumbnails")));
    EXPECT_EQ(program.waitForMessageBox(1000), nullptr);
}

}  // namespace
