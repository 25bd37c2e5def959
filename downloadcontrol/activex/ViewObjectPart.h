#pragma once
// IViewObject, IViewObject2 and IViewObjectEx: drawing the control for its container.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class ViewObjectPart final : public DelegatingPart<IViewObjectEx> {
public:
    explicit ViewObjectPart(ControlBase& control);

    // Tells the container's view sink that the picture changed.
    void sendViewChange();
    void releaseAdviseSink() { adviseSink_.reset(); }

    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                   HDC targetInfo, HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                   ULONG_PTR continueArgument) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                          HDC targetInfo, LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target,
                                        LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetRect(DWORD aspect, LPRECTL rect) override;
    HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override;
    HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG closeHint,
                                            DWORD* result) override;
    HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG closeHint,
                                           DWORD* result) override;
    HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target,
                                               HDC targetInfo, DVEXTENTINFO* extentInfo,
                                               LPSIZEL size) override;

private:
    ControlBase& control_;
    ComPtr<IAdviseSink> adviseSink_;
    DWORD adviseAspects_ = 0;
    DWORD adviseFlags_ = 0;
};

}  // namespace activex
