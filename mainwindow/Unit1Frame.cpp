// The borderless frame: moving and resizing through one thread mouse hook, the thumbnail-size
// slider, the drawn border, and the two custom scroll bars with the controls they follow.
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/ScrollMath.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/FrameGeometry.h"
#include "mainwindow/SlideshowRules.h"
#include "mainwindow/Unit1.h"
#include "resources/SkinIds.h"
#include <commctrl.h>
#include <algorithm>
#include <utility>
#include <vector>

using namespace gui;
namespace L = formlayout;

HHOOK mouseHookHandle = nullptr;
controls::ImageButton* pressedButton = nullptr;
TControl* pressedPanel = nullptr;
int dragState = 0;
POINT dragAnchor{0, 0};

POINT pressPoint() {
    const DWORD position = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

namespace {

const wchar_t scrollBarClassName[] = L"customScrollClass";
constexpr int userNameScrollBarId = 11001;
constexpr int contentScrollBarId = 11002;
constexpr UINT hotState = 0x40;
constexpr UINT pressedState = 1;
constexpr UINT disabledState = 4;

bool pointInWindowRect(HWND window, POINT p) {
    RECT r{};
    return window && GetWindowRect(window, &r) && PtInRect(&r, p);
}

RECT screenRect(TControl* control) {
    POINT origin = control->ClientToScreen(POINT{0, 0});
    return RECT{origin.x, origin.y, origin.x + control->Width(), origin.y + control->Height()};
}

bool pointIn(TControl* control, POINT p) {
    RECT r = screenRect(control);
    return PtInRect(&r, p) != FALSE;
}

void fill(HDC dc, const RECT& r, HBRUSH brush) {
    FillRect(dc, &r, brush);
}

// The parts of a bar as the bars' owners draw them: arrows with icons, the track and the thumb
// with brushes.
struct BarLook {
    const HICON* icons;  // up, up hot, up pressed, down, down hot, down pressed
    HBRUSH disabled;     // disabled parts and the thumb's side strips when disabled
    HBRUSH track;        // the track and the thumb's side strips
    HBRUSH thumb[3];     // normal, hot, pressed
};

void drawBarItem(const ScrollBarCustomDraw& record, UINT lastState, const BarLook& look) {
    HDC dc = record.DC;
    const RECT& r = record.Rect;
    switch (record.Item) {
    case SB_LINEUP:
    case SB_LINEDOWN: {
        if (record.State & disabledState) {
            fill(dc, r, look.disabled);
            break;
        }
        const int first = record.Item == SB_LINEUP ? 0 : 3;
        const int index = (record.State & hotState)       ? first + 1
                          : (record.State & pressedState) ? first + 2
                                                          : first;
        DrawIconEx(dc, r.left, r.top, look.icons[index], r.right - r.left, r.bottom - r.top, 0, nullptr,
                   DI_NORMAL);
        break;
    }
    case SB_PAGEUP:
    case SB_PAGEDOWN:
        fill(dc, r, lastState & disabledState ? look.disabled : look.track);
        break;
    case 5: {  // the thumb
        HBRUSH side = (record.State & disabledState) ? look.disabled : look.track;
        fill(dc, RECT{r.left, r.top, r.left + 2, r.bottom}, side);
        fill(dc, RECT{r.right - 2, r.top, r.right, r.bottom}, side);
        HBRUSH inner = (record.State & hotState)       ? look.thumb[1]
                       : (record.State & pressedState) ? look.thumb[2]
                                                       : look.thumb[0];
        fill(dc, RECT{r.left + 2, r.top, r.right - 2, r.bottom}, inner);
        break;
    }
    default:
        break;
    }
}

UINT lastBarItemState = 0;
UINT lastUserNameBarItemState = 0;

// A custom-draw record of one of our bars: default drawing is skipped; only vertical items are
// ours to draw. Returns true when the record is an item to draw.
bool barItemToDraw(const ScrollBarCustomDraw& record, LRESULT& result) {
    if (record.DrawStage == CDDS_PREPAINT || record.DrawStage == CDDS_POSTPAINT) {
        result = CDRF_SKIPDEFAULT;
        return false;
    }
    if (record.Bar != SB_VERT) {
        result = 0;
        return false;
    }
    return true;
}

frame::Bounds boundsOf(const TControl* c) {
    return frame::Bounds{c->Left(), c->Top(), c->Width(), c->Height()};
}

// Hook procedure bodies run inside Win32's call: nothing may escape.
// Follows the pointer with whatever is being dragged.
void followPointer(TForm1* form, POINT cursor) {
    if (pressedPanel == form->topPanel && form->WindowState() != wsMaximized) {
        frame::DragStep step = frame::dragWindow(boundsOf(form), frame::Point{dragAnchor.x, dragAnchor.y},
                                                 frame::Point{cursor.x, cursor.y});
        if (step.bounds.left != form->Left() || step.bounds.top != form->Top())
            form->SetBounds(step.bounds.left, step.bounds.top, form->Width(), form->Height());
        dragAnchor = POINT{step.anchor.x, step.anchor.y};
        return;
    }
    if (dragState != 0) {
        frame::DragStep step =
            frame::dragFrame(static_cast<frame::Edge>(dragState), boundsOf(form),
                             frame::Point{dragAnchor.x, dragAnchor.y}, frame::Point{cursor.x, cursor.y},
                             form->Constraints()->MinWidth(), form->Constraints()->MinHeight());
        if (!(step.bounds == boundsOf(form)))
            form->SetBounds(step.bounds.left, step.bounds.top, step.bounds.width, step.bounds.height);
        dragAnchor = POINT{step.anchor.x, step.anchor.y};
        return;
    }
    if (pressedButton && pressedButton == form->resizeThumbImageButton) {
        controls::ImageButton* knob = form->resizeThumbImageButton;
        const int unclamped = knob->Left() + (cursor.x - dragAnchor.x);
        const int clamped = frame::clampSliderKnob(
            unclamped, form->resizeImage->Left(), form->resizeImage->Width(), knob->Width(), L::kSliderInset);
        if (clamped != knob->Left()) {
            form->moveSizeSlider(clamped);
            dragAnchor = POINT{clamped + cursor.x - unclamped, cursor.y};
        }
    }
}

void hookMouseMove(TForm1* form, POINT cursor) {
    followPointer(form, cursor);
    // A move without the button means the release went elsewhere: the drag is over. The move
    // itself still counts: behind a busy window the release may already be known when the last
    // moves of the drag come through, and they belong to it.
    const bool dragging = pressedPanel || dragState != 0 || pressedButton == form->resizeThumbImageButton;
    const bool buttonDown =
        (GetKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
    if (!dragging || buttonDown)
        return;
    if (form->userNameListBoxPanel->Visible()) {
        pressedPanel = nullptr;
        pressedButton = nullptr;
        dragState = 0;
    } else {
        endMouseHook();
    }
}

void hookButtonDown(TForm1* form, POINT p) {
    if (form->userNameListBoxPanel->Visible() && !pointIn(form->userNameArrowDownImageButton, p) &&
        !pointIn(form->userNameListBoxPanel, p))
        form->closeHistoryDropDown();
}

void hookButtonUp(TForm1* form, POINT p) {
    // The drag ends where the button was let go, also when a move before it never came through.
    followPointer(form, p);
    form->resetScrollAnchor();
    const bool dropDown = form->userNameListBoxPanel->Visible();
    const bool onBar =
        IsWindowVisible(form->userNameScrollBarWindow) && pointInWindowRect(form->userNameScrollBarWindow, p);
    if (!dropDown || (pointIn(form->userNameListBoxPanel, p) && !onBar)) {
        form->closeHistoryDropDown();
        endMouseHook();
    }
}

void hookWheel(TForm1* form, const MOUSEHOOKSTRUCTEX& record) {
    if (!form->userNameListBoxPanel->Visible())
        return;
    RECT box = screenRect(form->userNamePanel);
    const POINT p = record.pt;
    if (p.x < box.left || p.x >= box.right || p.y < box.top ||
        p.y > box.bottom + form->userNameListBoxPanel->Height())
        return;
    if (!form->userNameListBox->HandleAllocated())
        return;
    HWND list = form->userNameListBox->Handle();
    TForm1::userNameListBoxWndProc(list, WM_MOUSEWHEEL, MAKEWPARAM(0, HIWORD(record.mouseData)),
                                   MAKELPARAM(p.x, p.y));
    POINT local = form->userNameListBox->ScreenToClient(p);
    form->userNameListBoxMouseMove(form->userNameListBox, TShiftState(), local.x, local.y);
}

}  // namespace

// ---- the hook

void installMouseHook() {
    if (!mouseHookHandle)
        mouseHookHandle = SetWindowsHookExW(WH_MOUSE, mouseHookProc, HInstance(), GetCurrentThreadId());
}

void endMouseHook() {
    pressedPanel = nullptr;
    pressedButton = nullptr;
    dragState = 0;
    if (mouseHookHandle) {
        UnhookWindowsHookEx(mouseHookHandle);
        mouseHookHandle = nullptr;
    }
}

LRESULT CALLBACK mouseHookProc(int code, WPARAM message, LPARAM mouseRecord) {
    if (code < 0)
        return CallNextHookEx(mouseHookHandle, code, message, mouseRecord);
    TForm1* form = Form1;
    if (code == HC_ACTION && form) {
        try {
            const auto& record = *reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(mouseRecord);
            switch (message) {
            case WM_MOUSEMOVE:
                hookMouseMove(form, record.pt);
                break;
            case WM_LBUTTONDOWN:
                hookButtonDown(form, record.pt);
                break;
            case WM_LBUTTONUP:
                hookButtonUp(form, record.pt);
                break;
            case WM_MOUSEWHEEL:
                hookWheel(form, record);
                break;
            default:
                break;
            }
        } catch (...) {
            Application->HandleException(form, std::current_exception());
        }
    }
    return CallNextHookEx(mouseHookHandle, code, message, mouseRecord);
}

// ---- presses that start a drag

void TForm1::FormMouseMove(TObject*, TShiftState, int x, int y) {
    SetCursor(static_cast<TCursor>(frame::frameCursor(frame::hitTestFrame(x, y, Width(), Height()))));
}

void TForm1::FormMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button != mbLeft)
        return;
    dragState = static_cast<int>(frame::hitTestFrame(x, y, Width(), Height()));
    if (dragState == 0)
        return;
    rememberScrollAnchor();
    dragAnchor = pressPoint();
    installMouseHook();
}

