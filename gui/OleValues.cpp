#include "gui/OleValues.h"

namespace gui {

// ---- OleString

OleString::OleString(const std::wstring& text)
    : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

OleString& OleString::operator=(OleString&& other) noexcept {
    if (this != &other) {
        SysFreeString(text_);
        text_ = other.text_;
        other.text_ = nullptr;
    }
    return *this;
}

BSTR* OleString::Out() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
}

std::wstring OleString::Text() const {
    return text_ ? std::wstring(text_, SysStringLen(text_)) : std::wstring();
}

// ---- OleVariant

OleVariant& OleVariant::operator=(OleVariant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
    }
    return *this;
}

OleVariant OleVariant::FromText(const std::wstring& text) {
    OleVariant result;
    V_VT(&result.value_) = VT_BSTR;
    V_BSTR(&result.value_) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return result;
}

OleVariant OleVariant::FromInteger(long value) {
    OleVariant result;
    V_VT(&result.value_) = VT_I4;
    V_I4(&result.value_) = value;
    return result;
}

OleVariant OleVariant::FromBoolean(bool value) {
    OleVariant result;
    V_VT(&result.value_) = VT_BOOL;
    V_BOOL(&result.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}

OleVariant OleVariant::FromDouble(double value) {
    OleVariant result;
    V_VT(&result.value_) = VT_R8;
    V_R8(&result.value_) = value;
    return result;
}

OleVariant OleVariant::Missing() {
    OleVariant result;
    V_VT(&result.value_) = VT_ERROR;
    V_ERROR(&result.value_) = DISP_E_PARAMNOTFOUND;
    return result;
}

VARIANT* OleVariant::Out() {
    VariantClear(&value_);
    return &value_;
}

std::wstring OleVariant::AsText(const std::wstring& fallback) const {
    return VariantToText(value_, fallback);
}
long OleVariant::AsInteger(long fallback) const {
    return VariantToInteger(value_, fallback);
}
bool OleVariant::AsBoolean(bool fallback) const {
    return VariantToBoolean(value_, fallback);
}
double OleVariant::AsDouble(double fallback) const {
    return VariantToDouble(value_, fallback);
}

// ---- conversions

namespace {

// value converted to type into converted (a by-reference value is read through); false when it
// cannot be converted.
bool convert(const VARIANT& value, VARTYPE type, VARIANT& converted) {
    VariantInit(&converted);
    VARIANT direct;
    VariantInit(&direct);
    // The source is only read; the system's declaration lacks the const.
    if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT*>(&value))))
        return false;
    const HRESULT hr = VariantChangeType(&converted, &direct, 0, type);
    VariantClear(&direct);
    return SUCCEEDED(hr);
}

}  // namespace

std::wstring VariantToText(const VARIANT& value, const std::wstring& fallback) {
    VARIANT converted;
    if (!convert(value, VT_BSTR, converted))
        return fallback;
    BSTR text = V_BSTR(&converted);
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    VariantClear(&converted);
    return result;
}

long VariantToInteger(const VARIANT& value, long fallback) {
    VARIANT converted;
    if (!convert(value, VT_I4, converted))
        return fallback;
    return V_I4(&converted);
}

bool VariantToBoolean(const VARIANT& value, bool fallback) {
    VARIANT converted;
    if (!convert(value, VT_BOOL, converted))
        return fallback;
    return V_BOOL(&converted) != VARIANT_FALSE;
}

double VariantToDouble(const VARIANT& value, double fallback) {
    VARIANT converted;
    if (!convert(value, VT_R8, converted))
        return fallback;
    return V_R8(&converted);
}

}  // namespace gui
