#include "JobMessageSink.h"

JobMessageSink::JobMessageSink() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PixhaulJobRecordSink";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    handle_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
}

JobMessageSink::~JobMessageSink() {
    drain();
    if (handle_)
        DestroyWindow(handle_);
}

void JobMessageSink::drain() {
    MSG message;
    while (PeekMessageW(&message, handle_, WM_PHOTO_COPIED, WM_PRINT_PROGRESS, PM_REMOVE)) {
        switch (message.message) {
        case WM_PHOTO_COPIED:
            copied.emplace_back(reinterpret_cast<PhotoCopiedMessageInfo*>(message.wParam));
            break;
        case WM_PHOTO_TIMES_UPDATED:
            times.emplace_back(reinterpret_cast<UpdatePhotoTimesMessageInfo*>(message.wParam));
            break;
        case WM_ZIP_PROGRESS:
            zip.emplace_back(reinterpret_cast<ZipArchiveMessageInfo*>(message.wParam));
            break;
        default:
            print.emplace_back(reinterpret_cast<PrintMessageInfo*>(message.wParam));
            break;
        }
    }
}

bool JobMessageSink::waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        drain();
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    }
}
