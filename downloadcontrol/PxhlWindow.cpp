// The control's window with the list in it, and what the engine asks of the control.
#include "downloadcontrol/Pxhl.h"

#include <olectl.h>

#include "downloadcontrol/activex/Module.h"
#include "downloadcontrol/activex/StockDispatchIds.h"

LRESULT Pxhl::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
    case WM_CREATE: {
        // The list and its bar use version 6 of the common controls, which the context selects.
        ScopedActivation activation(activationContext_);
        listView_.create(window, activex::Module::handle(), listFont_, stock().enabled());
        return 0;
    }
    case WM_SIZE:
        listView_.layout(LOWORD(lParam), HIWORD(lParam));
        handled = true;
        return 0;
    case WM_SETFOCUS:
        // The list takes the keyboard focus; the framework then tells the container.
        listView_.onSetFocus(window, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_NOTIFY:
        if (lParam && listView_.onNotify(*reinterpret_cast<const NMHDR*>(lParam))) {
            handled = true;
        }
        return 0;
    case WM_DESTROY:
        listView_.destroy();
        return 0;
    default:
        break;
    }
    // Messages that a parent reflects back to its child control go to the default handling of
    // the original message.
    if (message >= OCM__BASE && message < OCM__BASE + WM_USER) {
        handled = true;
        return DefWindowProcW(window, message - OCM__BASE, wParam, lParam);
    }
    return 0;
}

void Pxhl::onStockPropertyChanged(DISPID id) {
    if (id == activex::kDispidFont) {
        applyListFont();
    } else if (id == activex::kDispidEnabled) {
        listView_.setEnabled(stock().enabled());
    }
}

void Pxhl::applyListFont() {
    activex::ComPtr<IFont> font;
    HFONT handle = nullptr;
    if (IFontDisp* fontDisp = stock().font()) {
        if (SUCCEEDED(fontDisp->QueryInterface(IID_IFont, font.putVoid())) && font) {
            font->get_hFont(&handle);
        }
    }
    // The font object may drop a handle nobody holds; the list keeps a reference on the one it uses.
    if (font && handle) {
        font->AddRefHfont(handle);
    }
    listView_.setFont(handle);
    releaseListFont();
    listFontOwner_ = font;
    listFont_ = handle;
}

void Pxhl::releaseListFont() {
    if (listFontOwner_ && listFont_) {
        listFontOwner_->ReleaseHfont(listFont_);
    }
    listFontOwner_.reset();
    listFont_ = nullptr;
}

void Pxhl::fileChanged(int32_t fileId) {
    listView_.refreshRow(fileId);
}

void Pxhl::fileRemoved(int32_t fileId) {
    listView_.removeRow(fileId);
}

void Pxhl::filesCleared() {
    listView_.removeAllRows();
}

void Pxhl::overallProgressChanged() {
    listView_.showOverallProgress();
}

HWND Pxhl::dialogOwner() {
    return window();
}

ULONG_PTR Pxhl::activateDialogContext() {
    ULONG_PTR cookie = 0;
    if (activationContext_.valid() && ActivateActCtx(activationContext_.handle(), &cookie)) {
        return cookie;
    }
    return 0;
}

void Pxhl::deactivateDialogContext(ULONG_PTR cookie) {
    if (cookie != 0) {
        DeactivateActCtx(0, cookie);
    }
}

void Pxhl::holdControl() {
    innerUnknown()->AddRef();
}

void Pxhl::releaseControl() {
    innerUnknown()->Release();
}
