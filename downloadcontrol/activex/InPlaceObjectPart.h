#pragma once
// IOleInPlaceObject(Windowless) and IOleInPlaceActiveObject of a windowed control.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ObjectRoot.h"

namespace activex {

class ControlBase;

class InPlaceObjectPart final : public DelegatingPart<IOleInPlaceObjectWindowless, IOleInPlaceActiveObject> {
public:
    explicit InPlaceObjectPart(ControlBase& control);

    // IOleWindow (shared by both interfaces)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

    // IOleInPlaceObjectWindowless: the control always has a window of its own.
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

private:
    ControlBase& control_;
};

}  // namespace activex
