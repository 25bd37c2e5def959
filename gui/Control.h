#pragma once
// TControl: what windowed and windowless controls have in common: parent and z-order, geometry,
// visibility and enabling, colour and font, cursor and hint, the message path
// (Perform -> WindowProc -> WndProc -> Dispatch -> DefaultHandler) and the mouse events.
#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Graphics.h"
#include "gui/SizeConstraints.h"
#include <string>

namespace gui {

class TWinControl;
class TForm;

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,  // may be the parent of other controls
    csCaptureMouse = 1u << 1,     // captures the mouse from a press to its release
    csClickEvents = 1u << 2,      // a left press and release inside it make a click
    csOpaque = 1u << 3,           // paints every pixel of its bounds: the parent skips that area
};
using TControlStyle = unsigned;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // ---- parent and z-order
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // Moves the control above (or below) its siblings of the same kind. Windowless controls are
    // always below their windowed siblings.
    virtual void BringToFront();
    virtual void SendToBack();
    // True when control is this one or lies inside it.
    bool Contains(const TControl* control) const;

    // ---- geometry, in the parent's client coordinates (forms: screen coordinates)
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    virtual RECT ClientRect() const;
    int ClientWidth() const {
        RECT r = ClientRect();
        return r.right - r.left;
    }
    int ClientHeight() const {
        RECT r = ClientRect();
        return r.bottom - r.top;
    }
    void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
    void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
    virtual void SetClientSize(int width, int height);
    // Screen position of the client area's top-left corner.
    virtual POINT ClientOrigin() const;
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    TSizeConstraints* Constraints() { return &constraints_; }

    // ---- visibility, enabling, painting
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible with every parent visible.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- look
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style);
    // Sets or clears csOpaque: a control that is not opaque lets its parent paint under it.
    void SetOpaque(bool opaque) {
        SetControlStyle(opaque ? (controlStyle_ | csOpaque) : (controlStyle_ & ~csOpaque));
    }
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    TFont* Font() { return &font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    std::wstring Caption() const { return GetText(); }
    void SetCaption(const std::wstring& text) { SetText(text); }
    std::wstring Text() const { return GetText(); }
    void SetText(const std::wstring& text);

    // ---- hints
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint) { hint_ = hint; }
    // With ParentShowHint (the default) the value follows the parent's.
    bool ShowHint() const;
    void SetShowHint(bool showHint);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parentShowHint) { parentShowHint_ = parentShowHint; }

    // ---- messages
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The entry of every message; replace it to watch or change messages, and call the saved
    // previous value to go on. Its default calls WndProc.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& message);
    // Hands a message to its handler; overrides handle theirs and call the base for the rest.
    virtual void Dispatch(TMessage& message);
    // What happens to a message nobody handles (the window's own procedure for windowed controls).
    virtual void DefaultHandler(TMessage& message);

    // ---- mouse capture
    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // True for controls with a window of their own (TWinControl and below).
    bool IsWindowed() const { return isWindowed_; }

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void Resize();
    virtual std::wstring GetText() const { return text_; }
    // Stores the text; windowed controls also set their window text.
    virtual void StoreText(const std::wstring& text) { text_ = text; }
    virtual void TextChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() { Invalidate(); }
    virtual void StyleChanged() { Invalidate(); }

    // Called by the parent when its colour or font changed.
    virtual void ParentColorChanged();
    virtual void ParentFontChanged();
    // Geometry fields without side effects (windowed controls read them back from the window).
    void StoreBounds(int left, int top, int width, int height) {
        left_ = left;
        top_ = top;
        width_ = width;
        height_ = height;
    }
    void SetDefaultCursorOnScreen();

    friend class TWinControl;

private:
    bool isWindowed_ = false;
    void handleMouseDown(TMessage& message, TMouseButton button);
    void handleMouseUp(TMessage& message, TMouseButton button);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    TFont font_;
    bool parentFont_ = true;
    bool fontFromParent_ = false;
    TCursor cursor_ = crDefault;
    std::wstring text_;
    std::wstring hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    bool clicked_ = false;
    TSizeConstraints constraints_;
};

// The control that holds the mouse between a press and its release (windowless controls hold
// it through their parent's window), or null.
TControl* CaptureControl();
void SetCaptureControl(TControl* control);

// The form a control lies in, or null.
TForm* GetParentForm(const TControl* control);

}  // namespace gui
