#include "gui/Form.h"
#include "gui/Application.h"
#include <vector>

namespace gui {

namespace {

constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX |
                               WS_MAXIMIZEBOX | WS_BORDER | WS_DLGFRAME;
constexpr DWORD kFrameExStyles = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;

struct ThreadWindows {
    HWND except;
    std::vector<HWND> disabled;
};

BOOL CALLBACK disableWindow(HWND window, LPARAM lParam) {
    auto* state = reinterpret_cast<ThreadWindows*>(lParam);
    if (window != state->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        state->disabled.push_back(window);
    }
    return TRUE;
}

void collectTabStops(TWinControl* parent, std::vector<TWinControl*>& stops) {
    for (TControl* c : parent->WinControls()) {
        auto* child = static_cast<TWinControl*>(c);
        if (child->TabStop() && child->CanFocus())
            stops.push_back(child);
        collectTabStops(child, stops);
    }
}

bool offerDialogKey(TWinControl* parent, WORD key) {
    for (TControl* c : parent->WinControls()) {
        auto* child = static_cast<TWinControl*>(c);
        if (!child->Visible() || !child->Enabled())
            continue;
        if (child->Perform(CM_DIALOGKEY, key, 0) != 0)
            return true;
        if (offerDialogKey(child, key))
            return true;
    }
    return false;
}

}  // namespace

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    MarkDestroying();
    if (Application)
        Application->FormDestroying(this);
}

void TForm::AfterConstruction() {
    if (created_)
        return;
    created_ = true;
    DoCreate();
}

void TForm::DoCreate() {
    if (OnCreate)
        OnCreate(this);
}

// ---- window

void TForm::styleBits(DWORD& style, DWORD& exStyle) const {
    style = 0;
    exStyle = 0;
    switch (borderStyle_) {
    case bsNone:
        style = WS_POPUP;
        break;
    case bsSingle:
        style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case bsSizeable:
        style = WS_OVERLAPPEDWINDOW;
        break;
    case bsDialog:
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        style = WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        exStyle = WS_EX_TOOLWINDOW;
        break;
    }
    if (Application && Application->MainForm() == this)
        exStyle |= WS_EX_APPWINDOW;
}

void TForm::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    styleBits(params.Style, params.ExStyle);
    params.Style |= WS_CLIPCHILDREN;
    if (!Enabled())
        params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.ClassName = kFormClassName;
    // Other forms belong to the main form: they stay above it and share its taskbar button.
    params.WndParent = nullptr;
    if (Application && Application->MainForm() && Application->MainForm() != this)
        params.WndParent = Application->MainForm()->Handle();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    if (!HandleAllocated())
        return;
    DWORD bits = 0;
    DWORD exBits = 0;
    styleBits(bits, exBits);
    HWND window = Handle();
    const LONG_PTR oldStyle = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR oldExStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_STYLE, (oldStyle & ~static_cast<LONG_PTR>(kFrameStyles)) | bits);
    SetWindowLongPtrW(window, GWL_EXSTYLE, (oldExStyle & ~static_cast<LONG_PTR>(kFrameExStyles)) | exBits);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState TForm::WindowState() const {
    if (const_cast<TForm*>(this)->HandleAllocated() && Visible()) {
        HWND window = const_cast<TForm*>(this)->Handle();
        if (IsIconic(window))
            return wsMinimized;
        if (IsZoomed(window))
            return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (!HandleAllocated() || !Visible())
        return;
    switch (state) {
    case wsNormal:
        ShowWindow(Handle(), SW_RESTORE);
        break;
    case wsMinimized:
        ShowWindow(Handle(), SW_MINIMIZE);
        break;
    case wsMaximized:
        ShowWindow(Handle(), SW_MAXIMIZE);
        break;
    }
}

// ---- showing and closing

void TForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) {
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(Handle());
    }
}

void TForm::SetVisible(bool visible) {
    TCustomControl::SetVisible(visible);
}

void TForm::VisibleChanged() {
    if (Visible()) {
        HWND window = Handle();
        if (!window)
            return;
        DoShow();
        if (!Visible())
            return;  // OnShow hid it again
        int command = SW_SHOWNORMAL;
        if (windowState_ == wsMaximized)
            command = SW_SHOWMAXIMIZED;
        else if (windowState_ == wsMinimized)
            command = SW_SHOWMINIMIZED;
        ShowWindow(window, command);
    } else {
        if (!HandleAllocated())
            return;
        // Shown again in the state it had.
        if (IsIconic(Handle()))
            windowState_ = wsMinimized;
        else if (IsZoomed(Handle()))
            windowState_ = wsMaximized;
        else if (IsWindowVisible(Handle()))
            windowState_ = wsNormal;
        DoHide();
        ShowWindow(Handle(), SW_HIDE);
    }
}

void TForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TForm::closeModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        modalResult_ = mrNone;
    else if (action == caFree)
        Release();
}

