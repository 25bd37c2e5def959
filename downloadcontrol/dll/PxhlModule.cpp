// Pxhl.dll: the module glue around the control library. The DLL holds one creatable class and
// registers it, with its type library, through regsvr32.
#include <winsock2.h>
#include <windows.h>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/Pxhl.h"
#include "downloadcontrol/activex/ClassFactory.h"
#include "downloadcontrol/activex/ClassRegistration.h"
#include "downloadcontrol/activex/Module.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    return activex::getClassObject(&Pxhl::classEntry(), 1, classId, iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return activex::Module::canUnloadNow();
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::wstring path = activex::Module::path();
    HRESULT hr = activex::registerClass(Pxhl::registration(), path);
    if (FAILED(hr)) {
        return SELFREG_E_CLASS;
    }
    hr = activex::registerTypeLibrary(path);
    if (FAILED(hr)) {
        activex::unregisterClass(Pxhl::registration());
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    HRESULT classResult = activex::unregisterClass(Pxhl::registration());
    HRESULT libraryResult = activex::unregisterTypeLibrary(activex::Module::path());
    if (FAILED(classResult)) {
        return SELFREG_E_CLASS;
    }
    return FAILED(libraryResult) ? SELFREG_E_TYPELIB : S_OK;
}
