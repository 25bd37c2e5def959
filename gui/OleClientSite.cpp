#include "gui/OleClientSite.h"

namespace gui {

namespace {

LONG liveSites = 0;

// Pixels per logical inch of the screen, horizontally and vertically.
SIZE screenDpi() {
    SIZE dpi{96, 96};
    if (HDC screen = GetDC(nullptr)) {
        dpi.cx = GetDeviceCaps(screen, LOGPIXELSX);
        dpi.cy = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

constexpr double kHimetricPerInch = 2540.0;

}  // namespace

// The new object has no reference until the pointer that receives it takes one.
Microsoft::WRL::ComPtr<OleClientSite> OleClientSite::Create() {
    return Microsoft::WRL::ComPtr<OleClientSite>(new OleClientSite());
}

OleClientSite::OleClientSite() {
    InterlockedIncrement(&liveSites);
}

OleClientSite::~OleClientSite() {
    InterlockedDecrement(&liveSites);
}

LONG OleClientSite::LiveCount() {
    return liveSites;
}

void OleClientSite::SetPlace(HWND container, const RECT& bounds) {
    container_ = container;
    bounds_ = bounds;
}

void OleClientSite::Detach() {
    container_ = nullptr;
    bounds_ = RECT{};
}

// ---- IUnknown

HRESULT OleClientSite::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite) ||
             IsEqualIID(iid, IID_IOleInPlaceSiteEx))
        *object = static_cast<IOleInPlaceSiteEx*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (IsEqualIID(iid, IID_IOleControlSite))
        *object = static_cast<IOleControlSite*>(this);
    else if (IsEqualIID(iid, IID_IDispatch))
        *object = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG OleClientSite::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG OleClientSite::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// ---- IOleClientSite: nothing is stored; the container has no monikers and no object list.

HRESULT OleClientSite::SaveObject() {
    return S_OK;
}

HRESULT OleClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT OleClientSite::GetContainer(IOleContainer** container) {
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT OleClientSite::ShowObject() {
    return S_OK;
}
HRESULT OleClientSite::OnShowWindow(BOOL) {
    return S_OK;
}
HRESULT OleClientSite::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

// ---- IOleWindow

HRESULT OleClientSite::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = container_;
    return container_ ? S_OK : E_FAIL;
}

HRESULT OleClientSite::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

// ---- IOleInPlaceSite

HRESULT OleClientSite::CanInPlaceActivate() {
    return container_ ? S_OK : S_FALSE;
}
HRESULT OleClientSite::OnInPlaceActivate() {
    return S_OK;
}
HRESULT OleClientSite::OnUIActivate() {
    return S_OK;
}

HRESULT OleClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = bounds_;
    *clip = bounds_;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = container_ ? GetAncestor(container_, GA_ROOT) : nullptr;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT OleClientSite::Scroll(SIZE) {
    return E_NOTIMPL;
}
HRESULT OleClientSite::OnUIDeactivate(BOOL) {
    return S_OK;
}
HRESULT OleClientSite::OnInPlaceDeactivate() {
    return S_OK;
}
HRESULT OleClientSite::DiscardUndoState() {
    return S_OK;
}
HRESULT OleClientSite::DeactivateAndUndo() {
    return S_OK;
}

// The host's layout decides the rectangle; a control that asks for another one keeps ours.
HRESULT OleClientSite::OnPosRectChange(LPCRECT) {
    return S_OK;
}

// ---- IOleInPlaceSiteEx: the container redraws nothing of its own under the control.

HRESULT OleClientSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
    if (noRedraw)
        *noRedraw = FALSE;
    return S_OK;
}

HRESULT OleClientSite::OnInPlaceDeactivateEx(BOOL) {
    return S_OK;
}

HRESULT OleClientSite::RequestUIActivate() {
    return S_OK;
}

// ---- IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status line.

HRESULT OleClientSite::GetBorder(LPRECT) {
    return INPLACE_E_NOTOOLSPACE;
}
HRESULT OleClientSite::RequestBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}
HRESULT OleClientSite::SetBorderSpace(LPCBORDERWIDTHS) {
    return OLE_E_INVALIDRECT;
}
HRESULT OleClientSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
    return S_OK;
}
HRESULT OleClientSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) {
    return E_NOTIMPL;
}
HRESULT OleClientSite::SetMenu(HMENU, HOLEMENU, HWND) {
    return S_OK;
}
HRESULT OleClientSite::RemoveMenus(HMENU) {
    return E_NOTIMPL;
}
HRESULT OleClientSite::SetStatusText(LPCOLESTR) {
    return S_OK;
}
HRESULT OleClientSite::EnableModeless(BOOL) {
    return S_OK;
}
HRESULT OleClientSite::TranslateAccelerator(LPMSG, WORD) {
    return S_FALSE;
}

// ---- IOleControlSite

HRESULT OleClientSite::OnControlInfoChanged() {
    return S_OK;
}
HRESULT OleClientSite::LockInPlaceActive(BOOL) {
    return S_OK;
}

HRESULT OleClientSite::GetExtendedControl(IDispatch** control) {
    if (control)
        *control = nullptr;
    return E_NOTIMPL;
}

// The container measures in screen pixels.
HRESULT OleClientSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container)
        return E_POINTER;
    const SIZE dpi = screenDpi();
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x * dpi.cx / kHimetricPerInch);
        container->y = static_cast<float>(himetric->y * dpi.cy / kHimetricPerInch);
        return S_OK;
    }
    if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / dpi.cx + 0.5);
        himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / dpi.cy + 0.5);
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT OleClientSite::TranslateAccelerator(LPMSG, DWORD) {
    return S_FALSE;
}
HRESULT OleClientSite::OnFocus(BOOL) {
    return S_OK;
}
HRESULT OleClientSite::ShowPropertyFrame() {
    return E_NOTIMPL;
}

// ---- IDispatch: ambient properties. The program runs its controls, never designs them.

HRESULT OleClientSite::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT OleClientSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT OleClientSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT OleClientSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                              UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result)
        return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_TRUE;
        return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace gui