void TForm1::topPanelMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
    if (topPanel->CanFocus())
        topPanel->SetFocus();
    if (button != mbLeft)
        return;
    pressedPanel = topPanel;
    dragAnchor = pressPoint();
    installMouseHook();
}

void TForm1::logoImageMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    topPanelMouseDown(sender, button, shift, x, y);
}

void TForm1::Dispatch(TMessage& message) {
    // Losing the mouse (another window took it) ends a move or resize under way.
    if (message.Msg == WM_CAPTURECHANGED && (pressedPanel || dragState != 0) &&
        !userNameListBoxPanel->Visible())
        endMouseHook();
    TForm::Dispatch(message);
}

void TForm1::userNameEditWindowProc(TMessage& message) {
    oldUserNameEditWindowProc(message);
    if (message.Msg == WM_GETDLGCODE)
        message.Result |= DLGC_WANTTAB;
}

void TForm1::topPanelWindowProc(TMessage& message) {
    if (message.Msg == WM_CAPTURECHANGED && pressedPanel == topPanel && !userNameListBoxPanel->Visible())
        endMouseHook();
    oldTopPanelWindowProc(message);
    if (message.Msg == WM_GETDLGCODE)
        message.Result |= DLGC_WANTARROWS;
}

// ---- the slider

int TForm1::sliderThumbnailWidth() const {
    return frame::sliderThumbnailWidth(resizeThumbImageButton->Left(), resizeImage->Left(),
                                       resizeImage->Width(), resizeThumbImageButton->Width(), L::kSliderInset,
                                       L::kThumbnailMin, L::kThumbnailRange);
}

