#pragma once
// Popup menus built from menu items. Every item has a command identifier of its own (unique
// among living items) that arrives as the low word of WM_COMMAND when the item is chosen in a
// menu tracked for a window; Popup tracks the menu itself and runs the item's OnClick.
#include "gui/Component.h"
#include "gui/Events.h"
#include <string>
#include <vector>

namespace gui {

class TPopupMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    // Frees its sub-items, leaves its parent item and gives its command identifier back.
    ~TMenuItem() override;

    // "-" makes a separator.
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    bool IsLine() const { return caption_ == L"-"; }
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the radio items of the same group under the same parent.
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radioItem);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int groupIndex) { groupIndex_ = groupIndex; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    UINT Command() const { return command_; }

    // Sub-items.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item) { Insert(Count(), item); }
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const;
    // This item or one below it with that command identifier, or null.
    TMenuItem* Find(UINT command);

    // The popup menu of the sub-items (built on demand; rebuilt after the items change).
    HMENU Handle();

    virtual void Click();
    TNotifyEvent OnClick;

private:
    TMenuItem* root();
    void structureChanged();
    void stateChanged();
    void destroyHandle();
    void build(HMENU menu);
    void fillInfo(MENUITEMINFOW& info) const;
    int visiblePosition() const;

    std::wstring caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    UINT command_ = 0;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    HMENU handle_ = nullptr;  // owned only by the top item; sub-items point into its tree
    bool stale_ = true;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);

    TMenuItem* Items() const { return items_; }
    HMENU Handle() { return items_->Handle(); }
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
    TMenuItem* FindItem(UINT command) const { return items_->Find(command); }
    // Runs OnClick of the item with that command identifier; false when there is none.
    bool DispatchCommand(UINT command);
    // Shows the menu at a screen point, aligned by Alignment, and runs the chosen item.
    void Popup(int x, int y);

    TNotifyEvent OnPopup;

private:
    TMenuItem* items_;
    TPopupAlignment alignment_ = paLeft;
};

}  // namespace gui
