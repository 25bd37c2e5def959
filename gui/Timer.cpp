#include "gui/Timer.h"
#include "gui/TimerRegistry.h"
#include "gui/WinControl.h"

namespace gui {

namespace {

TimerRegistry& registry() {
    static TimerRegistry timers;
    return timers;
}

LRESULT CALLBACK timerWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        try {
            TTimer::Tick(wParam);
        } catch (...) {
            HandleCallbackException(registry().Find(wParam));
        }
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

// One hidden window receives the ticks of every timer.
HWND timerWindow() {
    static HWND window = nullptr;
    if (!window || !IsWindow(window)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = timerWindowProcedure;
        wc.hInstance = HInstance();
        wc.lpszClassName = L"PixhaulTimers";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, L"PixhaulTimers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, HInstance(),
                                 nullptr);
    }
    return window;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    MarkDestroying();
    onTimer_ = nullptr;
    update();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    update();
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (interval_ == milliseconds)
        return;
    interval_ = milliseconds;
    update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    update();
}

void TTimer::update() {
    // Every start takes a fresh identifier, so a queued tick of the previous run is dropped.
    if (id_ != 0) {
        KillTimer(timerWindow(), id_);
        registry().Unregister(id_);
        id_ = 0;
    }
    if (Destroying() || !TimerShouldRun(enabled_, interval_, static_cast<bool>(onTimer_)))
        return;
    const UINT_PTR id = registry().Register(this);
    if (SetTimer(timerWindow(), id, interval_, nullptr) == 0) {
        registry().Unregister(id);
        return;
    }
    id_ = id;
}

void TTimer::Tick(UINT_PTR id) {
    TTimer* timer = registry().Find(id);
    if (!timer || timer->id_ != id || !timer->onTimer_)
        return;
    // Copy the handler: it may delete the timer or replace its handler.
    TNotifyEvent handler = timer->onTimer_;
    handler(timer);
}

}  // namespace gui
