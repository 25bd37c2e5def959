#pragma once
// Getting at the control from tests: Pxhl.dll from the build folder (registered in the test
// prefix) and the control library linked into the test program.
#include "activex/ComTestObjects.h"

#include "PxhlLibrary.h"

#include <string>
#include <vector>

#include "downloadcontrol/activex/ComPtr.h"

namespace pxhltest {

using activex::ComPtr;

// OLE for the calling thread, from construction to the end of the scope.
class OleApartment {
public:
    OleApartment() : result_(OleInitialize(nullptr)) {}
    ~OleApartment() {
        if (SUCCEEDED(result_)) {
            OleUninitialize();
        }
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

private:
    HRESULT result_;
};

// Pxhl.dll of this build, loaded once for the life of the test program.
std::wstring pxhlDllPath();
HMODULE pxhlDll();
// One of the DLL's exports, as a function of type Function (null when missing).
FARPROC pxhlExport(const char* name);
template <class Function>
Function pxhlFunction(const char* name) {
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(pxhlExport(name)));
}
// The DLL's DllCanUnloadNow: S_OK when none of its objects or locks remain.
HRESULT pxhlCanUnloadNow();
// Registers the DLL (DllRegisterServer), so that creation by class identifier finds it.
void registerPxhl();

// A control made by COM from the registered DLL.
ComPtr<IDownloadX> createRegisteredControl();
// A control made by the library linked into this program.
ComPtr<IDownloadX> createLinkedControl();

// Runs a program of the Windows installation; its exit code, or ~0u when it cannot start.
DWORD runProgram(const std::wstring& commandLine, std::string* output = nullptr);

// Text of a BSTR result, freeing it.
std::wstring takeText(BSTR text);

}  // namespace pxhltest
