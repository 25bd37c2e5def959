// Ownership: owners destroy their components newest first, after their own destructor body.
#include "gui/Component.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace gui;

namespace {

class Logged : public TComponent {
public:
    Logged(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TComponent(owner), name_(std::move(name)), log_(log) {}
    ~Logged() override { log_.push_back(name_); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class OwnerWithBody : public TComponent {
public:
    explicit OwnerWithBody(std::vector<std::string>& log) : TComponent(nullptr), log_(log) {}
    ~OwnerWithBody() override {
        log_.push_back("owner body (" + std::to_string(ComponentCount()) + " left)");
    }

private:
    std::vector<std::string>& log_;
};

// Deletes a sibling in its destructor, as a menu item deletes its sub-items.
class DeletesSibling : public TComponent {
public:
    DeletesSibling(TComponent* owner, TComponent* sibling) : TComponent(owner), sibling_(sibling) {}
    ~DeletesSibling() override { delete sibling_; }

private:
    TComponent* sibling_;
};

}  // namespace

TEST(Component, TheOwnerRunsItsOwnDestructorFirstThenDestroysComponentsNewestFirst) {
    std::vector<std::string> log;
    auto* owner = new OwnerWithBody(log);
    new Logged(owner, "first", log);
    new Logged(owner, "second", log);
    new Logged(owner, "third", log);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"owner body (3 left)", "third", "second", "first"}));
}

TEST(Component, DeletingAComponentRemovesItFromItsOwner) {
    std::vector<std::string> log;
    TComponent owner(nullptr);
    auto* a = new Logged(&owner, "a", log);
    auto* b = new Logged(&owner, "b", log);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
}

TEST(Component, AComponentMayDeleteAnotherOneOfTheSameOwnerWhileBeingDestroyed) {
    std::vector<std::string> log;
    auto* owner = new TComponent(nullptr);
    auto* sibling = new Logged(owner, "sibling", log);
    new DeletesSibling(owner, sibling);  // newer: destroyed first, takes the sibling with it
    new Logged(owner, "last", log);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"last", "sibling"}));
}

TEST(Component, InsertingIntoAnotherOwnerMovesTheComponent) {
    TComponent first(nullptr);
    TComponent second(nullptr);
    auto* c = new TComponent(&first);
    second.InsertComponent(c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
    EXPECT_EQ(c->Owner(), &second);
}

TEST(Component, TagHoldsAPointer) {
    TComponent c(nullptr);
    int value = 42;
    c.SetTag(reinterpret_cast<intptr_t>(&value));
    EXPECT_EQ(*reinterpret_cast<int*>(c.Tag()), 42);
    EXPECT_EQ(sizeof(c.Tag()), sizeof(void*));
    EXPECT_FALSE(c.ComponentState() & csDesigning);
}
