#pragma once
// Posting a worker's record to the main window. The receiver owns a record once it is posted; a
// record that could not be posted is freed here.
#include <windows.h>

#include <memory>

// One try: progress records may be dropped when the window's queue is full.
template <typename Record>
bool postRecord(HWND window, UINT message, std::unique_ptr<Record> record) {
    if (!PostMessageW(window, message, reinterpret_cast<WPARAM>(record.get()), 0))
        return false;
    record.release();
    return true;
}

// A record that ends a worker: without it the job never ends, so a full queue is waited out while
// the window exists (for a limited time).
template <typename Record>
bool postFinalRecord(HWND window, UINT message, std::unique_ptr<Record> record) {
    constexpr int kAttempts = 600;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (PostMessageW(window, message, reinterpret_cast<WPARAM>(record.get()), 0)) {
            record.release();
            return true;
        }
        if (!IsWindow(window))
            return false;
        Sleep(kPauseMs);
    }
    return false;
}
