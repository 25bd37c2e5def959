#include "gui/CustomScrollBar.h"
#include "gui/Win32Handles.h"
#include "gui/WinControl.h"
#include <windowsx.h>
#include <commctrl.h>
#include <algorithm>

namespace gui {

namespace {

constexpr UINT_PTR kSubclassId = 0x5C0B;
constexpr UINT_PTR kRepeatTimerId = 0x5C0B;
// The window property that leads from a window to its bar.
constexpr const wchar_t* kBarProperty = L"Pixhaul.CustomScrollBar";

// The whole window's device context (non-client area included), released at the end.
class WholeWindowDC {
public:
    explicit WholeWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~WholeWindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WholeWindowDC(const WholeWindowDC&) = delete;
    WholeWindowDC& operator=(const WholeWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

bool isEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

const ScrollBarPart kDrawOrder[] = {ScrollBarPart::UpArrow, ScrollBarPart::DownArrow,
                                    ScrollBarPart::TrackAbove, ScrollBarPart::TrackBelow,
                                    ScrollBarPart::Thumb};

}  // namespace

// ---- life

std::unique_ptr<CustomScrollBar> CustomScrollBar::Attach(HWND window) {
    if (!IsWindow(window) || FromWindow(window))
        return nullptr;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_VSCROLL) == 0)
        return nullptr;
    std::unique_ptr<CustomScrollBar> bar(new CustomScrollBar(window));
    if (!SetPropW(window, kBarProperty, bar.get()))
        return nullptr;
    if (!SetWindowSubclass(window, SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(bar.get()))) {
        RemovePropW(window, kBarProperty);
        return nullptr;
    }
    // Without the style the system neither reserves nor draws its own bar; ours takes the
    // same place in WM_NCCALCSIZE.
    SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VSCROLL));
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return bar;
}

CustomScrollBar::CustomScrollBar(HWND window) : window_(window) {
    tracker_.SetWindowEnabled(IsWindowEnabled(window) != FALSE);
}

