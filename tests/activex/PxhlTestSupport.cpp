#include "activex/PxhlTestSupport.h"

#include <gtest/gtest.h>

#include "downloadcontrol/Pxhl.h"
#include "support/TestSupport.h"

namespace pxhltest {

std::wstring pxhlDllPath() {
    return testsupport::binaryPath(L"Pxhl.dll");
}

HMODULE pxhlDll() {
    static HMODULE module = LoadLibraryW(pxhlDllPath().c_str());
    return module;
}

FARPROC pxhlExport(const char* name) {
    HMODULE module = pxhlDll();
    return module ? GetProcAddress(module, name) : nullptr;
}

HRESULT pxhlCanUnloadNow() {
    auto canUnload = pxhlFunction<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow");
    return canUnload ? canUnload() : E_FAIL;
}

void registerPxhl() {
    auto registerServer = pxhlFunction<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer");
    ASSERT_NE(registerServer, nullptr) << "Pxhl.dll not found at the build root";
    ASSERT_EQ(registerServer(), S_OK);
}

ComPtr<IDownloadX> createRegisteredControl() {
    registerPxhl();
    ComPtr<IDownloadX> control;
    HRESULT hr =
        CoCreateInstance(CLSID_Pxhl, nullptr, CLSCTX_INPROC_SERVER, IID_IDownloadX, control.putVoid());
    EXPECT_EQ(hr, S_OK);
    return control;
}

ComPtr<IDownloadX> createLinkedControl() {
    ComPtr<IDownloadX> control;
    HRESULT hr = Pxhl::create(nullptr, IID_IDownloadX, control.putVoid());
    EXPECT_EQ(hr, S_OK);
    return control;
}

DWORD runProgram(const std::wstring& commandLine, std::string* output) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return ~0u;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return ~0u;
    }
    std::string collected;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        collected.append(buffer, read);
    }
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = ~0u;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (output) {
        *output = collected;
    }
    return exitCode;
}

std::wstring takeText(BSTR text) {
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

}  // namespace pxhltest
