#include "gui/Control.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/WinControl.h"

namespace gui {

namespace {
TControl* captureControl = nullptr;

// Marks r of the parent's client area for painting. A rectangle wholly outside that area (a part of
// a scrolled grid out of view) would mark nothing, and asking the window system costs a trip.
void invalidateOnParent(TWinControl& parent, const RECT& r, bool erase) {
    RECT client{};
    RECT overlap{};
    if (GetClientRect(parent.Handle(), &client) && !IntersectRect(&overlap, &client, &r))
        return;
    InvalidateRect(parent.Handle(), &r, erase ? TRUE : FALSE);
}
}  // namespace

TControl* CaptureControl() {
    return captureControl;
}

void SetCaptureControl(TControl* control) {
    // Releasing sends WM_CAPTURECHANGED to the old holder; the variable is already clear then.
    captureControl = nullptr;
    if (GetCapture())
        ReleaseCapture();
    if (!control)
        return;
    if (control->IsWindowed()) {
        HWND window = static_cast<TWinControl*>(control)->Handle();
        if (!window)
            return;
        SetCapture(window);
    } else {
        TWinControl* parent = control->Parent();
        if (!parent || !parent->Handle())
            return;
        SetCapture(parent->Handle());
    }
    captureControl = control;
}

TForm* GetParentForm(const TControl* control) {
    const TControl* top = control;
    while (top && top->Parent())
        top = top->Parent();
    return dynamic_cast<TForm*>(const_cast<TControl*>(top));
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& message) { WndProc(message); };
    font_.OnChange = [this] {
        if (!fontFromParent_)
            parentFont_ = false;
        FontChanged();
    };
    constraints_.OnChange = [this] { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl() {
    MarkDestroying();
    if (captureControl == this)
        SetCaptureControl(nullptr);
    if (Application)
        Application->ControlDestroying(this);
    if (parent_) {
        if (TForm* form = GetParentForm(this))
            form->ForgetControl(this);
        TWinControl* parent = parent_;
        if (!parent->Destroying() && visible_ && !IsWindowed() && parent->HandleAllocated())
            invalidateOnParent(*parent, BoundsRect(), true);
        parent->RemoveControl(this);
    }
    font_.OnChange = nullptr;
    constraints_.OnChange = nullptr;
}

// ---- parent and z-order

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent || parent == this)
        return;
    if (parent && Contains(parent))
        return;  // a control cannot live inside itself
    if (parent_) {
        if (TForm* form = GetParentForm(this))
            form->ForgetControl(this);
        if (captureControl == this)
            SetCaptureControl(nullptr);
        if (visible_ && !IsWindowed() && parent_->HandleAllocated())
            invalidateOnParent(*parent_, BoundsRect(), true);
        parent_->RemoveControl(this);
    }
    if (parent) {
        parent->InsertControl(this);
        if (parentColor_)
            ParentColorChanged();
        if (parentFont_)
            ParentFontChanged();
        Invalidate();
    }
}

void TControl::BringToFront() {
    if (parent_)
        parent_->MoveChild(this, true);
}

void TControl::SendToBack() {
    if (parent_)
        parent_->MoveChild(this, false);
}

bool TControl::Contains(const TControl* control) const {
    for (const TControl* c = control; c; c = c->parent_) {
        if (c == this)
            return true;
    }
    return false;
}

// ---- geometry

void TControl::SetBounds(int left, int top, int width, int height) {
    const ConstrainedSize size = constraints_.Apply(width, height);
    if (left == left_ && top == top_ && size.width == width_ && size.height == height_)
        return;
    const bool resized = size.width != width_ || size.height != height_;
    if (parent_ && visible_ && parent_->HandleAllocated())
        invalidateOnParent(*parent_, BoundsRect(), true);
    StoreBounds(left, top, size.width, size.height);
    Invalidate();
    if (resized)
        Resize();
}

RECT TControl::ClientRect() const {
    return RECT{0, 0, width_, height_};
}

void TControl::SetClientSize(int width, int height) {
    SetBounds(left_, top_, width, height);
}

POINT TControl::ClientOrigin() const {
    POINT origin{left_, top_};
    if (parent_) {
        const POINT parentOrigin = parent_->ClientOrigin();
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    return origin;
}

POINT TControl::ClientToScreen(POINT p) const {
    const POINT origin = ClientOrigin();
    return POINT{p.x + origin.x, p.y + origin.y};
}

POINT TControl::ScreenToClient(POINT p) const {
    const POINT origin = ClientOrigin();
    return POINT{p.x - origin.x, p.y - origin.y};
}

// ---- visibility and painting

void TControl::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    if (parent_ && parent_->HandleAllocated())
        invalidateOnParent(*parent_, BoundsRect(), true);
    VisibleChanged();
}

