#pragma once
// Identifiers of running timers. Every start of a timer gets a fresh identifier that is never
// handed out again, so a tick that was already queued for a stopped, restarted or deleted
// timer finds no owner and is dropped. Pure logic.
#include <windows.h>
#include <unordered_map>

namespace gui {

class TTimer;

// A timer runs only while it is enabled, has a non-zero interval and something to call.
bool TimerShouldRun(bool enabled, unsigned interval, bool hasHandler);

class TimerRegistry {
public:
    UINT_PTR Register(TTimer* timer);
    void Unregister(UINT_PTR id);
    TTimer* Find(UINT_PTR id) const;
    size_t Count() const { return timers_.size(); }

private:
    std::unordered_map<UINT_PTR, TTimer*> timers_;
    UINT_PTR nextId_ = 1;
};

}  // namespace gui
