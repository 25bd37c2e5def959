#pragma once
// Owning pointer to a COM interface: releases what it holds, adds a reference when copied.
#include "downloadcontrol/activex/SystemHeaders.h"

#include <utility>

namespace activex {

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes a new reference to `pointer`.
    ComPtr(Interface* pointer) : pointer_(pointer) {
        if (pointer_) {
            pointer_->AddRef();
        }
    }
    ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }

    // Adopts a pointer whose reference the caller already holds.
    static ComPtr adopt(Interface* pointer) {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For out-parameters: releases what is held and hands out the slot.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // Gives the reference to the caller.
    Interface* detach() { return std::exchange(pointer_, nullptr); }

    void reset() {
        if (Interface* old = std::exchange(pointer_, nullptr)) {
            old->Release();
        }
    }

    // Copies the pointer with a new reference into a COM out-parameter.
    HRESULT copyTo(Interface** out) const {
        if (!out) {
            return E_POINTER;
        }
        *out = pointer_;
        if (pointer_) {
            pointer_->AddRef();
        }
        return S_OK;
    }

    // Asks the held object for another interface.
    template <class Other>
    HRESULT query(REFIID iid, ComPtr<Other>& result) const {
        if (!pointer_) {
            result.reset();
            return E_NOINTERFACE;
        }
        return pointer_->QueryInterface(iid, result.putVoid());
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace activex
