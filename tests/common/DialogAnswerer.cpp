#include "DialogAnswerer.h"

#include <vector>

namespace {

const DWORD pollInterval = 20;
// Generous: a first dialog of a Wine process loads the shell and common controls.
const DWORD waitForDialog = 20000;
const DWORD waitForClose = 10000;
const DWORD waitForIdle = 10000;

const wchar_t ownerClassName[] = L"PixhaulTestDialogOwner";
const wchar_t idleEventProperty[] = L"PixhaulTestIdleEvent";

LRESULT CALLBACK ownerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE) {
        if (HANDLE idle = GetPropW(window, idleEventProperty)) {
            SetEvent(idle);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createOwnerWindow(HANDLE idle) {
    static const ATOM ownerClass = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ownerWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = ownerClassName;
        return RegisterClassW(&windowClass);
    }();
    if (ownerClass == 0) {
        return nullptr;
    }
    HWND owner = CreateWindowExW(0, ownerClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (owner != nullptr) {
        SetPropW(owner, idleEventProperty, idle);
    }
    return owner;
}

struct DialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findVisibleDialog(HWND window, LPARAM data) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window)) {
        reinterpret_cast<DialogSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DialogAnswerer::DialogAnswerer(Answer answer)
    : testThread_(GetCurrentThreadId()),
      answer_(std::move(answer)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      idle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      owner_(createOwnerWindow(idle_)),
      thread_([this] { run(); }) {}

DialogAnswerer::~DialogAnswerer() {
    finish();
    if (owner_ != nullptr) {
        RemovePropW(owner_, idleEventProperty);
        DestroyWindow(owner_);
    }
    CloseHandle(idle_);
    CloseHandle(stop_);
}

void DialogAnswerer::finish() {
    SetEvent(stop_);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void DialogAnswerer::run() {
    HWND dialog = nullptr;
    for (DWORD waited = 0; dialog == nullptr && waited < waitForDialog; waited += pollInterval) {
        DialogSearch search;
        EnumThreadWindows(testThread_, &findVisibleDialog, reinterpret_cast<LPARAM>(&search));
        dialog = search.found;
        if (dialog == nullptr && WaitForSingleObject(stop_, pollInterval) == WAIT_OBJECT_0) {
            return;
        }
    }
    if (dialog == nullptr) {
        return;
    }
    sawDialog_ = true;
    syncWithDialog(dialog);
    answer_(dialog);

    for (DWORD waited = 0; IsWindow(dialog) && waited < waitForClose; waited += pollInterval) {
        Sleep(pollInterval);
    }
    if (IsWindow(dialog)) {
        leftOpen_ = true;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

RECT windowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void pressDialogButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void moveDialog(HWND dialog, int x, int y, int width, int height) {
    SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    syncWithDialog(dialog);
}

void syncWithDialog(HWND dialog) {
    const HANDLE idle = GetPropW(GetWindow(dialog, GW_OWNER), idleEventProperty);
    if (idle == nullptr) {
        return;
    }
    // The posted message makes the dialog's loop run once more after everything queued before.
    ResetEvent(idle);
    PostMessageW(dialog, WM_NULL, 0, 0);
    WaitForSingleObject(idle, waitForIdle);
}

std::wstring windowText(HWND window) {
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(window)) + 2, L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}
