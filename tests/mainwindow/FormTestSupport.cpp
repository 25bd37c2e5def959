// The fixture site's sockets come before windows.h.
#include "support/FixtureSite.h"

#include "FormTestSupport.h"
#include "common/ServiceHosts.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "gui/Application.h"
#include "saving/UpdateCheck.h"
#include "support/RealInput.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace formtest {

namespace {

// OLE and the application object for the whole run, OLE outliving the application.
class ProgramEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ole_ = std::make_unique<gui::OleInitializer>();
        application_ = std::make_unique<gui::TApplication>();
        application_->Initialize();
        // The download control of this build, so the window opens without a warning.
        ASSERT_TRUE(testsupport::registerPxhl());
    }
    void TearDown() override {
        application_.reset();
        ole_.reset();
    }

private:
    std::unique_ptr<gui::OleInitializer> ole_;
    std::unique_ptr<gui::TApplication> application_;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

// Settings an earlier window saved (its place, history, options) would change the next one: every
// value but the work folder the test chose goes.
void clearSavedSettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Orvell Soft\\Pixhaul", 0, KEY_READ | KEY_SET_VALUE,
                      &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::wstring(name, length) != L"customTemporaryFolder")
            names.emplace_back(name, length);
    }
    for (const std::wstring& value : names)
        RegDeleteValueW(key, value.c_str());
    RegCloseKey(key);
}

}  // namespace

TForm1* openForm() {
    clearSavedSettings();
    // A check just made: the window's own update check stays out of these tests (it runs in the
    // program's tests against the fixture site).
    writeLastCheckTime(HKEY_CURRENT_USER, currentUtcFileTime());
    TForm1* form = nullptr;
    gui::Application->CreateForm(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    pumpUntil([form] { return IsWindowVisible(form->Handle()) && GetForegroundWindow() == form->Handle(); });
    pump(100);
    return form;
}

RECT windowRect(TForm1* form) {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    return r;
}

void drag(POINT from, POINT to) {
    testsupport::moveMouseTo(from);
    pump(30);
    testsupport::mouseButton(true, true);
    pump(50);
    for (int step = 1; step <= 4; ++step) {
        testsupport::moveMouseTo(
            POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
        pump(30);
    }
    testsupport::mouseButton(true, false);
    pump(80);
}

void click(POINT at) {
    testsupport::moveMouseTo(at);
    pump(30);
    testsupport::mouseButton(true, true);
    pump(30);
    testsupport::mouseButton(true, false);
    pump(100);
}

testsupport::FixtureSite& serviceSite() {
    static testsupport::FixtureSite site;
    // Tests with a site of their own may have pointed the hosts there since: back to this one.
    SetEnvironmentVariableW(kServiceHostVariable, site.serviceHost().c_str());
    SetEnvironmentVariableW(kMakerHostVariable, site.makerHost().c_str());
    std::wstring message;
    EXPECT_TRUE(loadServiceHosts(message));
    return site;
}

void loadTyped(TForm1* form, const std::wstring& name) {
    form->userNameEdit->SetText(name);
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    form->loadUser();
}

bool loaded(TForm1* form, size_t count) {
    return form->loadState == LoadState::idle && form->visiblePhotos.size() == count;
}

ThumbnailImage* tileAt(TForm1* form, int visibleIndex) {
    for (ThumbnailImage* tile : form->tilesInUse)
        if (tile->photo() && tile->photo()->visibleIndex == visibleIndex)
            return tile;
    return nullptr;
}

POINT centreOf(TForm1* form, const ThumbnailImage* tile) {
    return form->contentScrollBox->ClientToScreen(
        POINT{tile->Left() + tile->Width() / 2, tile->Top() + tile->Height() / 2});
}

void MessageBoxWatcher::run() {
    while (!stop_) {
        EnumThreadWindows(thread_, answer, reinterpret_cast<LPARAM>(this));
        Sleep(50);
    }
}

BOOL CALLBACK MessageBoxWatcher::answer(HWND window, LPARAM self) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    auto* watcher = reinterpret_cast<MessageBoxWatcher*>(self);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window) || window == watcher->answered_)
        return TRUE;
    wchar_t text[1024] = {};
    GetDlgItemTextW(window, 0xFFFF, text, 1024);
    {
        std::lock_guard<std::mutex> hold(watcher->lock_);
        watcher->texts_.push_back(text);
    }
    watcher->answered_ = window;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

}  // namespace formtest