CustomScrollBar::~CustomScrollBar() {
    *alive_ = false;
    if (!window_)
        return;
    KillTimer(window_, kRepeatTimerId);
    if (GetCapture() == window_)
        ReleaseCapture();
    RemoveWindowSubclass(window_, SubclassProcedure, kSubclassId);
    RemovePropW(window_, kBarProperty);
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SetWindowLongPtrW(window_, GWL_STYLE, style | WS_VSCROLL);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CustomScrollBar* CustomScrollBar::FromWindow(HWND window) {
    if (!window)
        return nullptr;
    return static_cast<CustomScrollBar*>(GetPropW(window, kBarProperty));
}

// ---- scroll information

void CustomScrollBar::SetHotTracking(bool on) {
    if (on == tracker_.HotTracking())
        return;
    tracker_.SetHotTracking(on);
    Redraw();
}

int CustomScrollBar::SetScrollInfo(const SCROLLINFO& info, bool redraw) {
    values_ = ApplyScrollInfo(values_, info);
    if (redraw)
        Redraw();
    return values_.Position;
}

bool CustomScrollBar::GetScrollInfo(SCROLLINFO& info) const {
    if ((info.fMask & (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)) == 0)
        return false;
    if (info.fMask & SIF_RANGE) {
        info.nMin = values_.Minimum;
        info.nMax = values_.Maximum;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = static_cast<UINT>(values_.Page);
    if (info.fMask & SIF_POS)
        info.nPos = values_.Position;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = tracker_.TrackPosition(values_);
    return true;
}

int CustomScrollBar::SetScrollPos(int position, bool redraw) {
    const int previous = values_.Position;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(info, redraw);
    return previous;
}

bool CustomScrollBar::EnableArrows(UINT flags) {
    flags &= ESB_DISABLE_BOTH;
    if (flags == tracker_.DisabledArrows())
        return false;
    tracker_.SetDisabledArrows(flags);
    if (tracker_.Tracking() && !tracker_.PartEnabled(tracker_.PressedPart(), values_))
        endTracking();
    Redraw();
    return true;
}

// ---- geometry

ScrollBarLayout CustomScrollBar::layout() const {
    RECT bar{};
    if (window_) {
        RECT windowRect{};
        RECT client{};
        GetWindowRect(window_, &windowRect);
        GetClientRect(window_, &client);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        bar.left = client.right - windowRect.left;
        bar.top = client.top - windowRect.top;
        bar.right = bar.left + barWidth_;
        bar.bottom = client.bottom - windowRect.top;
    }
    ScrollBarMetrics metrics;
    metrics.ArrowLength = GetSystemMetrics(SM_CYVSCROLL);
    return LayOutScrollBar(bar, metrics, values_);
}

ScrollBarLayout CustomScrollBar::Layout() const {
    return tracker_.DisplayLayout(layout());
}

POINT CustomScrollBar::fromScreen(POINT screen) const {
    RECT windowRect{};
    GetWindowRect(window_, &windowRect);
    return POINT{screen.x - windowRect.left, screen.y - windowRect.top};
}

POINT CustomScrollBar::fromClient(POINT client) const {
    ClientToScreen(window_, &client);
    return fromScreen(client);
}

// ---- mouse

void CustomScrollBar::apply(const ScrollBarStep& step) {
    switch (step.Timer) {
    case ScrollBarTimer::FirstDelay:
        SetTimer(window_, kRepeatTimerId, kRepeatDelay, nullptr);
        break;
    case ScrollBarTimer::Repeat:
        SetTimer(window_, kRepeatTimerId, kRepeatInterval, nullptr);
        break;
    case ScrollBarTimer::Stop:
        KillTimer(window_, kRepeatTimerId);
        break;
    case ScrollBarTimer::Keep:
        break;
    }
    // The pressed look first, so that it shows while the window scrolls.
    if (step.Redraw)
        Redraw();
    const std::shared_ptr<bool> alive = alive_;
    for (const ScrollBarMessage& message : step.Messages) {
        const bool thumb = message.Code == SB_THUMBTRACK || message.Code == SB_THUMBPOSITION;
        // The high word holds 16 bits of the position; GetScrollInfo's SIF_TRACKPOS has all.
        const WORD position = thumb ? static_cast<WORD>(message.Position & 0xFFFF) : 0;
        SendMessageW(window_, WM_VSCROLL, MAKEWPARAM(message.Code, position), 0);
        if (!*alive || !window_)
            return;
    }
}

void CustomScrollBar::endTracking() {
    const ScrollBarStep step = tracker_.Cancel(layout(), values_);
    if (GetCapture() == window_)
        ReleaseCapture();
    apply(step);
}

// ---- drawing

void CustomScrollBar::Redraw() {
    if (!window_ || !IsWindowVisible(window_))
        return;
    WholeWindowDC dc(window_);
    if (dc.get())
        paint(dc.get());
}

void CustomScrollBar::notify(HDC dc, DWORD stage, const RECT& rect, UINT item, UINT state) {
    HWND parent = GetParent(window_);
    if (!parent)
        return;
    ScrollBarCustomDraw record{};
    record.Header.hwndFrom = window_;
    record.Header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    record.Header.code = kScrollBarCustomDraw;
    record.DrawStage = stage;
    record.DC = dc;
    record.Rect = rect;
    record.Item = item;
    record.State = state;
    record.Bar = SB_VERT;
    // The parent may leave the device context changed; each record gets it as it was.
    SavedDCState saved(dc);
    SendMessageW(parent, WM_NOTIFY, record.Header.idFrom, reinterpret_cast<LPARAM>(&record));
}

void CustomScrollBar::paint(HDC target) {
    const ScrollBarLayout shown = Layout();
    const RECT bar = shown.Bar;
    if (isEmpty(bar))
        return;
    const int width = bar.right - bar.left;
    const int height = bar.bottom - bar.top;
    MemoryDC memory(target);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, width, height));
    if (!memory.get() || !bitmap)
        return;
    SelectedObject selected(memory.get(), bitmap.get());
    // Records carry window coordinates; the bitmap holds just the bar.
    SetViewportOrgEx(memory.get(), -bar.left, -bar.top, nullptr);
    FillRect(memory.get(), &bar, GetSysColorBrush(COLOR_BTNFACE));

    const std::shared_ptr<bool> alive = alive_;
    notify(memory.get(), CDDS_PREPAINT, bar, kNoScrollBarItem, sbsNormal);
    for (ScrollBarPart part : kDrawOrder) {
        if (!*alive || !window_)
            return;
        const RECT rect = shown.PartRect(part);
        if (!isEmpty(rect))
            notify(memory.get(), CDDS_ITEMPREPAINT, rect, static_cast<UINT>(part), PartState(part));
    }
    if (!*alive || !window_)
        return;
    notify(memory.get(), CDDS_POSTPAINT, bar, kNoScrollBarItem, sbsNormal);
    SetViewportOrgEx(memory.get(), 0, 0, nullptr);
    BitBlt(target, bar.left, bar.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

// ---- messages

LRESULT CALLBACK CustomScrollBar::SubclassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR, DWORD_PTR data) {
    auto* bar = reinterpret_cast<CustomScrollBar*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProcedure, kSubclassId);
        RemovePropW(window, kBarProperty);
        bar->window_ = nullptr;
        return DefSubclassProc(window, msg, wParam, lParam);
    }
    try {
        return bar->handleMessage(msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException(nullptr);
        return 0;
    }
}