void TForm1::moveSizeSlider(int knobLeft) {
    resizeThumbImageButton->SetLeft(knobLeft);
    const int width = sliderThumbnailWidth();
    if (width == thumbnailWidth)
        return;
    thumbnailWidth = width;
    thumbnailHeight = width;
    if (resizeThumbImageButton->Parent())
        resizeThumbImageButton->Parent()->Update();
    contentScrollBox->SetDoubleBuffered(true);
    layoutGrid();
}

// ---- the border

void TForm1::invalidateFrame() {
    if (!HandleAllocated())
        return;
    const int w = Width();
    const int h = Height();
    HRGN outer = CreateRectRgn(0, 0, w, h);
    HRGN inner = CreateRectRgn(L::kFrame, L::kFrame, w - L::kFrame, h - L::kFrame);
    if (outer && inner && CombineRgn(outer, outer, inner, RGN_DIFF) != ERROR)
        InvalidateRgn(Handle(), outer, TRUE);
    if (outer)
        DeleteObject(outer);
    if (inner)
        DeleteObject(inner);
}

bool TForm1::paintFrame(TMessage& message) {
    if (message.Msg != WM_ERASEBKGND)
        return false;
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const int w = Width();
    const int h = Height();
    const int t = topPanel->Height();
    HPEN black = CreatePen(PS_SOLID, 1, 0x000000);
    HPEN white = CreatePen(PS_SOLID, 1, 0xFFFFFF);
    HPEN grey = CreatePen(PS_SOLID, 1, L::kFrameGreyColor);
    HPEN accent = CreatePen(PS_SOLID, 1, L::kAccentColor);
    HGDIOBJ old = SelectObject(dc, black);
    auto line = [dc](std::initializer_list<POINT> points) {
        std::vector<POINT> v(points);
        Polyline(dc, v.data(), static_cast<int>(v.size()));
    };
    line({{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}});
    SelectObject(dc, white);
    line({{1, t + 2}, {1, 1}, {w - 2, 1}, {w - 2, t + 3}});
    line({{2, t + 2}, {2, 2}, {w - 3, 2}, {w - 3, t + 3}});
    int y = t + 3;
    if (toolbarPanel->Visible()) {
        const int b = toolbarPanel->Height();
        SelectObject(dc, grey);
        for (int x : {1, 2, w - 2, w - 3})
            line({{x, t + 3}, {x, t + b + 3}});
        y = t + b + 3;
    }
    SelectObject(dc, accent);
    line({{1, y}, {1, h - 2}, {w - 2, h - 2}, {w - 2, y - 1}});
    line({{2, y}, {2, h - 3}, {w - 3, h - 3}, {w - 3, y - 1}});
    SelectObject(dc, old);
    for (HPEN pen : {black, white, grey, accent})
        if (pen)
            DeleteObject(pen);
    RECT inside{L::kFrame, L::kFrame, w - L::kFrame, h - L::kFrame};
    FillRect(dc, &inside, Brush()->Handle());
    message.Result = 1;
    return true;
}

