#include "downloadcontrol/activex/ClassRegistration.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/RegistryKey.h"

#include <cwchar>

namespace activex {
namespace {

HRESULT fromRegistry(LONG result) {
    return result == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(result);
}

std::wstring classKeyPath(const ClassRegistration& registration) {
    return L"CLSID\\" + guidText(*registration.classId);
}

HRESULT writeProgIds(const ClassRegistration& registration) {
    const std::wstring classId = guidText(*registration.classId);

    RegistryKey versioned;
    LONG result = versioned.create(HKEY_CLASSES_ROOT, registration.progId);
    if (result == ERROR_SUCCESS)
        result = versioned.setString(L"", registration.progIdDescription);
    if (result == ERROR_SUCCESS)
        result = versioned.createWithDefault(L"CLSID", classId);
    if (result == ERROR_SUCCESS && registration.insertable)
        result = versioned.createEmpty(L"Insertable");
    if (result != ERROR_SUCCESS) {
        return fromRegistry(result);
    }

    RegistryKey independent;
    result = independent.create(HKEY_CLASSES_ROOT, registration.versionIndependentProgId);
    if (result == ERROR_SUCCESS)
        result = independent.setString(L"", registration.versionIndependentDescription);
    if (result == ERROR_SUCCESS)
        result = independent.createWithDefault(L"CLSID", classId);
    if (result == ERROR_SUCCESS)
        result = independent.createWithDefault(L"CurVer", registration.progId);
    return fromRegistry(result);
}

HRESULT writeClassKey(const ClassRegistration& registration, const std::wstring& modulePath) {
    RegistryKey key;
    LONG result = key.create(HKEY_CLASSES_ROOT, classKeyPath(registration));
    if (result == ERROR_SUCCESS)
        result = key.setString(L"", registration.description);
    if (result == ERROR_SUCCESS)
        result = key.createWithDefault(L"ProgID", registration.progId);
    if (result == ERROR_SUCCESS)
        result = key.createWithDefault(L"VersionIndependentProgID", registration.versionIndependentProgId);
    if (result == ERROR_SUCCESS && registration.programmable)
        result = key.createEmpty(L"Programmable");
    if (result != ERROR_SUCCESS) {
        return fromRegistry(result);
    }

    RegistryKey server;
    result = server.create(key.get(), L"InprocServer32");
    if (result == ERROR_SUCCESS)
        result = server.setString(L"", modulePath);
    if (result == ERROR_SUCCESS)
        result = server.setString(L"ThreadingModel", registration.threadingModel);
    if (result != ERROR_SUCCESS) {
        return fromRegistry(result);
    }

    if (registration.control)
        result = key.createEmpty(L"Control");
    if (result == ERROR_SUCCESS && registration.insertable)
        result = key.createEmpty(L"Insertable");
    if (result == ERROR_SUCCESS && registration.toolboxBitmapId != 0) {
        result = key.createWithDefault(L"ToolboxBitmap32",
                                       modulePath + L", " + std::to_wstring(registration.toolboxBitmapId));
    }
    if (result != ERROR_SUCCESS) {
        return fromRegistry(result);
    }

    RegistryKey misc;
    result = misc.create(key.get(), L"MiscStatus");
    if (result == ERROR_SUCCESS)
        result = misc.setString(L"", L"0");
    if (result == ERROR_SUCCESS)
        result = misc.createWithDefault(L"1", std::to_wstring(registration.miscStatus));
    if (result != ERROR_SUCCESS) {
        return fromRegistry(result);
    }

    result = key.createWithDefault(L"TypeLib", guidText(*registration.typeLibraryId));
    if (result == ERROR_SUCCESS)
        result = key.createWithDefault(L"Version", registration.version);
    return fromRegistry(result);
}

}  // namespace

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT registerClass(const ClassRegistration& registration, const std::wstring& modulePath) {
    // Start from nothing, so that the keys hold exactly what this registration writes.
    HRESULT hr = unregisterClass(registration);
    if (SUCCEEDED(hr))
        hr = writeProgIds(registration);
    if (SUCCEEDED(hr))
        hr = writeClassKey(registration, modulePath);
    if (FAILED(hr)) {
        unregisterClass(registration);
    }
    return hr;
}

HRESULT unregisterClass(const ClassRegistration& registration) {
    LONG result = deleteKeyTree(HKEY_CLASSES_ROOT, registration.progId);
    LONG next = deleteKeyTree(HKEY_CLASSES_ROOT, registration.versionIndependentProgId);
    if (result == ERROR_SUCCESS)
        result = next;
    next = deleteKeyTree(HKEY_CLASSES_ROOT, classKeyPath(registration));
    if (result == ERROR_SUCCESS)
        result = next;
    return fromRegistry(result);
}

HRESULT registerTypeLibrary(const std::wstring& modulePath) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) {
        return hr;
    }
    // The system's declaration takes a non-const path that it does not change.
    std::wstring path = modulePath;
    return RegisterTypeLib(library.get(), &path[0], nullptr);
}

HRESULT unregisterTypeLibrary(const std::wstring& modulePath) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) {
        return hr;
    }
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) {
        return hr;
    }
    // A library that is not registered is already as unregistration leaves it (the system's
    // answer for that case differs between versions, so look first). Versions are hexadecimal.
    wchar_t version[32];
    swprintf(version, 32, L"%x.%x", attributes->wMajorVerNum, attributes->wMinorVerNum);
    RegistryKey registered;
    if (registered.open(HKEY_CLASSES_ROOT, L"TypeLib\\" + guidText(attributes->guid) + L"\\" + version) !=
        ERROR_SUCCESS) {
        library->ReleaseTLibAttr(attributes);
        return S_OK;
    }
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                           attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace activex
