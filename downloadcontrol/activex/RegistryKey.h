#pragma once
// An open registry key, closed when the owner goes.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <string>
#include <utility>

namespace activex {

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    ~RegistryKey();

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // Creates (or opens) `parent`\`subkey` for writing. The Win32 error code, ERROR_SUCCESS on success.
    LONG create(HKEY parent, const std::wstring& subkey);
    // Opens `parent`\`subkey` for reading.
    LONG open(HKEY parent, const std::wstring& subkey);

    // Sets a string value ("" names the key's default value).
    LONG setString(const std::wstring& name, const std::wstring& value);
    // Creates `subkey` with `value` as its default value.
    LONG createWithDefault(const std::wstring& subkey, const std::wstring& value);
    // Creates `subkey` without any value.
    LONG createEmpty(const std::wstring& subkey);

private:
    HKEY key_ = nullptr;
};

// Deletes `parent`\`subkey` with everything below it; a missing key counts as deleted.
LONG deleteKeyTree(HKEY parent, const std::wstring& subkey);

}  // namespace activex
