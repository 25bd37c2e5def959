#pragma once
// Owners of the two OLE value types that cross a hosted control's interface: BSTR texts and
// VARIANTs. Each frees what it holds, so no text returned by a control is ever leaked.
#include <windows.h>
#include <oleauto.h>
#include <string>

namespace gui {

// A BSTR owned by this object.
class OleString {
public:
    OleString() = default;
    explicit OleString(const std::wstring& text);
    ~OleString() { SysFreeString(text_); }
    OleString(OleString&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    OleString& operator=(OleString&& other) noexcept;
    OleString(const OleString&) = delete;
    OleString& operator=(const OleString&) = delete;

    // For a call that fills an out parameter: frees the current text first.
    BSTR* Out();
    BSTR Get() const { return text_; }
    // The text; a null BSTR is the empty text.
    std::wstring Text() const;

private:
    BSTR text_ = nullptr;
};

// A VARIANT owned by this object (cleared on destruction).
class OleVariant {
public:
    OleVariant() { VariantInit(&value_); }
    ~OleVariant() { VariantClear(&value_); }
    OleVariant(OleVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    OleVariant& operator=(OleVariant&& other) noexcept;
    OleVariant(const OleVariant&) = delete;
    OleVariant& operator=(const OleVariant&) = delete;

    static OleVariant FromText(const std::wstring& text);
    static OleVariant FromInteger(long value);
    static OleVariant FromBoolean(bool value);
    static OleVariant FromDouble(double value);
    // The "missing" value of an optional argument.
    static OleVariant Missing();

    VARIANT* Out();
    VARIANT& Get() { return value_; }
    const VARIANT& Get() const { return value_; }
    VARTYPE Type() const { return V_VT(&value_); }

    // The value converted; the fallback when it cannot be converted.
    std::wstring AsText(const std::wstring& fallback = std::wstring()) const;
    long AsInteger(long fallback = 0) const;
    bool AsBoolean(bool fallback = false) const;
    double AsDouble(double fallback = 0) const;

private:
    VARIANT value_;
};

// Conversions of one VARIANT (by reference or not) to a plain value; fallback when impossible.
std::wstring VariantToText(const VARIANT& value, const std::wstring& fallback = std::wstring());
long VariantToInteger(const VARIANT& value, long fallback = 0);
bool VariantToBoolean(const VARIANT& value, bool fallback = false);
double VariantToDouble(const VARIANT& value, double fallback = 0);

}  // namespace gui
