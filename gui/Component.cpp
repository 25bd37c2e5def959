#include "gui/Component.h"
#include <algorithm>

namespace gui {

TComponent::TComponent(TComponent* owner) {
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    DestroyComponents();
    if (owner_)
        owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this)
        return;
    if (component->owner_)
        component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end())
        return;
    components_.erase(it);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    // A component's destructor may delete others of this list (a menu item its sub-items),
    // so take one at a time from the end and detach it before deleting it.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
}

}  // namespace gui
