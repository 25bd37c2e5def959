#include "downloadcontrol/activex/RegistryKey.h"

namespace activex {

RegistryKey::~RegistryKey() {
    if (key_) {
        RegCloseKey(key_);
    }
}

LONG RegistryKey::create(HKEY parent, const std::wstring& subkey) {
    HKEY created = nullptr;
    LONG result = RegCreateKeyExW(parent, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE, nullptr, &created, nullptr);
    if (result == ERROR_SUCCESS) {
        if (key_) {
            RegCloseKey(key_);
        }
        key_ = created;
    }
    return result;
}

LONG RegistryKey::open(HKEY parent, const std::wstring& subkey) {
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExW(parent, subkey.c_str(), 0, KEY_READ, &opened);
    if (result == ERROR_SUCCESS) {
        if (key_) {
            RegCloseKey(key_);
        }
        key_ = opened;
    }
    return result;
}

LONG RegistryKey::setString(const std::wstring& name, const std::wstring& value) {
    DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

LONG RegistryKey::createWithDefault(const std::wstring& subkey, const std::wstring& value) {
    RegistryKey child;
    LONG result = child.create(key_, subkey);
    return result == ERROR_SUCCESS ? child.setString(L"", value) : result;
}

LONG RegistryKey::createEmpty(const std::wstring& subkey) {
    RegistryKey child;
    return child.create(key_, subkey);
}

LONG deleteKeyTree(HKEY parent, const std::wstring& subkey) {
    LONG result = RegDeleteTreeW(parent, subkey.c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
        // RegDeleteTree leaves the key itself on some systems; remove it explicitly.
        LONG own = RegDeleteKeyW(parent, subkey.c_str());
        return (own == ERROR_SUCCESS || own == ERROR_FILE_NOT_FOUND) ? ERROR_SUCCESS : own;
    }
    return result;
}

}  // namespace activex