bool TForm1::drawContentBar(TMessage& message) {
    if (message.Msg != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    if (!header || !contentScrollBarWindow || header->hwndFrom != contentScrollBarWindow ||
        header->code != kScrollBarCustomDraw)
        return false;
    const auto& record = *reinterpret_cast<const ScrollBarCustomDraw*>(message.LParam);
    LRESULT result = 0;
    if (!barItemToDraw(record, result)) {
        message.Result = result;
        return true;
    }
    BarLook look{contentBarIcons,
                 contentBarDisabledBrush ? contentBarDisabledBrush : contentBarBrushes[0],
                 contentBarBrushes[0],
                 {contentBarBrushes[1], contentBarBrushes[2], contentBarBrushes[3]}};
    drawBarItem(record, lastBarItemState, look);
    lastBarItemState = record.State;
    message.Result = 0;
    return true;
}

void TForm1::limitMaximizedSize(MINMAXINFO* info) {
    HMONITOR monitor = MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!monitor || !GetMonitorInfoW(monitor, &mi))
        return;
    info->ptMaxPosition.x = std::abs(mi.rcWork.left - mi.rcMonitor.left);
    info->ptMaxPosition.y = std::abs(mi.rcWork.top - mi.rcMonitor.top);
    info->ptMaxSize.x = std::abs(mi.rcWork.right - mi.rcWork.left);
    info->ptMaxSize.y = std::abs(mi.rcWork.bottom - mi.rcWork.top);
}

