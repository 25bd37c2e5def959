#pragma once
// BSTR and VARIANT owners, and conversions between them and wide strings.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <string>
#include <utility>

namespace activex {

// Owns one BSTR (null is a valid, empty value).
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept;
    ~Bstr() { SysFreeString(value_); }

    BSTR get() const { return value_; }
    BSTR* put();
    BSTR detach() { return std::exchange(value_, nullptr); }
    // False when allocation failed for a non-empty text.
    bool valid() const { return value_ != nullptr; }
    std::wstring text() const { return textOf(value_); }

    // The text of a BSTR argument; a null BSTR counts as "".
    static std::wstring textOf(BSTR value);

private:
    BSTR value_ = nullptr;
};

// Hands a new BSTR copy of `text` to a COM out-parameter: E_POINTER, E_OUTOFMEMORY or S_OK.
HRESULT returnText(const std::wstring& text, BSTR* out);

// Owns one VARIANT and clears it.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT* put() {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

}  // namespace activex
