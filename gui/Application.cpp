#include "gui/Application.h"
#include "gui/ApplicationEvents.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/HintPlacement.h"
#include "gui/HintWindow.h"
#include "gui/Screen.h"
#include "gui/WinControl.h"
#include <algorithm>
#include <commctrl.h>

namespace gui {

TApplication* Application = nullptr;

namespace {

const wchar_t* const kApplicationClassName = L"PixhaulApplication";
constexpr UINT_PTR kShowHintTimer = 1;
constexpr UINT_PTR kHideHintTimer = 2;

bool isMouseButtonMessage(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
}

// Calls every living TApplicationEvents; handlers may create or destroy instances meanwhile.
template <class Call>
void forEachEvents(Call call) {
    const std::vector<TApplicationEvents*> snapshot = TApplicationEvents::All();
    for (TApplicationEvents* events : snapshot) {
        if (TApplicationEvents::Alive(events))
            call(events);
    }
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = HInstance();
    wc.lpszClassName = kApplicationClassName;
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, HInstance(), nullptr);
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground)
        GetWindowThreadProcessId(foreground, &process);
    active_ = process == GetCurrentProcessId();
}

TApplication::~TApplication() {
    MarkDestroying();
    stopHintTimers();
    DestroyComponents();
    hintWindow_.reset();
    if (window_)
        DestroyWindow(window_);
    if (Application == this)
        Application = nullptr;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
}

void TApplication::formCreated(TForm* form) {
    if (!mainForm_) {
        mainForm_ = form;
        if (form->HandleAllocated()) {
            HWND window = form->Handle();
            SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_APPWINDOW);
        }
    }
    form->AfterConstruction();
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (window_)
        SetWindowTextW(window_, title_.c_str());
}

// ---- the loop

void TApplication::Run() {
    if (mainForm_ && !mainForm_->Visible()) {
        try {
            mainForm_->Show();
        } catch (...) {
            HandleException(this, std::current_exception());
        }
    }
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this, std::current_exception());
        }
    }
}

void TApplication::Terminate() {
    if (!terminated_)
        PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::HandleMessage() {
    MSG msg{};
    if (!processMessage(msg)) {
        idle();
        if (!terminated_)
            WaitMessage();
    }
}

void TApplication::ProcessMessages() {
    MSG msg{};
    while (processMessage(msg)) {
    }
}

bool TApplication::processMessage(MSG& msg) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    forEachEvents([&](TApplicationEvents* events) {
        if (events->OnMessage && !handled)
            events->OnMessage(msg, handled);
    });
    if (handled)
        return true;
    beforeDispatch(msg);
    if (isDialogKey(msg))
        return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    afterDispatch(msg);
    return true;
}

void TApplication::idle() {
    releasePendingForms();
    UpdateMouseControl();
}

bool TApplication::isDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    const WORD key = static_cast<WORD>(msg.wParam);
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE)
        return false;
    TWinControl* target = TWinControl::FindControlOrAncestor(msg.hwnd);
    if (!target)
        return false;
    TForm* form = GetParentForm(target);
    if (!form)
        return false;
    MSG copy = msg;
    const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
        return false;
    if (key == VK_TAB && (code & DLGC_WANTTAB))
        return false;
    return form->DialogKey(key, TShiftState::FromKeyboard());
}

void TApplication::beforeDispatch(const MSG& msg) {
    // A click or a key hides a shown hint.
    const bool keyMessage = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if ((keyMessage || isMouseButtonMessage(msg.message)) && hintWindow_ && hintWindow_->Visible())
        CancelHint();
}

void TApplication::afterDispatch(const MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        trackLeave(msg.hwnd);
        UpdateMouseControl();
        break;
    case WM_MOUSELEAVE:
        if (msg.hwnd == trackedWindow_)
            trackedWindow_ = nullptr;
        UpdateMouseControl();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        UpdateMouseControl();
        break;
    default:
        break;
    }
}

void TApplication::trackLeave(HWND window) {
    // Tell us when the pointer leaves the window, so that leaving the program is noticed too.
    if (!window || window == trackedWindow_ || !TWinControl::FindControl(window))
        return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    if (TrackMouseEvent(&track))
        trackedWindow_ = window;
}

// ---- the control under the pointer

TControl* TApplication::FindControlAtPoint(POINT screenPoint) {
    HWND window = WindowFromPoint(screenPoint);
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return nullptr;
    TWinControl* control = TWinControl::FindControlOrAncestor(window);
    if (!control)
        return nullptr;
    if (TControl* child = control->ControlAtPos(control->ScreenToClient(screenPoint), true))
        return child;
    return control;
}

void TApplication::UpdateMouseControl() {
    if (updatingMouse_ || Destroying())
        return;
    updatingMouse_ = true;
    try {
        POINT p{};
        TControl* under = GetCursorPos(&p) ? FindControlAtPoint(p) : nullptr;
        const HoverTracker::Transition t = hover_.Update(under, CaptureControl());
        if (t.leave)
            t.leave->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(t.leave));
        // The leave handler may have destroyed the control that is entered now.
        if (t.enter && hover_.Current() == t.enter)
            t.enter->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(t.enter));
        hintMouseMove(under);
    } catch (...) {
        updatingMouse_ = false;
        throw;
    }
    updatingMouse_ = false;
}

// ---- hints

void TApplication::SetShowHint(bool showHint) {
    showHint_ = showHint;
    if (!showHint_)
        CancelHint();
}

