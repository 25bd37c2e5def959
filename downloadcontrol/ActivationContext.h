#pragma once
// An activation context made from a manifest resource of a module, and its activation for a scope.
// The control makes one from its manifest (common controls version 6) and activates it around the
// creation of its child windows and around the dialogs it shows.
#include <winsock2.h>
#include <windows.h>

#include <string>

class ActivationContext {
public:
    ActivationContext() = default;
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;
    ~ActivationContext() { release(); }

    // Makes the context from manifest resource `resourceId` of `module` (file `modulePath`).
    // False when the system cannot make it; the control then works without one.
    bool create(HMODULE module, const std::wstring& modulePath, WORD resourceId);
    void release();
    bool valid() const { return context_ != INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return context_; }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

// Activates a context from construction to the end of the scope; does nothing for an invalid one.
class ScopedActivation {
public:
    explicit ScopedActivation(const ActivationContext& context);
    ~ScopedActivation();
    ScopedActivation(const ScopedActivation&) = delete;
    ScopedActivation& operator=(const ScopedActivation&) = delete;

    bool active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};
