#include "gui/Menus.h"
#include "gui/Application.h"
#include "gui/CommandIdPool.h"
#include <algorithm>

namespace gui {

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(CommandIdPool::Shared().Allocate()) {}

TMenuItem::~TMenuItem() {
    MarkDestroying();
    while (!items_.empty())
        delete items_.back();  // each one leaves our list
    if (parent_)
        parent_->Remove(this);
    if (!parent_)
        destroyHandle();
    CommandIdPool::Shared().Release(command_);
}

TMenuItem* TMenuItem::root() {
    TMenuItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item;
}

void TMenuItem::destroyHandle() {
    // Destroying the top menu destroys every submenu inside it.
    if (handle_ && !parent_)
        DestroyMenu(handle_);
    handle_ = nullptr;
}

void TMenuItem::structureChanged() {
    root()->stale_ = true;
}

void TMenuItem::fillInfo(MENUITEMINFOW& info) const {
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.fType = IsLine() ? MFT_SEPARATOR : (radioItem_ ? MFT_RADIOCHECK : MFT_STRING);
    info.fState = (checked_ ? MFS_CHECKED : MFS_UNCHECKED) | (enabled_ ? MFS_ENABLED : MFS_DISABLED);
    info.wID = command_;
    info.dwTypeData = const_cast<wchar_t*>(caption_.c_str());
    info.cch = static_cast<UINT>(caption_.size());
}

int TMenuItem::visiblePosition() const {
    if (!parent_)
        return -1;
    int position = 0;
    for (const TMenuItem* sibling : parent_->items_) {
        if (sibling == this)
            return position;
        if (sibling->visible_)
            ++position;
    }
    return -1;
}

void TMenuItem::stateChanged() {
    // Write the change through to a menu that exists, so its handle stays valid.
    if (!parent_ || !parent_->handle_ || root()->stale_ || !visible_)
        return;
    MENUITEMINFOW info{};
    fillInfo(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    SetMenuItemInfoW(parent_->handle_, static_cast<UINT>(visiblePosition()), TRUE, &info);
}

void TMenuItem::build(HMENU menu) {
    handle_ = menu;
    UINT position = 0;
    for (TMenuItem* item : items_) {
        if (!item->visible_)
            continue;
        MENUITEMINFOW info{};
        item->fillInfo(info);
        if (!item->items_.empty()) {
            HMENU submenu = CreatePopupMenu();
            item->build(submenu);
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = submenu;
        } else {
            item->handle_ = nullptr;
        }
        InsertMenuItemW(menu, position++, TRUE, &info);
    }
}

HMENU TMenuItem::Handle() {
    TMenuItem* top = root();
    if (top->stale_ || !top->handle_) {
        top->destroyHandle();
        top->build(CreatePopupMenu());
        top->stale_ = false;
    }
    return handle_;
}

void TMenuItem::SetCaption(const std::wstring& caption) {
    const bool lineChanged = (caption == L"-") != IsLine();
    caption_ = caption;
    if (lineChanged)
        structureChanged();
    else
        stateChanged();
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    stateChanged();
    if (checked && radioItem_ && parent_) {
        for (TMenuItem* sibling : parent_->items_) {
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ &&
                sibling->checked_)
                sibling->SetChecked(false);
        }
    }
}

void TMenuItem::SetRadioItem(bool radioItem) {
    radioItem_ = radioItem;
    stateChanged();
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    stateChanged();
}

void TMenuItem::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    structureChanged();
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this)
        return;
    if (item->parent_)
        item->parent_->Remove(item);
    if (item->handle_ && !item->parent_)
        item->destroyHandle();
    index = std::max(0, std::min(index, Count()));
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    structureChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return;
    structureChanged();
    items_.erase(it);
    item->parent_ = nullptr;
    item->handle_ = nullptr;  // the tree it pointed into belongs to the old top item
}

int TMenuItem::MenuIndex() const {
    if (!parent_)
        return -1;
    auto it = std::find(parent_->items_.begin(), parent_->items_.end(), this);
    return static_cast<int>(it - parent_->items_.begin());
}

TMenuItem* TMenuItem::Find(UINT command) {
    if (command == 0)
        return nullptr;
    if (command_ == command)
        return this;
    for (TMenuItem* item : items_) {
        if (TMenuItem* found = item->Find(command))
            return found;
    }
    return nullptr;
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

// ---- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

bool TPopupMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command);
    if (!item)
        return false;
    item->Click();
    return true;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup)
        OnPopup(this);
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    flags |=
        alignment_ == paRight ? TPM_RIGHTALIGN : (alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN);
    HWND owner = GetActiveWindow();
    if (!owner && Application)
        owner = Application->Handle();
    // The owner must be in the foreground for the menu to close when the user clicks elsewhere.
    if (owner)
        SetForegroundWindow(owner);
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(Handle(), flags, x, y, owner, nullptr));
    if (owner)
        PostMessageW(owner, WM_NULL, 0, 0);
    if (command != 0)
        DispatchCommand(command);
}

}  // namespace gui
