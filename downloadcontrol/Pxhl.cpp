#include "downloadcontrol/Pxhl.h"

#include <commctrl.h>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/activex/Module.h"

namespace {

// Resource ids of the module.
constexpr int kToolboxBitmapId = 101;
constexpr WORD kCommonControlsManifestId = 1000;

// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST
constexpr DWORD kMiscStatus = 131473;

const activex::ClassRegistration kRegistration = {
    &CLSID_Pxhl,
    L"Pxhl Class",
    L"Pxhl.Pxhl.1.0",
    L"Pxhl 1.0 Class",
    L"Pxhl.Pxhl",
    L"Pxhl Class",
    L"Apartment",
    true,  // Control
    true,  // Insertable
    true,  // Programmable
    kToolboxBitmapId,
    kMiscStatus,
    &LIBID_PxhlLib,
    L"1.0",
};

const activex::ClassEntry kClassEntry = {&CLSID_Pxhl, &Pxhl::create, &kRegistration};

// Process-wide start-up that the first control does: the socket layer and the common controls
// of the list view and the progress bar. Not done while the module loads, where loading further
// libraries is not allowed.
void startModuleServices() {
    static const bool started = [] {
        startWinSock();
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        return true;
    }();
    (void)started;
}

}  // namespace

const activex::ClassRegistration& Pxhl::registration() {
    return kRegistration;
}

const activex::ClassEntry& Pxhl::classEntry() {
    return kClassEntry;
}

HRESULT Pxhl::create(IUnknown* outer, REFIID iid, void** object) {
    return activex::createObject<Pxhl>(outer, iid, object);
}

Pxhl::Pxhl(IUnknown* outer)
    : activex::ControlBase(outer, kRegistration, DIID__IDownloadXEvents),
      activex::DualDispatch<IDownloadX>(IID_IDownloadX),
      events_(*this),
      engine_(errors_, events_, *this),
      listView_(engine_.files(), engine_.overallProgressBar()) {}

Pxhl::~Pxhl() = default;

HRESULT Pxhl::finalConstruct() {
    startModuleServices();
    // The notification window and the events of the engine; without them no run can report back.
    if (!engine_.create()) {
        return E_FAIL;
    }
    // Tahoma 8.25 points, normal weight: the list's font until the host puts another.
    HRESULT hr = stock().createFont(L"Tahoma", 82500, FW_NORMAL);
    if (FAILED(hr)) {
        return hr;
    }
    applyListFont();
    engine_.proxies().presetFromSystem();
    activationContext_.create(activex::Module::handle(), activex::Module::path(), kCommonControlsManifestId);
    return S_OK;
}

void Pxhl::finalRelease() {
    // A run ends first, so that connected sinks still hear how its files ended; the size queries
    // are cancelled and joined before anything they report into goes away.
    engine_.shutdown();
    ControlBase::finalRelease();
    releaseListFont();
    activationContext_.release();
}

void* Pxhl::primaryInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IDownloadX) || IsEqualIID(iid, IID_IDispatch)) {
        return static_cast<IDownloadX*>(this);
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE Pxhl::QueryInterface(REFIID iid, void** object) {
    return outerQueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE Pxhl::AddRef() {
    return outerAddRef();
}

ULONG STDMETHODCALLTYPE Pxhl::Release() {
    return outerRelease();
}
