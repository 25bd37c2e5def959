#include "RecordsEnvironment.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ServiceHosts.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "support/TestSupport.h"

namespace records {

namespace {

TForm1* mainWindow = nullptr;
testsupport::FixtureSite* fixtureSite = nullptr;

class RecordsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = std::make_unique<gui::TApplication>();
        application_->Initialize();
        ole_ = std::make_unique<gui::OleInitializer>();
        ASSERT_TRUE(SUCCEEDED(ole_->Result()));
        HMODULE pxhl = LoadLibraryW(testsupport::binaryPath(L"Pxhl.dll").c_str());
        FARPROC entry = pxhl ? GetProcAddress(pxhl, "DllRegisterServer") : nullptr;
        ASSERT_TRUE(entry) << "Pxhl.dll not found at the build root";
        ASSERT_EQ(reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void (*)()>(entry))(), S_OK);
        fixtureSite = new testsupport::FixtureSite(1500);
        ASSERT_TRUE(fixtureSite->running()) << fixtureSite->failure();
        SetEnvironmentVariableW(kServiceHostVariable, fixtureSite->serviceHost().c_str());
        std::wstring message;
        ASSERT_TRUE(loadServiceHosts(message));
        mainWindow = new TForm1(application_.get());
        mainWindow->AfterConstruction();
    }

    void TearDown() override {
        delete mainWindow;
        delete fixtureSite;
        ole_.reset();
        application_.reset();
    }

private:
    std::unique_ptr<gui::TApplication> application_;
    std::unique_ptr<gui::OleInitializer> ole_;
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
    while (!done() && static_cast<int>(GetTickCount() - start) < timeoutMs) {
        gui::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

std::wstring serviceUrl(const std::wstring& path) {
    return L"http://" + serviceHost() + path;
}

}  // namespace records
