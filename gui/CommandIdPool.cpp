#include "gui/CommandIdPool.h"

namespace gui {

UINT CommandIdPool::Allocate() {
    for (UINT id = kFirst; id <= kLast; ++id) {
        if (id >= used_.size())
            used_.resize(id + 1, false);
        if (!used_[id]) {
            used_[id] = true;
            return id;
        }
    }
    return 0;
}

void CommandIdPool::Release(UINT id) {
    if (id < used_.size())
        used_[id] = false;
}

bool CommandIdPool::InUse(UINT id) const {
    return id < used_.size() && used_[id];
}

CommandIdPool& CommandIdPool::Shared() {
    static CommandIdPool pool;
    return pool;
}

}  // namespace gui
