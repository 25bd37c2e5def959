#include "FormTestSupport.h"
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
        HMODULE pxhl = LoadLibraryW(testsupport::binaryPath(L"Pxhl.dll").c_str());
        if (pxhl) {
            auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(pxhl, "DllRegisterServer"));
            if (reg)
                reg();
        }
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

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return done();
        gui::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void pump(int milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

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

bool existsFile(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace formtest
