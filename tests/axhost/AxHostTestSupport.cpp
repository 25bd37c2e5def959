#include <winsock2.h>

#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/OleControlHost.h"
#include "support/TestSupport.h"

namespace axtest {

namespace {

std::wstring widen(const std::string& text) {
    std::wstring result;
    for (char c : text)
        result += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return result;
}

std::wstring windowsPath(const std::string& unixPath) {
    std::wstring result = L"Z:";
    for (char c : unixPath)
        result += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return result;
}

std::map<std::string, std::string>& peerValues() {
    static std::map<std::string, std::string> values;
    return values;
}

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

// The application object, OLE on this thread, the registered control and the peers, for the
// whole test program. The peers (enginepeers.py, a Unix process) stop when the control
// connection closes, also when this program dies.
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
        startPeers();
    }

    void TearDown() override {
        if (control_ != INVALID_SOCKET) {
            closesocket(control_);
            control_ = INVALID_SOCKET;
        }
        delete ole_;
        ole_ = nullptr;
        delete application_;
        application_ = nullptr;
    }

private:
    void startPeers() {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
        const char* binary = std::getenv("PIXHAUL_BINARY_DIR");
        ASSERT_TRUE(source && binary) << "PIXHAUL_SOURCE_DIR and PIXHAUL_BINARY_DIR must be set";
        const std::string folder =
            std::string(binary) + "/axhost-peers-" + std::to_string(GetCurrentProcessId());
        std::wstring command = L"/usr/bin/python3 " + widen(source) +
                               L"/tests/downloadengine/enginepeers.py --dir " + widen(folder);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << "cannot start enginepeers.py, error " << GetLastError();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);

        std::string text;
        for (int i = 0; i < 600 && text.empty(); ++i) {
            Sleep(100);
            text = testsupport::readFileBytes(windowsPath(folder + "/peers.txt"));
        }
        ASSERT_FALSE(text.empty()) << "the peers did not start (see " << folder << ")";
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos)
                peerValues()[line.substr(0, equals)] = line.substr(equals + 1);
        }
        control_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(std::atoi(peerValues()["control"].c_str())));
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        ASSERT_EQ(::connect(control_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    }

    gui::TApplication* application_ = nullptr;
    gui::OleInitializer* ole_ = nullptr;
    SOCKET control_ = INVALID_SOCKET;
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new HostingEnvironment);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
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

void Pump(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
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
    return L"http://127.0.0.1:" + widen(peerValues()["nginx_http"]) + path;
}

std::wstring RefusedUrl(const std::wstring& path) {
    return L"http://127.0.0.1:" + widen(peerValues()["closed"]) + path;
}

std::wstring ServedPath(const std::wstring& relative) {
    std::wstring path = windowsPath(peerValues()["www"]) + L"\\" + relative;
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

}  // namespace axtest
