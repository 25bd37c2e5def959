#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/OleControlHost.h"
#include "support/ApplicationPump.h"
#include "support/Peers.h"
#include "support/TestSupport.h"

namespace axtest {

namespace {

HMODULE pxhlModule() {
    static HMODULE module = LoadLibraryW(testsupport::binaryPath(L"Pxhl.dll").c_str());
    return module;
}

HRESULT callPxhl(const char* name) {
    HMODULE module = pxhlModule();
    FARPROC entry = module ? GetProcAddress(module, name) : nullptr;
    if (!entry)
        return E_FAIL;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(entry))();
}

// The application object, OLE on this thread and the registered control, for the whole test
// program.
class HostingEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = new gui::TApplication();
        application_->Initialize();
        application_->OnException = [](gui::TObject*, std::exception_ptr error) {
            CaughtExceptions().push_back(gui::ExceptionMessage(error));
        };
        ole_ = new gui::OleInitializer();
        ASSERT_TRUE(SUCCEEDED(ole_->Result()));
        ASSERT_EQ(RegisterPxhl(), S_OK) << "Pxhl.dll not found at the build root";
    }

    void TearDown() override {
        delete ole_;
        ole_ = nullptr;
        delete application_;
        application_ = nullptr;
    }

private:
    gui::TApplication* application_ = nullptr;
    gui::OleInitializer* ole_ = nullptr;
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new HostingEnvironment);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    return testsupport::pumpApplicationUntil(done, timeoutMs);
}

void Pump(int milliseconds) {
    testsupport::pumpApplicationFor(milliseconds);
}

std::vector<std::wstring>& CaughtExceptions() {
    static std::vector<std::wstring> caught;
    return caught;
}

HRESULT RegisterPxhl() {
    return callPxhl("DllRegisterServer");
}
HRESULT UnregisterPxhl() {
    return callPxhl("DllUnregisterServer");
}
HRESULT PxhlCanUnloadNow() {
    return callPxhl("DllCanUnloadNow");
}

std::wstring PeerUrl(const std::wstring& path) {
    return testsupport::peerUrl("nginx_http", path);
}

std::wstring RefusedUrl(const std::wstring& path) {
    return testsupport::peerUrl("closed", path);
}

std::wstring ServedPath(const std::wstring& relative) {
    return testsupport::servedPath(relative);
}

}  // namespace axtest