LRESULT CustomScrollBar::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (msg) {
    case WM_NCCALCSIZE: {
        const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
        RECT* client =
            wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        const int available = std::max(0, static_cast<int>(client->right - client->left));
        barWidth_ = std::min(GetSystemMetrics(SM_CXVSCROLL), available);
        client->right -= barWidth_;
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_NCHITTEST: {
        const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
        const POINT p = fromScreen(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        const RECT bar = layout().Bar;
        if (p.x >= bar.left && p.x < bar.right && p.y >= bar.top && p.y < bar.bottom)
            return HTVSCROLL;
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTVSCROLL)
            break;
        {
            const POINT p = fromScreen(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            const ScrollBarStep step = tracker_.Press(p, layout(), values_);
            if (tracker_.Tracking())
                SetCapture(window);
            apply(step);
        }
        // The system's own bar handling (a modal loop) must not start.
        return 0;
    case WM_NCMOUSEMOVE: {
        if (tracker_.Tracking())
            break;
        if (!leaveTracked_) {
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof(track);
            track.dwFlags = TME_LEAVE | TME_NONCLIENT;
            track.hwndTrack = window;
            leaveTracked_ = TrackMouseEvent(&track) != FALSE;
        }
        const POINT p = fromScreen(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        apply(tracker_.Move(p, layout(), values_));
        break;
    }
    case WM_NCMOUSELEAVE:
        leaveTracked_ = false;
        apply(tracker_.Leave());
        break;
    case WM_MOUSEMOVE:
        if (!tracker_.Tracking())
            break;
        apply(
            tracker_.Move(fromClient(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), layout(), values_));
        return 0;
    case WM_LBUTTONUP: {
        if (!tracker_.Tracking())
            break;
        const std::shared_ptr<bool> alive = alive_;
        apply(
            tracker_.Move(fromClient(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), layout(), values_));
        if (*alive && window_ && tracker_.Tracking())
            endTracking();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (tracker_.Tracking() && reinterpret_cast<HWND>(lParam) != window)
            apply(tracker_.Cancel(layout(), values_));
        break;
    case WM_TIMER:
        if (wParam != kRepeatTimerId)
            break;
        apply(tracker_.Tick(layout(), values_));
        return 0;
    case WM_ENABLE:
        tracker_.SetWindowEnabled(wParam != FALSE);
        if (!wParam && tracker_.Tracking())
            endTracking();
        Redraw();
        break;
    case WM_WINDOWPOSCHANGED: {
        const LRESULT result = DefSubclassProc(window, msg, wParam, lParam);
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & SWP_NOSIZE) == 0)
            Redraw();
        return result;
    }
    default:
        break;
    }
    return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace gui
