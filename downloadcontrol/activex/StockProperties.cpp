#include "downloadcontrol/activex/StockProperties.h"

#include "downloadcontrol/activex/ControlBase.h"
#include "downloadcontrol/activex/StockDispatchIds.h"

namespace activex {

StockProperties::StockProperties(ControlBase& control)
    : control_(control), backColor_(0x80000000 | COLOR_WINDOW), fontSink_(*this) {}

StockProperties::~StockProperties() {
    releaseFont();
}

HRESULT StockProperties::createFont(const wchar_t* face, LONGLONG points, short weight) {
    FONTDESC description = {};
    description.cbSizeofstruct = sizeof(description);
    description.lpstrName = const_cast<LPOLESTR>(face);
    description.cySize.int64 = points;
    description.sWeight = weight;
    description.sCharset = 0;
    ComPtr<IFontDisp> font;
    HRESULT hr = OleCreateFontIndirect(&description, IID_IFontDisp, font.putVoid());
    if (FAILED(hr)) {
        return hr;
    }
    replaceFont(font);
    return S_OK;
}

void StockProperties::releaseFont() {
    replaceFont(ComPtr<IFontDisp>());
}

COLORREF StockProperties::backColorRef() const {
    COLORREF color = RGB(255, 255, 255);
    if (FAILED(OleTranslateColor(backColor_, nullptr, &color))) {
        color = GetSysColor(COLOR_WINDOW);
    }
    return color;
}

void StockProperties::takeAmbientBackColor(OLE_COLOR color) {
    if (backColorSet_ || color == backColor_) {
        return;
    }
    backColor_ = color;
    control_.onStockPropertyChanged(kDispidBackColor);
    control_.fireViewChange();
}

HFONT StockProperties::fontHandle() const {
    if (!font_) {
        return nullptr;
    }
    ComPtr<IFont> font;
    if (FAILED(font_.query(IID_IFont, font))) {
        return nullptr;
    }
    HFONT handle = nullptr;
    font->get_hFont(&handle);
    return handle;
}

HRESULT StockProperties::putBackColor(OLE_COLOR color) {
    HRESULT hr = control_.putProperty(kDispidBackColor, [&] {
        backColor_ = color;
        backColorSet_ = true;
    });
    if (hr == S_OK) {
        control_.onStockPropertyChanged(kDispidBackColor);
        control_.fireViewChange();
    }
    return hr;
}

HRESULT StockProperties::getBackColor(OLE_COLOR* color) const {
    if (!color) {
        return E_POINTER;
    }
    *color = backColor_;
    return S_OK;
}

HRESULT StockProperties::putFont(IFontDisp* font) {
    // A put gets a copy of its own, so later changes to the host's font object do not reach it.
    ComPtr<IFontDisp> copy;
    if (font) {
        ComPtr<IFont> source;
        HRESULT hr = font->QueryInterface(IID_IFont, source.putVoid());
        if (FAILED(hr)) {
            return hr;
        }
        ComPtr<IFont> cloned;
        hr = source->Clone(cloned.put());
        if (FAILED(hr)) {
            return hr;
        }
        hr = cloned.query(IID_IFontDisp, copy);
        if (FAILED(hr)) {
            return hr;
        }
    }
    HRESULT hr = control_.putProperty(kDispidFont, [&] { replaceFont(copy); });
    if (hr == S_OK) {
        control_.onStockPropertyChanged(kDispidFont);
        control_.fireViewChange();
    }
    return hr;
}

HRESULT StockProperties::putRefFont(IFontDisp* font) {
    ComPtr<IFontDisp> shared(font);
    HRESULT hr = control_.putProperty(kDispidFont, [&] { replaceFont(shared); });
    if (hr == S_OK) {
        control_.onStockPropertyChanged(kDispidFont);
        control_.fireViewChange();
    }
    return hr;
}

HRESULT StockProperties::getFont(IFontDisp** font) const {
    return font_.copyTo(font);
}

HRESULT StockProperties::putEnabled(VARIANT_BOOL enabled) {
    HRESULT hr = control_.putProperty(kDispidEnabled, [&] { enabled_ = enabled != VARIANT_FALSE; });
    if (hr == S_OK) {
        control_.onStockPropertyChanged(kDispidEnabled);
        control_.fireViewChange();
    }
    return hr;
}

HRESULT StockProperties::getEnabled(VARIANT_BOOL* enabled) const {
    if (!enabled) {
        return E_POINTER;
    }
    *enabled = enabled_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT StockProperties::putTabStop(VARIANT_BOOL tabStop) {
    HRESULT hr = control_.putProperty(kDispidTabStop, [&] { tabStop_ = tabStop != VARIANT_FALSE; });
    if (hr == S_OK) {
        control_.onStockPropertyChanged(kDispidTabStop);
    }
    return hr;
}

HRESULT StockProperties::getTabStop(VARIANT_BOOL* tabStop) const {
    if (!tabStop) {
        return E_POINTER;
    }
    *tabStop = tabStop_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

void StockProperties::replaceFont(ComPtr<IFontDisp> font) {
    if (font.get() == font_.get()) {
        return;
    }
    disconnectFont();
    font_ = font;
    connectFont();
}

void StockProperties::connectFont() {
    if (!font_) {
        return;
    }
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(font_.query(IID_IConnectionPointContainer, container)) &&
        SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()))) {
        point->Advise(&fontSink_, &fontCookie_);
    }
}

void StockProperties::disconnectFont() {
    if (!font_ || fontCookie_ == 0) {
        return;
    }
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(font_.query(IID_IConnectionPointContainer, container)) &&
        SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()))) {
        point->Unadvise(fontCookie_);
    }
    fontCookie_ = 0;
}

HRESULT STDMETHODCALLTYPE StockProperties::FontSink::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) {
        *object = static_cast<IPropertyNotifySink*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE StockProperties::FontSink::OnChanged(DISPID) {
    // A change inside the font object is a change of the control's Font property.
    owner_.control_.setDirty(true);
    owner_.control_.propertyChanged(kDispidFont);
    owner_.control_.onStockPropertyChanged(kDispidFont);
    owner_.control_.fireViewChange();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StockProperties::FontSink::OnRequestEdit(DISPID) {
    return S_OK;
}

}  // namespace activex
