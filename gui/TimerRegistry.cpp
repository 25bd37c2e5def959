#include "gui/TimerRegistry.h"

namespace gui {

bool TimerShouldRun(bool enabled, unsigned interval, bool hasHandler) {
    return enabled && interval != 0 && hasHandler;
}

UINT_PTR TimerRegistry::Register(TTimer* timer) {
    const UINT_PTR id = nextId_++;
    timers_[id] = timer;
    return id;
}

void TimerRegistry::Unregister(UINT_PTR id) {
    timers_.erase(id);
}

TTimer* TimerRegistry::Find(UINT_PTR id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? nullptr : it->second;
}

}  // namespace gui