bool TControl::Showing() const {
    return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::Invalidate() {
    if (!visible_ || !parent_ || !parent_->HandleAllocated())
        return;
    invalidateOnParent(*parent_, BoundsRect(), (controlStyle_ & csOpaque) == 0);
}

void TControl::Update() {
    if (parent_)
        parent_->Update();
}

void TControl::Repaint() {
    // A hidden control has nothing to show; updating the parent now would only paint, in the
    // middle of the caller's changes, what is waiting to be painted.
    if (!visible_)
        return;
    Invalidate();
    Update();
}

// ---- look

void TControl::SetControlStyle(TControlStyle style) {
    if (controlStyle_ == style)
        return;
    const bool opacityChanged = ((controlStyle_ ^ style) & csOpaque) != 0;
    controlStyle_ = style;
    if (opacityChanged && parent_ && visible_ && parent_->HandleAllocated())
        invalidateOnParent(*parent_, BoundsRect(), true);
    StyleChanged();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color_ == color)
        return;
    color_ = color;
    ColorChanged();
}

void TControl::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    if (parentColor_)
        ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_ || parent_->Color() == color_)
        return;
    color_ = parent_->Color();
    ColorChanged();
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont_)
        ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_)
        return;
    fontFromParent_ = true;
    font_.Assign(*parent_->Font());
    fontFromParent_ = false;
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor_ == cursor)
        return;
    cursor_ = cursor;
    SetDefaultCursorOnScreen();
}

void TControl::SetDefaultCursorOnScreen() {
    // Let the window under the pointer choose its cursor again, so a change shows at once.
    POINT p{};
    if (!GetCursorPos(&p))
        return;
    HWND window = WindowFromPoint(p);
    if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        GetCapture() == nullptr)
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TControl::SetText(const std::wstring& text) {
    if (GetText() == text)
        return;
    StoreText(text);
    TextChanged();
}

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_)
        return parent_->ShowHint();
    return showHint_;
}

void TControl::SetShowHint(bool showHint) {
    showHint_ = showHint;
    parentShowHint_ = false;
}

// ---- messages

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    if (WindowProc)
        WindowProc(message);
    else
        WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) {
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        handleMouseDown(message, mbLeft);
        return;
    case WM_RBUTTONDOWN:
        handleMouseDown(message, mbRight);
        return;
    case WM_MBUTTONDOWN:
        handleMouseDown(message, mbMiddle);
        return;
    case WM_LBUTTONUP:
        handleMouseUp(message, mbLeft);
        return;
    case WM_RBUTTONUP:
        handleMouseUp(message, mbRight);
        return;
    case WM_MBUTTONUP:
        handleMouseUp(message, mbMiddle);
        return;
    case WM_MOUSEMOVE: {
        DefaultHandler(message);
        const POINT p = PointFromLParam(message.LParam);
        MouseMove(TShiftState::FromMouseKeys(message.WParam), p.x, p.y);
        return;
    }
    default:
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage& message) {
    message.Result = 0;
}

void TControl::handleMouseDown(TMessage& message, TMouseButton button) {
    DefaultHandler(message);
    if (button == mbLeft) {
        if (controlStyle_ & csCaptureMouse)
            SetMouseCapture(true);
        if (controlStyle_ & csClickEvents)
            clicked_ = true;
    }
    const POINT p = PointFromLParam(message.LParam);
    MouseDown(button, TShiftState::FromMouseKeys(message.WParam), p.x, p.y);
}

void TControl::handleMouseUp(TMessage& message, TMouseButton button) {
    DefaultHandler(message);
    const POINT p = PointFromLParam(message.LParam);
    if (button == mbLeft) {
        if (controlStyle_ & csCaptureMouse)
            SetMouseCapture(false);
        if (clicked_) {
            clicked_ = false;
            const RECT client = ClientRect();
            if (p.x >= client.left && p.x < client.right && p.y >= client.top && p.y < client.bottom)
                Click();
        }
    }
    MouseUp(button, TShiftState::FromMouseKeys(message.WParam), p.x, p.y);
}

bool TControl::MouseCapture() const {
    return captureControl == this;
}

void TControl::SetMouseCapture(bool capture) {
    if (capture)
        SetCaptureControl(this);
    else if (captureControl == this)
        SetCaptureControl(nullptr);
}

// ---- events

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}

}  // namespace gui
