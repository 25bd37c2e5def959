// The small windows in this process, driven as a person would: real clicks, keys and wheel
// turns, real message boxes read and answered, the real folder dialog, links handed to Wine's
// browser launcher (pointed at a logging stand-in), and screenshots for a person to look at.
#include "common/DialogAnswerer.h"
#include "common/RegistryValues.h"
#include "common/StringKeyCollection.h"
#include "controls/HoverProtocol.h"
#include "forms/UnitAbout.h"
#include "forms/UnitRecommend.h"
#include "forms/UnitRemoveUsernames.h"
#include "forms/UnitTemporaryFolder.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "gui/Screen.h"
#include "support/ApplicationPump.h"
#include "support/OpenedLinks.h"
#include "support/ProgramUnderTest.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace gui;
using testsupport::ScreenCapture;

namespace {

// OLE and the application object for the whole run.
struct ApplicationEnvironment : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
    OleInitializer ole;
    TApplication application;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    return testsupport::pumpApplicationUntil(done, timeoutMs);
}

void showInFront(TForm* form) {
    controls::centerOnScreen(form);
    form->Show();
    ASSERT_TRUE(pumpUntil([form] { return GetForegroundWindow() == form->Handle(); }));
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

POINT centreOf(TControl* control) {
    return control->ClientToScreen(POINT{control->Width() / 2, control->Height() / 2});
}

void turnWheel(int delta) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    SendInput(1, &input, sizeof(input));
}

// Runs action and answers the message box it shows with button; the box's text, or "" when none
// showed.
std::wstring answerBox(const std::function<void()>& action, int button = IDOK) {
    std::wstring text;
    DialogAnswerer answerer([&text, button](HWND box) {
        text = windowText(GetDlgItem(box, 0xFFFF));
        pressDialogButton(box, button);
    });
    action();
    answerer.finish();
    EXPECT_FALSE(answerer.answerLeftDialogOpen());
    return text;
}

// The main window's history as the remove-usernames window is handed it.
struct History {
    explicit History(const std::vector<std::wstring>& names) {
        list->SetParent(owner.get());
        for (const std::wstring& name : names)
            list->Items()->Add(L"\t" + name);
    }
    ~History() {
        StringKey entry;  // the main window frees its folder map's texts the same way
        for (bool more = folders.first(entry); more; more = folders.next(entry)) {
            delete entry.text;
            delete static_cast<std::wstring*>(entry.value);
        }
        folders.clear();
    }
    void addFolder(const std::wstring& name, const std::wstring& folder) {
        folders.insert(StringKey(new std::wstring(name), new std::wstring(folder)));
    }
    static std::vector<std::wstring> rows(TListBox* box) {
        std::vector<std::wstring> rows;
        for (int i = 0; i < box->Items()->Count(); ++i)
            rows.push_back(box->Items()->Strings(i));
        return rows;
    }
    std::unique_ptr<TForm> owner = std::make_unique<TForm>(nullptr);
    TListBox* list = new TListBox(owner.get());
    StringKeyCollection folders;
};

std::wstring storedTemporaryFolder() {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, settingsKeyPath, L"customTemporaryFolder", RRF_RT_REG_SZ, nullptr,
                        value, &size) == ERROR_SUCCESS
               ? value
               : L"<none>";
}

}  // namespace

TEST(RemoveUsernamesWindow, ChosenNamesLeaveBothListsWithTheirFolders) {
    History history({L"alice", L"bob", L"carol", L"dave", L"erin"});
    history.addFolder(L"alice", L"C:\\saved\\alice");
    history.addFolder(L"bob", L"C:\\saved\\bob");
    history.addFolder(L"dave", L"C:\\saved\\dave");
    std::unique_ptr<TFormRemoveUsernames> form(new TFormRemoveUsernames(nullptr));
    form->AfterConstruction();
    form->setHistory(history.list, &history.folders);
    showInFront(form.get());
    TListBox* box = form->userNamesListBox;

    // Rows 1 and 3, the second with Ctrl held (let go once the list took the click), then Remove:
    // all by hand.
    testsupport::leftClick(box->ClientToScreen(POINT{20, box->ItemRect(0).top + 7}));
    ASSERT_TRUE(pumpUntil([box] { return box->Selected(0); }));
    ASSERT_TRUE(testsupport::holdModifier(VK_CONTROL, true));
    testsupport::leftClick(box->ClientToScreen(POINT{20, box->ItemRect(2).top + 7}));
    const bool both = pumpUntil([box] { return box->Selected(2) && box->SelCount() == 2; });
    testsupport::holdModifier(VK_CONTROL, false);
    ASSERT_TRUE(both);
    ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"remove-usernames.png");
    testsupport::leftClick(centreOf(form->removeButton));
    ASSERT_TRUE(pumpUntil([box] { return box->Items()->Count() == 3; }));

    const std::vector<std::wstring> left{L"\tbob", L"\tdave", L"\terin"};
    EXPECT_EQ(History::rows(box), left);
    EXPECT_EQ(History::rows(history.list), left);
    EXPECT_FALSE(history.folders.contains(L"alice"));
    EXPECT_TRUE(history.folders.contains(L"bob"));
    EXPECT_TRUE(history.folders.contains(L"dave"));

    // Nothing selected now: the warning. An empty list: the information.
    EXPECT_EQ(answerBox([&] { form->removeButton->Click(); }),
              L"Please select username(s) you want to remove.");
    History empty({});
    form->setHistory(empty.list, &empty.folders);
    EXPECT_EQ(answerBox([&] { form->removeButton->Click(); }), L"There are no usernames to remove.");
}

