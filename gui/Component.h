#pragma once
// The root of the class hierarchy and components: objects with an owner that destroys them.
#include "gui/Types.h"
#include <cstdint>
#include <string>
#include <vector>

namespace gui {

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

enum TComponentStateFlag : unsigned {
    csDesigning = 1u << 0,   // never set: there is no form designer
    csDestroying = 1u << 1,  // the component's destruction has begun
};

// A component belongs to its owner, which destroys it (newest first) when it is destroyed itself.
// Deleting a component first removes it from its owner.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name) { name_ = name; }

    // A value for the program's own use; wide enough for a pointer.
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    unsigned ComponentState() const { return componentState_; }
    bool Destroying() const { return (componentState_ & csDestroying) != 0; }

protected:
    // Destroys every owned component, newest first. Derived destructors that must see their
    // components go before their own members are destroyed may call it early.
    void DestroyComponents();
    void MarkDestroying() { componentState_ |= csDestroying; }

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::wstring name_;
    intptr_t tag_ = 0;
    unsigned componentState_ = 0;
};

}  // namespace gui
