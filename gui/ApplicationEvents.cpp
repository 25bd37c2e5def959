#include "gui/ApplicationEvents.h"
#include <algorithm>

namespace gui {

namespace {
std::vector<TApplicationEvents*>& registry() {
    static std::vector<TApplicationEvents*> all;
    return all;
}
}  // namespace

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
    registry().push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
    auto& all = registry();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

const std::vector<TApplicationEvents*>& TApplicationEvents::All() {
    return registry();
}

bool TApplicationEvents::Alive(const TApplicationEvents* events) {
    const auto& all = registry();
    return std::find(all.begin(), all.end(), events) != all.end();
}

}  // namespace gui