TModalResult TForm::ShowModal() {
    if (modal_)
        return mrCancel;
    if (GetCapture())
        ReleaseCapture();
    if (Application)
        Application->CancelHint();
    HWND previousActive = GetActiveWindow();
    modal_ = true;
    modalResult_ = mrNone;

    ThreadWindows others{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), disableWindow, reinterpret_cast<LPARAM>(&others));
    auto restore = [&] {
        for (HWND window : others.disabled) {
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        }
        others.disabled.clear();
    };

    try {
        Show();
        while (true) {
            if (!Application) {
                modalResult_ = mrCancel;
                break;
            }
            Application->HandleMessage();
            if (Application->Terminated())
                modalResult_ = mrCancel;
            if (modalResult_ != mrNone) {
                closeModal();
                if (modalResult_ != mrNone || Application->Terminated())
                    break;
            }
            if (!Visible()) {
                modalResult_ = mrCancel;
                break;
            }
        }
    } catch (...) {
        restore();
        modal_ = false;
        Hide();
        throw;
    }
    // Enable the other windows before hiding, so that activation returns to them.
    restore();
    Hide();
    if (previousActive && IsWindow(previousActive) && IsWindowVisible(previousActive))
        SetActiveWindow(previousActive);
    modal_ = false;
    return modalResult_;
}

void TForm::Release() {
    if (Application)
        Application->ReleaseForm(this);
}

// ---- focus

bool TForm::Active() const {
    return HandleAllocated() && GetActiveWindow() == const_cast<TForm*>(this)->Handle();
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (Visible() && Active())
        ::SetFocus(control ? control->Handle() : Handle());
}

void TForm::FocusChanged(TWinControl* control) {
    if (control == this) {
        TWinControl* old = focusedControl_;
        focusedControl_ = nullptr;
        if (old)
            old->DoExit();
        return;
    }
    if (focusedControl_ == control)
        return;
    TWinControl* old = focusedControl_;
    focusedControl_ = control;
    activeControl_ = control;
    if (old)
        old->DoExit();
    if (focusedControl_ == control)
        control->DoEnter();
}

void TForm::ForgetControl(TControl* control) {
    if (activeControl_ && control->Contains(activeControl_))
        activeControl_ = nullptr;
    if (focusedControl_ && control->Contains(focusedControl_))
        focusedControl_ = nullptr;
}

TWinControl* TForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> stops;
    collectTabStops(this, stops);
    if (stops.empty())
        return nullptr;
    size_t index = stops.size();
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] == current)
            index = i;
    }
    size_t next = 0;
    if (index == stops.size())
        next = forward ? 0 : stops.size() - 1;
    else if (forward)
        next = (index + 1) % stops.size();
    else
        next = (index + stops.size() - 1) % stops.size();
    stops[next]->SetFocus();
    return stops[next];
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
    if (shift.Contains(ssAlt))
        return false;
    switch (key) {
    case VK_TAB:
        if (shift.Contains(ssCtrl))
            return false;
        SelectNext(TWinControl::FindControl(GetFocus()), !shift.Contains(ssShift));
        return true;
    case VK_RETURN:
    case VK_ESCAPE: {
        TWinControl* focused = TWinControl::FindControl(GetFocus());
        if (focused && focused != this && Contains(focused) && focused->Perform(CM_DIALOGKEY, key, 1) != 0)
            return true;
        return offerDialogKey(this, key);
    }
    default:
        return false;
    }
}

// ---- messages

void TForm::applyMinMaxInfo(MINMAXINFO* info) {
    TSizeConstraints* c = Constraints();
    if (c->MinWidth() > 0)
        info->ptMinTrackSize.x = c->MinWidth();
    if (c->MinHeight() > 0)
        info->ptMinTrackSize.y = c->MinHeight();
    if (c->MaxWidth() > 0)
        info->ptMaxTrackSize.x = c->MaxWidth();
    if (c->MaxHeight() > 0)
        info->ptMaxTrackSize.y = c->MaxHeight();
}

void TForm::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_GETMINMAXINFO:
        DefaultHandler(message);
        applyMinMaxInfo(reinterpret_cast<MINMAXINFO*>(message.LParam));
        message.Result = 0;
        return;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE) {
            if (activeControl_ && activeControl_ != this && activeControl_->CanFocus() &&
                !HIWORD(message.WParam)) {
                ::SetFocus(activeControl_->Handle());
                message.Result = 0;
            } else {
                DefaultHandler(message);
            }
            if (OnActivate)
                OnActivate(this);
        } else {
            DefaultHandler(message);
            if (OnDeactivate)
                OnDeactivate(this);
        }
        return;
    case WM_ACTIVATEAPP:
        DefaultHandler(message);
        if (Application)
            Application->ActivateApp(message.WParam != 0);
        return;
    case WM_SIZE: {
        const bool wasMinimized = minimized_;
        minimized_ = message.WParam == SIZE_MINIMIZED;
        TCustomControl::Dispatch(message);
        if (wasMinimized && !minimized_ && Application && Application->MainForm() == this)
            Application->Restored();
        return;
    }
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}

}  // namespace gui