// ---- the custom bars

void TForm1::createScrollBars() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = HInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = scrollBarClassName;
    // A second window of the program finds the class registered already.
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception(L"The scroll bar window class cannot be registered.");
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);

    // The user-name history list's bar.
    HWND listPanel = userNameListBoxPanel->Handle();
    userNameScrollBarWindow = CreateWindowExW(
        0, scrollBarClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
        userNameListBox->Left() + userNameListBox->Width() - barWidth, userNameListBox->Top(), barWidth,
        userNameListBox->Height(), listPanel,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(userNameScrollBarId)), HInstance(), nullptr);
    if (!userNameScrollBarWindow)
        throw Exception(L"The scroll bar of the user-name list cannot be created.");
    oldUserNameScrollBarWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(userNameScrollBarWindow, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&TForm1::userNameScrollBarWndProc)));
    SetWindowPos(userNameScrollBarWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    userNameScrollBar = CustomScrollBar::Attach(userNameScrollBarWindow);
    if (userNameScrollBar)
        userNameScrollBar->SetHotTracking(true);
    for (int i = 0; i < 6; ++i)
        userNameBarIcons[i] = static_cast<HICON>(LoadImageW(
            HInstance(), MAKEINTRESOURCEW(skin::historyBarUp + i), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    const COLORREF listColors[4] = {0xFFFFFF, 0xD4D6D7, 0xB6BBBD, 0x979B9D};
    for (int i = 0; i < 4; ++i)
        userNameBarBrushes[i] = CreateSolidBrush(listColors[i]);
    oldUserNameListBoxPanelWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        listPanel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::userNameListBoxPanelWndProc)));
    oldUserNameListBoxWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(userNameListBox->Handle(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&TForm1::userNameListBoxWndProc)));
    userNameListBoxPanelResize(userNameListBoxPanel);

    // The content's bar.
    contentScrollBarWindow = CreateWindowExW(
        0, scrollBarClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
        contentScrollBox->Left() + contentScrollBox->Width() - barWidth, contentScrollBox->Top(), barWidth,
        contentScrollBox->Height(), Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(contentScrollBarId)), HInstance(), nullptr);
    if (!contentScrollBarWindow)
        throw Exception(L"The scroll bar of the thumbnails cannot be created.");
    oldContentScrollBarWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        contentScrollBarWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::contentScrollBarWndProc)));
    SetWindowPos(contentScrollBarWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    contentScrollBar = CustomScrollBar::Attach(contentScrollBarWindow);
    if (contentScrollBar)
        contentScrollBar->SetHotTracking(true);
    contentScrollBox->SetBarsCovered(true);
    for (int i = 0; i < 6; ++i)
        contentBarIcons[i] = static_cast<HICON>(LoadImageW(
            HInstance(), MAKEINTRESOURCEW(skin::contentBarUp + i), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    const COLORREF contentColors[4] = {0x3C4041, 0x292B2C, 0x727276, 0x5B5B5E};
    for (int i = 0; i < 4; ++i)
        contentBarBrushes[i] = CreateSolidBrush(contentColors[i]);
    for (int i = 0; i < 11; ++i)
        overlayBarBrushes[i] = CreateSolidBrush(overlayLevel(i + 1).trackColor);
    oldContentScrollBoxWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(contentScrollBox->Handle(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&TForm1::contentScrollBoxWndProc)));
}

void TForm1::destroyScrollBars() {
    // Our procedures leave the windows first, so nothing reaches a half-destroyed form.
    auto restore = [](HWND window, WNDPROC& old) {
        if (window && old && IsWindow(window))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        old = nullptr;
    };
    if (contentScrollBox) {
        contentScrollBox->SetBarsCovered(false);
        if (contentScrollBox->HandleAllocated())
            restore(contentScrollBox->Handle(), oldContentScrollBoxWndProc);
    }
    if (userNameListBox && userNameListBox->HandleAllocated())
        restore(userNameListBox->Handle(), oldUserNameListBoxWndProc);
    if (userNameListBoxPanel && userNameListBoxPanel->HandleAllocated())
        restore(userNameListBoxPanel->Handle(), oldUserNameListBoxPanelWndProc);
    userNameScrollBar.reset();
    contentScrollBar.reset();
    restore(userNameScrollBarWindow, oldUserNameScrollBarWndProc);
    restore(contentScrollBarWindow, oldContentScrollBarWndProc);
    for (HWND* window : {&userNameScrollBarWindow, &contentScrollBarWindow}) {
        if (*window && IsWindow(*window))
            DestroyWindow(*window);
        *window = nullptr;
    }
    for (HICON& icon : userNameBarIcons)
        if (icon)
            DestroyIcon(std::exchange(icon, nullptr));
    for (HICON& icon : contentBarIcons)
        if (icon)
            DestroyIcon(std::exchange(icon, nullptr));
    for (HBRUSH& brush : userNameBarBrushes)
        if (brush)
            DeleteObject(std::exchange(brush, nullptr));
    for (HBRUSH& brush : contentBarBrushes)
        if (brush)
            DeleteObject(std::exchange(brush, nullptr));
    for (HBRUSH& brush : overlayBarBrushes)
        if (brush)
            DeleteObject(std::exchange(brush, nullptr));
    for (int i = 0; i < 4; ++i) {
        if (contentScrollBox)
            contentScrollBox->patternBrushes[i] = nullptr;
        contentPatternBrushes[i].reset();
    }
}

void TForm1::placeContentScrollBar() {
    if (!contentScrollBarWindow || !contentScrollBox->HandleAllocated())
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(contentScrollBox->Handle(), SB_VERT, &info);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const bool needed = contentScrollBox->ClientHeight() < contentScrollBox->VertScrollBar()->Range();
    const RECT place{contentScrollBox->Left() + contentScrollBox->Width() - barWidth, contentScrollBox->Top(),
                     contentScrollBox->Left() + contentScrollBox->Width(),
                     contentScrollBox->Top() + contentScrollBox->Height()};
    // Placing the bar repaints it, and the grid lays itself out on every scroll: a bar that is
    // where it belongs, shown or hidden as it should be and above the box, stays as it is.
    RECT now{};
    GetWindowRect(contentScrollBarWindow, &now);
    MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&now), 2);
    const bool shown = (GetWindowLongPtrW(contentScrollBarWindow, GWL_STYLE) & WS_VISIBLE) != 0;
    if (!EqualRect(&now, &place) || shown != needed || GetWindow(contentScrollBarWindow, GW_HWNDPREV))
        SetWindowPos(contentScrollBarWindow, HWND_TOP, place.left, place.top, barWidth,
                     place.bottom - place.top, needed ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (contentScrollBar) {
        SCROLLINFO held{};
        held.cbSize = sizeof(held);
        held.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (!contentScrollBar->GetScrollInfo(held) || !SameScrollValues(held, info))
            contentScrollBar->SetScrollInfo(info, true);
        UpdateWindow(contentScrollBarWindow);
    }
}

