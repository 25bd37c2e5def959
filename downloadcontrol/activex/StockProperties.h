#pragma once
// The stock properties of a control: BackColor, Font, Enabled and TabStop, with the host
// notification protocol on every put, the ambient back colour until the host sets its own, and
// the notification from the font object when the font itself changes.
#include "downloadcontrol/activex/SystemHeaders.h"

#include "downloadcontrol/activex/ComPtr.h"

namespace activex {

class ControlBase;

class StockProperties {
public:
    explicit StockProperties(ControlBase& control);
    StockProperties(const StockProperties&) = delete;
    StockProperties& operator=(const StockProperties&) = delete;
    ~StockProperties();

    // Creates the default font (`face`, `points` in ten-thousandths of a point, `weight`).
    HRESULT createFont(const wchar_t* face, LONGLONG points, short weight);
    // Disconnects from the font and lets it go (teardown).
    void releaseFont();

    OLE_COLOR backColor() const { return backColor_; }
    // The back colour as a COLORREF for drawing.
    COLORREF backColorRef() const;
    bool backColorSetByHost() const { return backColorSet_; }
    // Takes the container's ambient back colour, unless the host has put one.
    void takeAmbientBackColor(OLE_COLOR color);

    IFontDisp* font() const { return font_.get(); }
    // The font's GDI handle, owned by the font object (null without a font).
    HFONT fontHandle() const;
    bool enabled() const { return enabled_; }
    bool tabStop() const { return tabStop_; }

    // The IDownloadX-style accessors: puts return S_FALSE when the host refuses the edit.
    HRESULT putBackColor(OLE_COLOR color);
    HRESULT getBackColor(OLE_COLOR* color) const;
    HRESULT putFont(IFontDisp* font);     // takes a copy of the font
    HRESULT putRefFont(IFontDisp* font);  // shares the font
    HRESULT getFont(IFontDisp** font) const;
    HRESULT putEnabled(VARIANT_BOOL enabled);
    HRESULT getEnabled(VARIANT_BOOL* enabled) const;
    HRESULT putTabStop(VARIANT_BOOL tabStop);
    HRESULT getTabStop(VARIANT_BOOL* tabStop) const;

private:
    // Receives the font's own change notifications. Its lifetime is the control's: it counts no
    // references, so the font does not keep the control alive; it is disconnected before the
    // control goes.
    class FontSink final : public IPropertyNotifySink {
    public:
        explicit FontSink(StockProperties& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
        HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID id) override;

    private:
        StockProperties& owner_;
    };

    void replaceFont(ComPtr<IFontDisp> font);
    void connectFont();
    void disconnectFont();

    ControlBase& control_;
    OLE_COLOR backColor_;
    bool backColorSet_ = false;
    ComPtr<IFontDisp> font_;
    FontSink fontSink_;
    DWORD fontCookie_ = 0;
    bool enabled_ = true;
    bool tabStop_ = true;
};

}  // namespace activex
