#pragma once
// The module that holds the COM objects: its handle and file, the counts that decide whether it
// may be unloaded, and its embedded type library.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <string>

namespace activex {

class Module {
public:
    // The module (DLL or program) whose code this is, whether the framework was linked into a DLL
    // or directly into a program.
    static HINSTANCE handle();
    // Full path of that module's file.
    static std::wstring path();

    // Live objects and server locks (IClassFactory::LockServer) keep the module loaded.
    static void objectCreated();
    static void objectDestroyed();
    static void lock();
    static void unlock();
    static LONG objectCount();
    // S_OK when neither objects nor locks remain; the cached type library is dropped then.
    static HRESULT canUnloadNow();

    // The type library embedded as resource TYPELIB 1, loaded once (a new reference each call).
    static HRESULT typeLibrary(ITypeLib** library);
    // The type information of one interface or class of that library (a new reference).
    static HRESULT typeInfo(REFGUID guid, ITypeInfo** info);
};

}  // namespace activex