// ---- subclassed procedures of the bars and the controls they follow

LRESULT CALLBACK TForm1::userNameListBoxWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm1* form = Form1;
    if (!form || !form->oldUserNameListBoxWndProc)
        return DefWindowProcW(window, msg, wParam, lParam);
    LRESULT result = CallWindowProcW(form->oldUserNameListBoxWndProc, window, msg, wParam, lParam);
    if ((msg == WM_VSCROLL || msg == WM_MOUSEWHEEL) && form->userNameScrollBar)
        form->userNameScrollBar->SetScrollPos(GetScrollPos(window, SB_VERT), true);
    return result;
}

LRESULT CALLBACK TForm1::userNameListBoxPanelWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm1* form = Form1;
    if (!form || !form->oldUserNameListBoxPanelWndProc)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == form->userNameScrollBarWindow &&
            header->code == kScrollBarCustomDraw) {
            const auto& record = *reinterpret_cast<const ScrollBarCustomDraw*>(lParam);
            LRESULT result = 0;
            if (!barItemToDraw(record, result))
                return result;
            BarLook look{
                form->userNameBarIcons,
                form->userNameBarBrushes[0],
                form->userNameBarBrushes[0],
                {form->userNameBarBrushes[1], form->userNameBarBrushes[2], form->userNameBarBrushes[3]}};
            drawBarItem(record, lastUserNameBarItemState, look);
            lastUserNameBarItemState = record.State;
        }
    } else if (msg == WM_COMMAND && form->userNameListBox->HandleAllocated() &&
               reinterpret_cast<HWND>(lParam) == form->userNameListBox->Handle() &&
               HIWORD(wParam) == LBN_SELCHANGE && form->userNameScrollBar) {
        form->userNameScrollBar->SetScrollPos(GetScrollPos(form->userNameListBox->Handle(), SB_VERT), true);
    }
    return CallWindowProcW(form->oldUserNameListBoxPanelWndProc, window, msg, wParam, lParam);
}