TEST(RemoveUsernamesWindow, OneWheelNotchScrollsTheListAsFarWhereverTheFocusIs) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 40; ++i)
        names.push_back(L"user" + std::to_wstring(i));
    History history(names);
    std::unique_ptr<TFormRemoveUsernames> form(new TFormRemoveUsernames(nullptr));
    form->AfterConstruction();
    form->setHistory(history.list, &history.folders);
    showInFront(form.get());
    TListBox* box = form->userNamesListBox;
    testsupport::moveMouseTo(centreOf(box));

    int scrolled[2] = {};
    for (TWinControl* focus :
         {static_cast<TWinControl*>(form->removeButton), static_cast<TWinControl*>(box)}) {
        box->SetTopIndex(0);
        focus->SetFocus();
        turnWheel(-WHEEL_DELTA);
        ASSERT_TRUE(pumpUntil([box] { return box->TopIndex() > 0; }));
        scrolled[focus == box] = box->TopIndex();
    }
    EXPECT_EQ(scrolled[0], scrolled[1]);
}

TEST(AboutWindow, NamesTheVersionAndOpensTheHomePage) {
    std::unique_ptr<TFormAbout> form(new TFormAbout(nullptr));
    form->AfterConstruction();
    EXPECT_EQ(form->pixhaulLabel->Caption(), L"Pixhaul Instagram Downloader 2.1");
    showInFront(form.get());
    ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"about.png");

    testsupport::OpenedLinks links;
    // A box here would mean the launcher was not reached.
    EXPECT_EQ(answerBox([&] {
                  testsupport::leftClick(centreOf(form->webAddressLabel));
                  pumpUntil([&] { return !links.log().empty(); }, 20000);
              }),
              L"");
    EXPECT_EQ(links.log(), "http://pixhaul.invalid/\n");
}

TEST(TemporaryFolderWindow, StoresTheChoiceAndTellsWhenItChanges) {
    testsupport::TemporaryFolderSetting setting(L"", true);
    testsupport::TempFolder custom;
    std::unique_ptr<TFormTemporaryFolder> form(new TFormTemporaryFolder(nullptr));
    form->AfterConstruction();

    // First use: the system's folder, without its backslash; OK stores "" silently.
    showInFront(form.get());
    EXPECT_EQ(form->windowsEdit->Text(), longSystemTemporaryFolder());
    EXPECT_TRUE(form->windowsRadioButton->Checked());
    EXPECT_NE(form->windowsEdit->Text().back(), L'\\');
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }), L"");
    EXPECT_EQ(storedTemporaryFolder(), L"");

    // The custom option with nothing chosen keeps the window open and stores nothing.
    testsupport::leftClick(form->customRadioButton->ClientToScreen(POINT{6, 8}));
    ASSERT_TRUE(pumpUntil([&] { return form->browseButton->Enabled(); }));
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }), L"Please select custom temporary folder.");
    EXPECT_EQ(form->ModalResult(), mrNone);
    EXPECT_EQ(storedTemporaryFolder(), L"");

    // A folder chosen in the real dialog: it opens at the edit's folder and OK takes it.
    std::wstring folder = custom.path();
    folder.pop_back();
    form->customEdit->SetText(folder + L"\\");  // the dialog gives it back without the backslash
    answerBox([&] { form->browseButton->Click(); });
    EXPECT_EQ(form->customEdit->Text(), folder);
    ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"temporary-folder.png");
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }),
              L"New temporary folder will take effect next time you start Pixhaul.");
    EXPECT_EQ(storedTemporaryFolder(), folder);

    // Shown again: the custom option; OK without a change, or in another letter case, says nothing.
    form->Hide();
    form->Show();
    EXPECT_TRUE(form->customRadioButton->Checked());
    EXPECT_EQ(form->customEdit->Text(), folder);
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }), L"");
    std::wstring upper = folder;
    CharUpperW(&upper[0]);
    form->customEdit->SetText(upper);
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }), L"");

    // Back to the system's folder: "" and the message.
    form->Hide();
    showInFront(form.get());
    testsupport::leftClick(form->windowsRadioButton->ClientToScreen(POINT{6, 8}));
    ASSERT_TRUE(pumpUntil([&] { return form->windowsRadioButton->Checked(); }));
    EXPECT_EQ(answerBox([&] { form->okButton->Click(); }),
              L"New temporary folder will take effect next time you start Pixhaul.");
    EXPECT_EQ(storedTemporaryFolder(), L"");
}

