#pragma once
// Sole owner of a kernel handle (file, thread, event), closed with CloseHandle.
// Both null and INVALID_HANDLE_VALUE mean "no handle"; get() then gives null, never the pseudo-handle
// INVALID_HANDLE_VALUE, so an empty handle can never be waited on by mistake.
#include <winsock2.h>
#include <windows.h>

class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle_(normalized(handle)) {}
    ~ScopedHandle() { close(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool valid() const { return handle_ != nullptr; }
    HANDLE get() const { return handle_; }

    // Gives up ownership without closing.
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = nullptr;
        return handle;
    }

    // Closes the held handle (if any) and takes ownership of another.
    void reset(HANDLE handle = nullptr) {
        close();
        handle_ = normalized(handle);
    }

    // Closes the handle; the result of CloseHandle, true when there was nothing to close.
    bool close() {
        if (!handle_) {
            return true;
        }
        BOOL closed = CloseHandle(handle_);
        handle_ = nullptr;
        return closed != FALSE;
    }

private:
    static HANDLE normalized(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

    HANDLE handle_ = nullptr;
};
