#include "downloadcontrol/activex/ComText.h"

namespace activex {

Bstr::Bstr(const std::wstring& text)
    : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        SysFreeString(value_);
        value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
}

BSTR* Bstr::put() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
}

std::wstring Bstr::textOf(BSTR value) {
    return value ? std::wstring(value, SysStringLen(value)) : std::wstring();
}

HRESULT returnText(const std::wstring& text, BSTR* out) {
    if (!out) {
        return E_POINTER;
    }
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace activex