TEST(RecommendationWindow, ShownWithAPageSizeItIsFramedDraggedByItsStripAndClosedByEsc) {
    std::unique_ptr<TFormRecommend> form(new TFormRecommend(nullptr));
    form->AfterConstruction();
    // The browser has its window without the form ever showing; with no engine here the page
    // never loads, so the window would never show at close.
    EXPECT_EQ(form->webBrowser->ActivationResult(), S_OK);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->webBrowser->Document(), nullptr);
    EXPECT_FALSE(form->fitToPage());

    form->applyFit(decideRecommendFit(true, L"600", L"400", SIZE{100, 100}, Screen->WorkAreaRect()));
    EXPECT_EQ(form->ClientWidth(), 604);
    EXPECT_EQ(form->ClientHeight(), 432);
    EXPECT_EQ(form->webBrowser->Width(), 600);
    EXPECT_EQ(form->webBrowser->Height(), 400);
    showInFront(form.get());

    // The border (both lines on three sides) and the strip, once the window has painted.
    const auto framed = [&] {
        const ScreenCapture shot = ScreenCapture::ofWindow(form->Handle());
        for (POINT p :
             {POINT{0, 100}, POINT{1, 431}, POINT{300, 431}, POINT{603, 40}, POINT{602, 200}, POINT{5, 5}})
            if (!testsupport::closeTo(shot.at(p.x, p.y), RGB(0x00, 0xAE, 0xEF), 8))
                return false;
        return true;
    };
    EXPECT_TRUE(pumpUntil(framed));
    ScreenCapture::ofWindow(form->Handle()).saveArtifact(L"recommendation.png");

    const auto dragBy = [&](POINT from, int dx, int dy) {
        const RECT before{form->Left(), form->Top(), 0, 0};
        testsupport::leftDrag(from, POINT{from.x + dx, from.y + dy});
        return pumpUntil([&] { return form->Left() == before.left + dx && form->Top() == before.top + dy; });
    };
    EXPECT_TRUE(dragBy(form->topPanel->ClientToScreen(POINT{20, 10}), 40, 25));
    EXPECT_TRUE(dragBy(centreOf(form->titleImage), -30, 15));

    // A right press and move does not drag: the left drag after it moves from where it was.
    const POINT at = form->topPanel->ClientToScreen(POINT{20, 10});
    testsupport::moveMouseTo(at);
    testsupport::mouseButton(false, true);
    testsupport::moveMouseTo(POINT{at.x + 50, at.y + 50});
    testsupport::mouseButton(false, false);
    EXPECT_TRUE(dragBy(form->topPanel->ClientToScreen(POINT{20, 10}), 10, 10));

    testsupport::keyStroke(VK_ESCAPE, true);
    testsupport::keyStroke(VK_ESCAPE, false);
    EXPECT_TRUE(pumpUntil([&] { return !form->Visible(); }));
}

TEST(RecommendationWindow, ABrowserThatCannotBeMadeLeavesTheWindowInert) {
    const CLSID bogus = {0x0e5b2e64, 0x7c55, 0x4c3b, {0x9d, 0x4f, 0x2b, 0x8c, 0x86, 0xd5, 0xe0, 0xa2}};
    std::unique_ptr<TFormRecommend> form(new TFormRecommend(nullptr, bogus));
    form->AfterConstruction();
    EXPECT_FALSE(form->webBrowser->BrowserAvailable());
    form->loadRecommendPage();
    EXPECT_FALSE(form->Navigated());
    EXPECT_FALSE(form->fitToPage());
    EXPECT_FALSE(form->Visible());
    showInFront(form.get());
    testsupport::keyStroke(VK_MENU, true);
    testsupport::keyStroke(VK_F4, true);
    testsupport::keyStroke(VK_F4, false);
    testsupport::keyStroke(VK_MENU, false);
    EXPECT_TRUE(pumpUntil([&] { return !form->Visible(); }));
}
