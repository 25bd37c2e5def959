#include "downloadcontrol/activex/EventArguments.h"

namespace activex {

EventArguments::~EventArguments() {
    for (VARIANT& value : values_) {
        VariantClear(&value);
    }
}

VARIANT& EventArguments::append() {
    values_.emplace_back();
    VariantInit(&values_.back());
    return values_.back();
}

EventArguments& EventArguments::addLong(long value) {
    VARIANT& slot = append();
    slot.vt = VT_I4;
    slot.lVal = value;
    return *this;
}

EventArguments& EventArguments::addBool(bool value) {
    VARIANT& slot = append();
    slot.vt = VT_BOOL;
    slot.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
}

EventArguments& EventArguments::addDouble(double value) {
    VARIANT& slot = append();
    slot.vt = VT_R8;
    slot.dblVal = value;
    return *this;
}

EventArguments& EventArguments::addText(const std::wstring& value) {
    VARIANT& slot = append();
    slot.vt = VT_BSTR;
    // Out of memory leaves a null BSTR, which stands for "" and keeps the argument list complete.
    slot.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *this;
}

DISPPARAMS* EventArguments::parameters() {
    reversed_.assign(values_.rbegin(), values_.rend());
    parameters_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
    parameters_.cArgs = static_cast<UINT>(reversed_.size());
    parameters_.rgdispidNamedArgs = nullptr;
    parameters_.cNamedArgs = 0;
    return &parameters_;
}

}  // namespace activex
