#include "downloadcontrol/activex/Module.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/CriticalSection.h"

#include <vector>

namespace activex {
namespace {

LONG objects = 0;
LONG locks = 0;

// The type library and the type infos taken from it, shared by every object of the module.
struct TypeLibraryCache {
    CriticalSection lock;
    ComPtr<ITypeLib> library;
    std::vector<std::pair<GUID, ComPtr<ITypeInfo>>> infos;
};

// Never destroyed: at process exit the system libraries the references point into may already be
// gone, so the cache is emptied only by canUnloadNow.
TypeLibraryCache& cache() {
    static TypeLibraryCache* instance = new TypeLibraryCache;
    return *instance;
}

}  // namespace

HINSTANCE Module::handle() {
    static HMODULE module = [] {
        HMODULE found = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&Module::handle), &found);
        return found;
    }();
    return module;
}

std::wstring Module::path() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(handle(), &buffer[0], static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

void Module::objectCreated() {
    InterlockedIncrement(&objects);
}
void Module::objectDestroyed() {
    InterlockedDecrement(&objects);
}
void Module::lock() {
    InterlockedIncrement(&locks);
}
void Module::unlock() {
    InterlockedDecrement(&locks);
}
LONG Module::objectCount() {
    return InterlockedCompareExchange(&objects, 0, 0);
}

HRESULT Module::canUnloadNow() {
    if (InterlockedCompareExchange(&objects, 0, 0) != 0 || InterlockedCompareExchange(&locks, 0, 0) != 0) {
        return S_FALSE;
    }
    TypeLibraryCache& shared = cache();
    CriticalSectionLock hold(shared.lock);
    shared.infos.clear();
    shared.library.reset();
    return S_OK;
}

HRESULT Module::typeLibrary(ITypeLib** library) {
    if (!library) {
        return E_POINTER;
    }
    *library = nullptr;
    TypeLibraryCache& shared = cache();
    CriticalSectionLock hold(shared.lock);
    if (!shared.library) {
        // Loading by the module path finds the TYPELIB 1 resource; nothing is registered here.
        HRESULT hr = LoadTypeLibEx(path().c_str(), REGKIND_NONE, shared.library.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return shared.library.copyTo(library);
}

HRESULT Module::typeInfo(REFGUID guid, ITypeInfo** info) {
    if (!info) {
        return E_POINTER;
    }
    *info = nullptr;
    ComPtr<ITypeLib> library;
    HRESULT hr = typeLibrary(library.put());
    if (FAILED(hr)) {
        return hr;
    }
    TypeLibraryCache& shared = cache();
    CriticalSectionLock hold(shared.lock);
    for (const auto& entry : shared.infos) {
        if (IsEqualGUID(entry.first, guid)) {
            return entry.second.copyTo(info);
        }
    }
    ComPtr<ITypeInfo> found;
    hr = library->GetTypeInfoOfGuid(guid, found.put());
    if (FAILED(hr)) {
        return hr;
    }
    shared.infos.emplace_back(guid, found);
    return found.copyTo(info);
}

}  // namespace activex
