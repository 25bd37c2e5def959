#include "gui/HintWindow.h"
#include "gui/WinControl.h"

namespace gui {

namespace {

const wchar_t* const kHintClassName = L"PixhaulHint";
constexpr int kMarginX = 4;
constexpr int kMarginY = 2;
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

void registerHintClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_SAVEBITS | CS_DROPSHADOW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = HInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kHintClassName;
    RegisterClassExW(&wc);
    registered = true;
}

}  // namespace

THintWindow::THintWindow() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font_.reset(CreateFontIndirectW(&metrics.lfStatusFont));
    registerHintClass(WindowProcedure);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kHintClassName, L"",
                              WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, HInstance(), this);
    if (window_)
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

THintWindow::~THintWindow() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::wstring& text) {
    RECT r{0, 0, maxWidth, 0};
    HDC dc = GetDC(window_);
    if (dc) {
        HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
        SelectObject(dc, old);
        ReleaseDC(window_, dc);
    }
    const int borders = 2 * GetSystemMetrics(SM_CXBORDER);
    r.right += 2 * kMarginX + borders;
    r.bottom += 2 * kMarginY + borders;
    return r;
}

void THintWindow::ActivateHint(const RECT& screenRect, const std::wstring& text) {
    if (!window_)
        return;
    text_ = text;
    SetWindowPos(window_, HWND_TOPMOST, screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                 screenRect.bottom - screenRect.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void THintWindow::Hide() {
    if (window_ && IsWindowVisible(window_))
        ShowWindow(window_, SW_HIDE);
}

bool THintWindow::Visible() const {
    return window_ && IsWindowVisible(window_);
}

void THintWindow::paint(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    GdiObject<HBRUSH> background(CreateSolidBrush(ColorToRGB(color_)));
    FillRect(dc, &client, background.get());
    HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clInfoText));
    RECT text{client.left + kMarginX, client.top + kMarginY, client.right - kMarginX,
              client.bottom - kMarginY};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text, kTextFormat);
    SelectObject(dc, old);
}

LRESULT CALLBACK THintWindow::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (msg) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (self) {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(window, &ps);
            try {
                self->paint(dc);
            } catch (...) {
                HandleCallbackException(nullptr);
            }
            EndPaint(window, &ps);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace gui
