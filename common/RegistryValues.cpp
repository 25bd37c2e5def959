#include "common/RegistryValues.h"

#include "common/RegistryKey.h"

#include <climits>

const wchar_t applicationVersion[] = L"2.1";
const wchar_t settingsKeyPath[] = L"Software\\Orvell Soft\\Pixhaul";
const wchar_t customTemporaryFolderValue[] = L"customTemporaryFolder";

namespace {

// The value's data as 16-bit units (an odd trailing byte is not read). False when the value is
// missing, changed size between the two queries, or cannot be read.
bool readUnits(HKEY key, const wchar_t* name, std::vector<wchar_t>& units) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    size -= size % sizeof(wchar_t);
    units.assign(size / sizeof(wchar_t), L'\0');
    if (size == 0) {
        return true;
    }
    return RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(units.data()), &size) ==
           ERROR_SUCCESS;
}

bool readFourBytes(HKEY key, const wchar_t* name, DWORD& value) {
    value = 0;
    DWORD size = sizeof value;
    return RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
           ERROR_SUCCESS;
}

void writeUnits(HKEY key, const wchar_t* name, DWORD type, const wchar_t* units, size_t count) {
    if (count > ULONG_MAX / sizeof(wchar_t)) {
        return;
    }
    RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(units),
                   static_cast<DWORD>(count * sizeof(wchar_t)));
}

}  // namespace

bool regValueStoredAs(HKEY key, const wchar_t* name, DWORD type, DWORD size) {
    DWORD storedType = REG_NONE;
    DWORD storedSize = 0;
    if (RegQueryValueExW(key, name, nullptr, &storedType, nullptr, &storedSize) != ERROR_SUCCESS)
        return false;
    return storedType == type && (size == 0 || storedSize == size);
}

bool regValueExists(HKEY key, const wchar_t* name) {
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring regReadString(HKEY key, const wchar_t* name) {
    std::vector<wchar_t> units;
    if (!readUnits(key, name, units)) {
        return std::wstring();
    }
    // Up to the first NUL; a text stored without its NUL keeps its last character.
    size_t length = 0;
    while (length < units.size() && units[length] != L'\0') {
        ++length;
    }
    return std::wstring(units.data(), length);
}

std::vector<std::wstring> regReadMultiString(HKEY key, const wchar_t* name) {
    std::vector<std::wstring> texts;
    std::vector<wchar_t> units;
    if (!readUnits(key, name, units) || units.empty()) {
        return texts;
    }
    // A list written by another tool may lack its final NUL.
    if (units.back() != L'\0') {
        units.push_back(L'\0');
    }
    // Every text ends with a NUL; the extra NUL that ends the list is not a text.
    size_t position = 0;
    while (position < units.size() - 1) {
        const std::wstring text(units.data() + position);
        position += text.size() + 1;
        texts.push_back(text);
    }
    return texts;
}

bool regReadBool(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    return readFourBytes(key, name, value) && value != 0;
}

int regReadDword(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    if (!readFourBytes(key, name, value)) {
        return -1;
    }
    return static_cast<int>(value);
}

void regWriteString(HKEY key, const wchar_t* name, const std::wstring& text) {
    writeUnits(key, name, REG_SZ, text.c_str(), text.size() + 1);
}

void regWriteMultiString(HKEY key, const wchar_t* name, const std::vector<std::wstring>& texts) {
    std::wstring units;
    for (const std::wstring& text : texts) {
        units += text;
        units += L'\0';
    }
    units += L'\0';
    writeUnits(key, name, REG_MULTI_SZ, units.data(), units.size());
}

void regWriteBool(HKEY key, const wchar_t* name, bool value) {
    regWriteDword(key, name, value ? 1 : 0);
}

void regWriteDword(HKEY key, const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::wstring readCustomTemporaryFolder(HKEY root) {
    RegistryKey key;
    if (RegOpenKeyExW(root, settingsKeyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS ||
        !regValueStoredAs(key.get(), customTemporaryFolderValue, REG_SZ, 0))
        return std::wstring();
    return regReadString(key.get(), customTemporaryFolderValue);
}