LRESULT CALLBACK TForm1::userNameScrollBarWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm1* form = Form1;
    if (!form || !form->oldUserNameScrollBarWndProc)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_VSCROLL) {
        const bool settled = LOWORD(wParam) == SB_THUMBPOSITION && form->userNameScrollBar &&
                             static_cast<int>(HIWORD(wParam)) == form->userNameScrollBar->GetScrollPos();
        if (!settled && form->userNameListBox->HandleAllocated())
            return userNameListBoxWndProc(form->userNameListBox->Handle(), msg, wParam, 0);
    }
    return CallWindowProcW(form->oldUserNameScrollBarWndProc, window, msg, wParam, lParam);
}

LRESULT CALLBACK TForm1::contentScrollBoxWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm1* form = Form1;
    if (!form || !form->oldContentScrollBoxWndProc)
        return DefWindowProcW(window, msg, wParam, lParam);
    LRESULT result = CallWindowProcW(form->oldContentScrollBoxWndProc, window, msg, wParam, lParam);
    if (msg == WM_VSCROLL || msg == WM_MOUSEWHEEL) {
        try {
            if (form->contentScrollBar)
                form->contentScrollBar->SetScrollPos(form->contentScrollBox->VertScrollBar()->Position(),
                                                     true);
            form->resetScrollAnchor();
            form->layoutGrid();
        } catch (...) {
            Application->HandleException(form, std::current_exception());
        }
    }
    return result;
}

LRESULT CALLBACK TForm1::contentScrollBarWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm1* form = Form1;
    if (!form || !form->oldContentScrollBarWndProc)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg != WM_VSCROLL)
        return CallWindowProcW(form->oldContentScrollBarWndProc, window, msg, wParam, lParam);
    try {
        const int code = LOWORD(wParam);
        if (code == SB_THUMBTRACK && form->contentScrollBar) {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_ALL;
            form->contentScrollBar->GetScrollInfo(info);
            TControlScrollBar* box = form->contentScrollBox->VertScrollBar();
            if (box->Position() == info.nTrackPos)
                return 0;
            box->SetPosition(info.nTrackPos);
            form->contentScrollBar->SetScrollPos(box->Position(), true);
            form->resetScrollAnchor();
            form->layoutGrid();
            return 0;
        }
        if (code == SB_THUMBPOSITION && form->contentScrollBar &&
            static_cast<int>(HIWORD(wParam)) == form->contentScrollBar->GetScrollPos())
            return 0;
        if (form->contentScrollBox->HandleAllocated())
            return contentScrollBoxWndProc(form->contentScrollBox->Handle(), msg, wParam, 0);
    } catch (...) {
        Application->HandleException(form, std::current_exception());
    }
    return 0;
}
