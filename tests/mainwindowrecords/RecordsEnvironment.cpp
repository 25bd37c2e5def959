#include <winsock2.h>

#include "RecordsEnvironment.h"

#include <gtest/gtest.h>

#include "common/ServiceHosts.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include "support/FixtureSite.h"
#include "support/TestSupport.h"

namespace records {

namespace {

TForm1* mainWindow = nullptr;
testsupport::FixtureSite* fixtureSite = nullptr;

HRESULT callPxhl(const char* name) {
    static HMODULE module = LoadLibraryW(testsupport::binaryPath(L"Pxhl.dll").c_str());
    FARPROC entry = module ? GetProcAddress(module, name) : nullptr;
    if (!entry)
        return E_FAIL;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(entry))();
}

class RecordsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = new gui::TApplication();
        application_->Initialize();
        ole_ = new gui::OleInitializer();
        ASSERT_TRUE(SUCCEEDED(ole_->Result()));
        ASSERT_EQ(registerPxhl(), S_OK) << "Pxhl.dll not found at the build root";
        fixtureSite = new testsupport::FixtureSite(1500);
        ASSERT_TRUE(fixtureSite->running()) << fixtureSite->failure();
        SetEnvironmentVariableW(kServiceHostVariable, fixtureSite->serviceHost().c_str());
        SetEnvironmentVariableW(kMakerHostVariable, fixtureSite->makerHost().c_str());
        std::wstring message;
        ASSERT_TRUE(loadServiceHosts(message));
        mainWindow = new TForm1(application_);
        mainWindow->AfterConstruction();
    }

    void TearDown() override {
        delete mainWindow;
        mainWindow = nullptr;
        delete fixtureSite;
        fixtureSite = nullptr;
        delete ole_;
        delete application_;
    }

private:
    gui::TApplication* application_ = nullptr;
    gui::OleInitializer* ole_ = nullptr;
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new RecordsEnvironment);

}  // namespace

TForm1* form() {
    return mainWindow;
}

testsupport::FixtureSite& site() {
    return *fixtureSite;
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return done();
        gui::Application->ProcessMessages();
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

HRESULT registerPxhl() {
    return callPxhl("DllRegisterServer");
}

HRESULT unregisterPxhl() {
    return callPxhl("DllUnregisterServer");
}

std::wstring serviceUrl(const std::wstring& path) {
    return L"http://" + serviceHost() + path;
}

}  // namespace records
