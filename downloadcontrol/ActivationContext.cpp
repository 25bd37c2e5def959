#include "downloadcontrol/ActivationContext.h"

bool ActivationContext::create(HMODULE module, const std::wstring& modulePath, WORD resourceId) {
    release();
    ACTCTXW description = {};
    description.cbSize = sizeof(description);
    description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    description.lpSource = modulePath.c_str();
    description.lpResourceName = MAKEINTRESOURCEW(resourceId);
    description.hModule = module;
    context_ = CreateActCtxW(&description);
    return valid();
}

void ActivationContext::release() {
    if (valid()) {
        ReleaseActCtx(context_);
        context_ = INVALID_HANDLE_VALUE;
    }
}

ScopedActivation::ScopedActivation(const ActivationContext& context) {
    if (context.valid()) {
        active_ = ActivateActCtx(context.handle(), &cookie_) != FALSE;
    }
}

ScopedActivation::~ScopedActivation() {
    if (active_) {
        DeactivateActCtx(0, cookie_);
    }
}