void TApplication::hintMouseMove(TControl* underPointer) {
    // The hint belongs to the nearest control (the one under the pointer or a parent) whose
    // hints are on.
    TControl* hintControl = underPointer;
    while (hintControl && !hintControl->ShowHint())
        hintControl = hintControl->Parent();
    if (!showHint_ || !hintControl) {
        if (hintControl_)
            CancelHint();
        return;
    }
    if (hintControl == hintControl_)
        return;
    const bool wasShowing = hintWindow_ && hintWindow_->Visible();
    hideHint();
    hintControl_ = hintControl;
    startHintTimer(kShowHintTimer, wasShowing ? hintShortPause_ : hintPause_);
}

void TApplication::ActivateHint() {
    stopHintTimers();
    TControl* control = hintControl_;
    if (!control || !showHint_)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    THintInfo info;
    info.HintControl = control;
    const int cursorHeight = GetSystemMetrics(SM_CYCURSOR);
    info.HintPos = POINT{cursor.x, cursor.y + cursorHeight / 2 + 4};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = clInfoBk;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(cursor);
    info.HideTimeout = hintHidePause_;
    for (const TControl* c = control; c && info.HintStr.empty(); c = c->Parent())
        info.HintStr = c->Hint();
    bool canShow = true;
    forEachEvents([&](TApplicationEvents* events) {
        if (events->OnShowHint && canShow)
            events->OnShowHint(info.HintStr, canShow, info);
    });
    hintActive_ = canShow;
    if (!canShow || info.HintStr.empty() || hintControl_ != control)
        return;
    if (!hintWindow_)
        hintWindow_ = std::make_unique<THintWindow>();
    hintWindow_->SetColor(info.HintColor);
    RECT size =
        hintWindow_->CalcHintRect(info.HintMaxWidth > 0 ? info.HintMaxWidth : Screen->Width(), info.HintStr);
    HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO monitorInfo{};
    monitorInfo.cbSize = sizeof(monitorInfo);
    RECT workArea = Screen->WorkAreaRect();
    if (GetMonitorInfoW(monitor, &monitorInfo))
        workArea = monitorInfo.rcWork;
    const RECT placed = PlaceHintRect(SIZE{size.right - size.left, size.bottom - size.top},
                                      POINT{info.HintPos.x, cursor.y}, info.HintPos.y - cursor.y, workArea);
    hintWindow_->ActivateHint(placed, info.HintStr);
    if (info.HideTimeout > 0)
        startHintTimer(kHideHintTimer, info.HideTimeout);
}

void TApplication::hideHint() {
    stopHintTimers();
    hintActive_ = false;
    if (hintWindow_)
        hintWindow_->Hide();
}

void TApplication::CancelHint() {
    hideHint();
    hintControl_ = nullptr;
}

void TApplication::startHintTimer(UINT_PTR id, int milliseconds) {
    stopHintTimers();
    if (window_)
        SetTimer(window_, id, static_cast<UINT>(milliseconds > 0 ? milliseconds : 1), nullptr);
}

void TApplication::stopHintTimers() {
    if (!window_)
        return;
    KillTimer(window_, kShowHintTimer);
    KillTimer(window_, kHideHintTimer);
}

// ---- activation

void TApplication::Minimize() {
    if (mainForm_ && mainForm_->HandleAllocated())
        ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (mainForm_ && mainForm_->HandleAllocated())
        ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::ActivateApp(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    if (!active_)
        CancelHint();
    forEachEvents([&](TApplicationEvents* events) {
        TNotifyEvent& event = active ? events->OnActivate : events->OnDeactivate;
        if (event)
            event(this);
    });
}

void TApplication::Restored() {
    forEachEvents([&](TApplicationEvents* events) {
        if (events->OnRestore)
            events->OnRestore(this);
    });
}

// ---- errors

void TApplication::HandleException(TObject* sender, std::exception_ptr error) {
    if (OnException)
        OnException(sender, error);
    else
        ShowException(error);
}

void TApplication::ShowException(std::exception_ptr error) {
    const std::wstring text = ExceptionMessage(error);
    HWND owner = GetActiveWindow();
    if (!owner && mainForm_ && mainForm_->HandleAllocated())
        owner = mainForm_->Handle();
    MessageBoxW(owner, text.c_str(), title_.empty() ? L"Error" : title_.c_str(), MB_OK | MB_ICONSTOP);
}

// ---- bookkeeping

void TApplication::ControlDestroying(TControl* control) {
    hover_.Forget(control);
    if (hintControl_ && control->Contains(hintControl_))
        CancelHint();
}

void TApplication::FormDestroying(TForm* form) {
    if (mainForm_ == form)
        mainForm_ = nullptr;
    pendingRelease_.erase(std::remove(pendingRelease_.begin(), pendingRelease_.end(), form),
                          pendingRelease_.end());
}

void TApplication::ReleaseForm(TForm* form) {
    if (std::find(pendingRelease_.begin(), pendingRelease_.end(), form) == pendingRelease_.end())
        pendingRelease_.push_back(form);
    if (window_)
        PostMessageW(window_, CM_RELEASE, 0, 0);
}

void TApplication::releasePendingForms() {
    while (!pendingRelease_.empty()) {
        TForm* form = pendingRelease_.back();
        pendingRelease_.pop_back();
        delete form;  // its destructor also drops any form it owned from the list
    }
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TApplication* app = Application;
    if (!app || app->window_ != window)
        return DefWindowProcW(window, msg, wParam, lParam);
    try {
        switch (msg) {
        case WM_TIMER:
            if (wParam == kShowHintTimer) {
                app->ActivateHint();
                return 0;
            }
            if (wParam == kHideHintTimer) {
                app->hideHint();
                return 0;
            }
            break;
        case CM_RELEASE:
            app->releasePendingForms();
            return 0;
        default:
            break;
        }
    } catch (...) {
        HandleCallbackException(app);
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace gui
