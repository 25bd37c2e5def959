#include "downloadcontrol/activex/AmbientProperties.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ComText.h"
#include "downloadcontrol/activex/StockDispatchIds.h"

namespace activex {

bool readAmbient(IOleClientSite* site, DISPID id, VARIANT* value) {
    if (!site || !value) {
        return false;
    }
    ComPtr<IDispatch> ambients;
    if (FAILED(site->QueryInterface(IID_IDispatch, ambients.putVoid())) || !ambients) {
        return false;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantClear(value);
    HRESULT hr = ambients->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                                  nullptr, nullptr);
    return SUCCEEDED(hr);
}

bool ambientBackColor(IOleClientSite* site, OLE_COLOR* color) {
    Variant value;
    if (!readAmbient(site, kDispidAmbientBackColor, value.get())) {
        return false;
    }
    // Containers answer with VT_I4 or VT_UI4; both carry the colour's 32 bits.
    if (FAILED(VariantChangeType(value.get(), value.get(), 0, VT_UI4))) {
        Variant fallback;
        if (FAILED(VariantChangeType(fallback.get(), value.get(), 0, VT_I4))) {
            return false;
        }
        *color = static_cast<OLE_COLOR>(fallback.get()->lVal);
        return true;
    }
    *color = static_cast<OLE_COLOR>(value.get()->ulVal);
    return true;
}

}  // namespace activex
