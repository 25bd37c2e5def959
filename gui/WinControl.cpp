#include "gui/WinControl.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/HitTest.h"
#include "gui/Screen.h"
#include "gui/Win32Handles.h"
#include <algorithm>
#include <exception>

namespace gui {

const wchar_t* const kControlClassName = L"PixhaulControl";
const wchar_t* const kFormClassName = L"PixhaulForm";

namespace {

const wchar_t* const kControlProperty = L"PixhaulControlObject";
const wchar_t* const kDefaultProcProperty = L"PixhaulDefaultProc";

bool isRoutedMouseMessage(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

// The library's private messages never reach a window procedure.
bool isLibraryMessage(UINT msg) {
    return msg >= CM_BASE && msg < 0xC000;
}

}  // namespace

// ---- window classes and the parking window

static void registerWindowClass(const wchar_t* name, WNDPROC procedure, bool withIcon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = HInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (withIcon) {
        // The program's icon is resource 1.
        wc.hIcon = LoadIconW(HInstance(), MAKEINTRESOURCEW(1));
        wc.hIconSm =
            static_cast<HICON>(LoadImageW(HInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        if (!wc.hIcon)
            wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    }
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

HWND ParkingWindow() {
    static HWND parking = nullptr;
    if (!parking || !IsWindow(parking)) {
        registerWindowClass(L"PixhaulParking", DefWindowProcW, false);
        parking = CreateWindowExW(WS_EX_TOOLWINDOW, L"PixhaulParking", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, HInstance(), nullptr);
    }
    return parking;
}

void HandleCallbackException(TObject* sender) {
    const std::exception_ptr error = std::current_exception();
    if (Application) {
        try {
            Application->HandleException(sender, error);
        } catch (...) {
            // Nothing may leave a Win32 callback.
        }
    }
}

// ---- life

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    isWindowed_ = true;
    // A brush change repaints nothing by itself: controls switch brushes while they paint.
    brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
    MarkDestroying();
    // Children first, newest first; each one leaves our lists in its destructor.
    while (!windowed_.empty())
        delete windowed_.back();
    while (!graphics_.empty())
        delete graphics_.back();
    if (handle_) {
        // The window must not call back into an object that is being destroyed.
        HWND window = handle_;
        detach();
        DestroyWindow(window);
    }
}

// ---- the window

HWND TWinControl::Handle() {
    if (!handle_ && !creating_ && !Destroying())
        CreateWnd();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = TControl::GetText();
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (Visible())
        params.Style |= WS_VISIBLE;
    if (!Enabled())
        params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() ? Parent()->Handle() : ParkingWindow();
    params.ClassName = kControlClassName;
}

void TWinControl::CreateWnd() {
    static bool classesRegistered = false;
    if (!classesRegistered) {
        registerWindowClass(kControlClassName, WindowProcedure, false);
        registerWindowClass(kFormClassName, WindowProcedure, true);
        classesRegistered = true;
    }

    TCreateParams params;
    CreateParams(params);
    if (handle_)
        return;  // the parent's creation made ours already
    creating_ = true;
    HWND window = nullptr;
    if (params.SystemClass) {
        window = CreateWindowExW(params.ExStyle, params.SystemClass, params.Caption.c_str(), params.Style,
                                 params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                 HInstance(), nullptr);
        if (window) {
            systemClass_ = true;
            defWndProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
            SetPropW(window, kDefaultProcProperty, reinterpret_cast<HANDLE>(defWndProc_));
            attach(window);
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
        }
    } else {
        systemClass_ = false;
        defWndProc_ = DefWindowProcW;
        window = CreateWindowExW(params.ExStyle, params.ClassName ? params.ClassName : kControlClassName,
                                 params.Caption.c_str(), params.Style, params.X, params.Y, params.Width,
                                 params.Height, params.WndParent, nullptr, HInstance(), this);
    }
    creating_ = false;
    if (!window)
        return;
    if (systemClass_)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    UpdateBounds();
    placeInZOrder();
    HandleCreated();
    createChildHandles();
}

void TWinControl::HandleCreated() {}

void TWinControl::createChildHandles() {
    for (size_t i = 0; i < windowed_.size(); ++i) {
        auto* child = static_cast<TWinControl*>(windowed_[i]);
        if (child->handle_) {
            ::SetParent(child->handle_, handle_);
            child->placeInZOrder();
        } else {
            child->CreateWnd();
        }
    }
}

void TWinControl::placeInZOrder() {
    // Our list order is the z-order: each child sits above the ones before it.
    if (!handle_ || !Parent() || !Parent()->handle_)
        return;
    const auto& siblings = Parent()->windowed_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    HWND above = HWND_TOP;
    for (auto next = it == siblings.end() ? it : it + 1; next != siblings.end(); ++next) {
        auto* sibling = static_cast<TWinControl*>(*next);
        if (sibling->handle_) {
            above = sibling->handle_;
            break;
        }
    }
    // SetWindowPos puts the window below hWndInsertAfter; HWND_TOP puts it first.
    SetWindowPos(handle_, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TWinControl::DestroyWnd() {
    if (!handle_)
        return;
    HWND window = handle_;
    detach();
    DestroyWindow(window);
}

void TWinControl::RecreateWnd() {
    if (!handle_)
        return;
    DestroyWnd();
    CreateWnd();
}

void TWinControl::attach(HWND window) {
    handle_ = window;
    SetPropW(window, kControlProperty, this);
}

void TWinControl::detach() {
    if (!handle_)
        return;
    HWND window = handle_;
    RemovePropW(window, kControlProperty);
    if (systemClass_ && defWndProc_) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
        RemovePropW(window, kDefaultProcProperty);
    }
    handle_ = nullptr;
    if (CaptureControl() == this)
        SetCaptureControl(nullptr);
}

TWinControl* TWinControl::FindControl(HWND window) {
    if (!window)
        return nullptr;
    return static_cast<TWinControl*>(GetPropW(window, kControlProperty));
}

TWinControl* TWinControl::FindControlOrAncestor(HWND window) {
    for (HWND w = window; w; w = GetAncestor(w, GA_PARENT)) {
        if (TWinControl* control = FindControl(w))
            return control;
        if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(window);
    if (!control && msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control)
            control->attach(window);
    }
    if (!control) {
        auto original = reinterpret_cast<WNDPROC>(GetPropW(window, kDefaultProcProperty));
        return original ? CallWindowProcW(original, window, msg, wParam, lParam)
                        : DefWindowProcW(window, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (control->WindowProc)
            control->WindowProc(message);
        else
            control->WndProc(message);
    } catch (...) {
        HandleCallbackException(control);
        if (msg == WM_NCCREATE)
            message.Result = TRUE;
    }
    if (msg == WM_NCDESTROY && control->handle_ == window)
        control->detach();
    return message.Result;
}

// ---- children

TControl* TWinControl::Controls(int index) const {
    const size_t i = static_cast<size_t>(index);
    if (i < graphics_.size())
        return graphics_[i];
    return windowed_.at(i - graphics_.size());
}

void TWinControl::InsertControl(TControl* control) {
    control->parent_ = this;
    if (control->IsWindowed()) {
        windowed_.push_back(control);
        auto* child = static_cast<TWinControl*>(control);
        if (child->handle_) {
            if (handle_) {
                ::SetParent(child->handle_, handle_);
                child->UpdateBounds();
                child->placeInZOrder();
            }
        } else if (handle_) {
            child->CreateWnd();
        }
    } else {
        graphics_.push_back(control);
    }
}

void TWinControl::RemoveControl(TControl* control) {
    auto& list = control->IsWindowed() ? windowed_ : graphics_;
    auto it = std::find(list.begin(), list.end(), control);
    if (it != list.end())
        list.erase(it);
    if (control->IsWindowed()) {
        auto* child = static_cast<TWinControl*>(control);
        if (child->handle_ && !child->Destroying()) {
            if (GetFocus() == child->handle_ || IsChild(child->handle_, GetFocus()))
                ::SetFocus(nullptr);
            ::SetParent(child->handle_, ParkingWindow());
        }
    }
    control->parent_ = nullptr;
}

void TWinControl::MoveChild(TControl* control, bool toFront) {
    auto& list = control->IsWindowed() ? windowed_ : graphics_;
    auto it = std::find(list.begin(), list.end(), control);
    if (it == list.end())
        return;
    list.erase(it);
    if (toFront)
        list.push_back(control);
    else
        list.insert(list.begin(), control);
    if (control->IsWindowed()) {
        auto* child = static_cast<TWinControl*>(control);
        if (child->handle_)
            SetWindowPos(child->handle_, toFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    } else {
        control->Invalidate();
    }
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls) const {
    auto boxOf = [](const std::vector<TControl*>& list) {
        return [&list](size_t i) {
            const TControl* c = list[i];
            return HitBox{c->BoundsRect(), c->Visible(), c->Enabled()};
        };
    };
    if (allowWinControls) {
        const int hit = TopmostHit(windowed_.size(), boxOf(windowed_), p, allowDisabled);
        if (hit >= 0)
            return windowed_[static_cast<size_t>(hit)];
    }
    const int hit = TopmostHit(graphics_.size(), boxOf(graphics_), p, allowDisabled);
    return hit >= 0 ? graphics_[static_cast<size_t>(hit)] : nullptr;
}

void TWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    const bool scrollPixels = handle_ && IsWindowVisible(handle_);
    if (scrollPixels)
        ScrollWindowEx(handle_, dx, dy, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
    for (TControl* c : graphics_)
        c->StoreBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    for (TControl* c : windowed_) {
        auto* child = static_cast<TWinControl*>(c);
        if (!child->handle_) {
            child->StoreBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
        } else if (!scrollPixels) {
            SetWindowPos(child->handle_, nullptr, c->Left() + dx, c->Top() + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        child->UpdateBounds();
    }
}

// ---- geometry

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const ConstrainedSize size = Constraints()->Apply(width, height);
    if (left == Left() && top == Top() && size.width == Width() && size.height == Height())
        return;
    const bool resized = size.width != Width() || size.height != Height();
    StoreBounds(left, top, size.width, size.height);
    if (handle_) {
        // WM_WINDOWPOSCHANGED reads the bounds back and WM_SIZE reports the resize.
        SetWindowPos(handle_, nullptr, left, top, size.width, size.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    } else if (resized) {
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (!handle_ || IsIconic(handle_))
        return;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
    StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

RECT TWinControl::ClientRect() const {
    if (handle_) {
        RECT r{};
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetClientSize(int width, int height) {
    const RECT client = ClientRect();
    SetBounds(Left(), Top(), Width() - (client.right - client.left) + width,
              Height() - (client.bottom - client.top) + height);
}

POINT TWinControl::ClientOrigin() const {
    if (handle_) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

bool TWinControl::Showing() const {
    return TControl::Showing();
}

// ---- painting

void TWinControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, (ControlStyle() & csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
    if (handle_)
        UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::ExcludeOpaqueChildren(HDC dc) {
    RECT clip{};
    if (GetClipBox(dc, &clip) == NULLREGION)
        return;
    for (TControl* c : graphics_) {
        if (!c->Visible() || !(c->ControlStyle() & csOpaque))
            continue;
        const RECT b = c->BoundsRect();
        RECT overlap{};
        if (IntersectRect(&overlap, &b, &clip))
            ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
    }
}

void TWinControl::ChangeFrameStyle(int index, LONG_PTR bit, bool set) {
    if (!HandleAllocated())
        return;
    HWND window = Handle();
    const LONG_PTR bits = GetWindowLongPtrW(window, index);
    SetWindowLongPtrW(window, index, set ? (bits | bit) : (bits & ~bit));
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The parts of a device context's state that painting a windowless child may change, put back
// after each child. Much cheaper than SaveDC / RestoreDC (and than selecting objects), which
// cost microseconds per call under Wine and would dominate a parent with a thousand children.
class ChildPaintState {
public:
    explicit ChildPaintState(HDC dc)
        : dc_(dc),
          clip_(CreateRectRgn(0, 0, 0, 0)),
          hasClip_(clip_ && GetClipRgn(dc, clip_.get()) == 1),
          textColor_(GetTextColor(dc)),
          backColor_(GetBkColor(dc)),
          backMode_(GetBkMode(dc)),
          textAlign_(GetTextAlign(dc)),
          rop_(GetROP2(dc)),
          stretchMode_(GetStretchBltMode(dc)),
          pen_(GetCurrentObject(dc, OBJ_PEN)),
          brush_(GetCurrentObject(dc, OBJ_BRUSH)),
          font_(GetCurrentObject(dc, OBJ_FONT)) {
        GetViewportOrgEx(dc, &viewport_);
        GetBrushOrgEx(dc, &brushOrigin_);
    }

    void Restore() const {
        SetViewportOrgEx(dc_, viewport_.x, viewport_.y, nullptr);
        SelectClipRgn(dc_, hasClip_ ? clip_.get() : nullptr);
        SetTextColor(dc_, textColor_);
        SetBkColor(dc_, backColor_);
        SetBkMode(dc_, backMode_);
        SetTextAlign(dc_, textAlign_);
        SetROP2(dc_, rop_);
        SetStretchBltMode(dc_, stretchMode_);
        SetBrushOrgEx(dc_, brushOrigin_.x, brushOrigin_.y, nullptr);
        // Selecting is the costly part: only what the child left selected.
        if (GetCurrentObject(dc_, OBJ_PEN) != pen_)
            SelectObject(dc_, pen_);
        if (GetCurrentObject(dc_, OBJ_BRUSH) != brush_)
            SelectObject(dc_, brush_);
        if (GetCurrentObject(dc_, OBJ_FONT) != font_)
            SelectObject(dc_, font_);
    }

private:
    HDC dc_;
    GdiObject<HRGN> clip_;
    bool hasClip_;
    COLORREF textColor_;
    COLORREF backColor_;
    int backMode_;
    UINT textAlign_;
    int rop_;
    int stretchMode_;
    HGDIOBJ pen_;
    HGDIOBJ brush_;
    HGDIOBJ font_;
    POINT viewport_{};
    POINT brushOrigin_{};
};

}  // namespace

void TWinControl::PaintControls(HDC dc) {
    RECT clip{};
    if (GetClipBox(dc, &clip) == NULLREGION)
        return;
    const ChildPaintState state(dc);
    for (size_t i = 0; i < graphics_.size(); ++i) {
        TControl* c = graphics_[i];
        if (!c->Visible())
            continue;
        const RECT b = c->BoundsRect();
        RECT overlap{};
        if (!IntersectRect(&overlap, &b, &clip))
            continue;
        OffsetViewportOrgEx(dc, b.left, b.top, nullptr);
        IntersectClipRect(dc, 0, 0, b.right - b.left, b.bottom - b.top);
        try {
            c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
            state.Restore();
            throw;
        }
        state.Restore();
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    // Off screen nothing shows until the copy, so opaque children need not be cut out of the
    // background first; on screen they must, or the background flashes under them.
    auto paintContent = [this](HDC dc, bool offScreen) {
        {
            SavedDCState state(dc);
            if (!offScreen)
                ExcludeOpaqueChildren(dc);
            RECT clip{};
            if (GetClipBox(dc, &clip) != NULLREGION)
                PaintWindow(dc);
        }
        PaintControls(dc);
    };

    if (message.WParam) {
        paintContent(reinterpret_cast<HDC>(message.WParam),
                     message.LParam == static_cast<LPARAM>(message.WParam));
        message.Result = 0;
        return;
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(handle_, &ps);
    if (!dc)
        return;
    if (doubleBuffered_) {
        RECT client{};
        GetClientRect(handle_, &client);
        const int width = client.right > 0 ? client.right : 1;
        const int height = client.bottom > 0 ? client.bottom : 1;
        MemoryDC memory(dc);
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
        if (memory.get() && bitmap) {
            SelectedObject selected(memory.get(), bitmap.get());
            IntersectClipRect(memory.get(), ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right,
                              ps.rcPaint.bottom);
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()),
                    reinterpret_cast<LPARAM>(memory.get()));
            paintContent(memory.get(), true);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, memory.get(), ps.rcPaint.left, ps.rcPaint.top,
                   SRCCOPY);
        } else {
            paintContent(dc, false);
        }
    } else {
        paintContent(dc, false);
    }
    EndPaint(handle_, &ps);
    message.Result = 0;
}

void TWinControl::EraseBackground(TMessage& message) {
    // While double-buffered, WM_PAINT erases off-screen (wParam == lParam marks that call).
    if (doubleBuffered_ && message.WParam != static_cast<WPARAM>(message.LParam)) {
        message.Result = 1;
        return;
    }
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const bool offScreen = message.WParam == static_cast<WPARAM>(message.LParam);
    if (HBRUSH brush = brush_.Handle()) {
        SavedDCState state(dc);
        if (!offScreen)
            ExcludeOpaqueChildren(dc);
        RECT client = ClientRect();
        FillRect(dc, &client, brush);
    }
    message.Result = 1;
}

// ---- look

void TWinControl::ColorChanged() {
    brush_.SetColor(Color());
    for (TControl* c : graphics_)
        c->ParentColorChanged();
    for (TControl* c : windowed_)
        c->ParentColorChanged();
    Invalidate();
}

void TWinControl::ParentColorChanged() {
    TControl::ParentColorChanged();
}

void TWinControl::FontChanged() {
    if (handle_ && systemClass_)
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
    for (TControl* c : graphics_)
        c->ParentFontChanged();
    for (TControl* c : windowed_)
        c->ParentFontChanged();
    Invalidate();
}

void TWinControl::ParentFontChanged() {
    TControl::ParentFontChanged();
}

void TWinControl::VisibleChanged() {
    if (!handle_)
        return;
    if (!Visible()) {
        HWND focus = GetFocus();
        if (focus && (focus == handle_ || IsChild(handle_, focus))) {
            TForm* form = GetParentForm(this);
            if (form && form != this && form->HandleAllocated())
                ::SetFocus(form->Handle());
        }
    }
    ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
    if (handle_)
        EnableWindow(handle_, Enabled() ? TRUE : FALSE);
    Invalidate();
}

std::wstring TWinControl::GetText() const {
    if (!handle_)
        return TControl::GetText();
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle_, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void TWinControl::StoreText(const std::wstring& text) {
    TControl::StoreText(text);
    if (handle_)
        SetWindowTextW(handle_, text.c_str());
}

// ---- focus and keys

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled())
            return false;
    }
    return true;
}

void TWinControl::SetFocus() {
    TForm* form = GetParentForm(this);
    if (form && form != this && (!form->Visible() || !form->Active())) {
        // Takes effect when the form becomes active.
        form->SetActiveControl(this);
        return;
    }
    if (HWND window = Handle())
        ::SetFocus(window);
}

bool TWinControl::DoKeyDown(TMessage& message) {
    TForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(message))
        return true;
    WORD key = static_cast<WORD>(message.WParam);
    KeyDown(key, TShiftState::FromKeyboard());
    if (key == 0)
        return true;
    message.WParam = key;
    return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
    TForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(message))
        return true;
    WORD key = static_cast<WORD>(message.WParam);
    KeyUp(key, TShiftState::FromKeyboard());
    if (key == 0)
        return true;
    message.WParam = key;
    return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
    TForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(message))
        return true;
    wchar_t key = static_cast<wchar_t>(message.WParam);
    KeyPress(key);
    if (key == 0)
        return true;
    message.WParam = key;
    return false;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

// ---- messages

void TWinControl::WndProc(TMessage& message) {
    if (isRoutedMouseMessage(message.Msg)) {
        // Windowless children get their mouse messages from us, in their own coordinates; the
        // one holding the mouse gets them all until the button is released.
        TControl* target = nullptr;
        TControl* capture = CaptureControl();
        if (capture) {
            if (capture->Parent() == this && !capture->IsWindowed())
                target = capture;
        } else {
            target = ControlAtPos(PointFromLParam(message.LParam), false);
        }
        if (target) {
            POINT p = PointFromLParam(message.LParam);
            p.x -= target->Left();
            p.y -= target->Top();
            message.Result = target->Perform(message.Msg, message.WParam, LParamFromPoint(p));
            return;
        }
    }
    TControl::WndProc(message);
}

void TWinControl::reflect(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (control && control != this) {
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
        return;
    }
    DefaultHandler(message);
}

void TWinControl::setCursorMessage(TMessage& message) {
    if (reinterpret_cast<HWND>(message.WParam) == handle_ && LOWORD(message.LParam) == HTCLIENT) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            if (TControl* child = ControlAtPos(ScreenToClient(p), false))
                cursor = child->Cursor();
            if (cursor == crDefault)
                cursor = Cursor();
        }
        if (cursor != crDefault) {
            ::SetCursor(CursorHandle(cursor));
            message.Result = TRUE;
            return;
        }
    }
    DefaultHandler(message);
}

void TWinControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT:
        if (!systemClass_) {
            PaintHandler(message);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (!systemClass_) {
            EraseBackground(message);
            return;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(message)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(message)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (DoKeyPress(message)) {
            message.Result = 0;
            return;
        }
        break;
    case WM_SETFOCUS:
        DefaultHandler(message);
        if (TForm* form = GetParentForm(this))
            form->FocusChanged(this);
        return;
    case WM_SETCURSOR:
        setCursorMessage(message);
        return;
    case WM_CAPTURECHANGED: {
        TControl* capture = CaptureControl();
        if (capture && (capture == this || capture->Parent() == this) &&
            reinterpret_cast<HWND>(message.LParam) != handle_)
            SetCaptureControl(nullptr);
        break;
    }
    case WM_WINDOWPOSCHANGED:
        UpdateBounds();
        break;
    case WM_SIZE:
        DefaultHandler(message);
        if (!creating_)
            Resize();
        return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        reflect(message, reinterpret_cast<HWND>(message.LParam));
        return;
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (message.LParam) {
            reflect(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        message.Result = reinterpret_cast<LRESULT>(brush_.Handle());
        return;
    }
    default:
        break;
    }
    TControl::Dispatch(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!handle_ || isLibraryMessage(message.Msg)) {
        message.Result = 0;
        return;
    }
    message.Result = CallWindowProcW(defWndProc_ ? defWndProc_ : DefWindowProcW, handle_, message.Msg,
                                     message.WParam, message.LParam);
}

}  // namespace gui
