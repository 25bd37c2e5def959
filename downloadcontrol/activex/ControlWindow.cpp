#include "downloadcontrol/activex/ControlWindow.h"

#include "downloadcontrol/activex/ComPtr.h"
#include "downloadcontrol/activex/ControlBase.h"
#include "downloadcontrol/activex/Module.h"

namespace activex {
namespace {

const wchar_t kClassName[] = L"ActiveXControlWindow";

// Registered once per module; the class belongs to the module's instance, so another module in
// the process with the same framework keeps its own.
bool registerWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = Module::handle();
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

bool ControlWindow::create(HWND parent, const RECT& position) {
    if (handle_) {
        return true;
    }
    if (!registerWindowClass(&ControlWindow::procedure)) {
        return false;
    }
    // The pointer travels in lpCreateParams so that WM_CREATE already reaches the control.
    HWND created = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   position.left, position.top, position.right - position.left,
                                   position.bottom - position.top, parent, nullptr, Module::handle(), this);
    return created != nullptr;
}

void ControlWindow::destroy() {
    if (handle_) {
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

LRESULT CALLBACK ControlWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* creating =
            static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        creating->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    }
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT ControlWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = handle_;
    // The control stays whole while its window works, even if a handler releases it.
    ComPtr<IUnknown> keepAlive(control_.innerUnknown());
    bool handled = false;
    LRESULT result = control_.onMessage(window, message, wParam, lParam, handled);
    if (handled) {
        return result;
    }
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills everything
    case WM_MOUSEACTIVATE:
        control_.inPlace().activate(true);
        break;
    case WM_SETFOCUS:
        control_.inPlace().onFocus(true);
        break;
    case WM_KILLFOCUS:
        control_.inPlace().onFocus(false);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        handle_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ControlWindow::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle_, &paint);
    if (dc) {
        RECT client;
        GetClientRect(handle_, &client);
        control_.draw(dc, client);
        EndPaint(handle_, &paint);
    }
}

}  // namespace activex
