// Popup menus: command identifiers, check marks written through to the menu, radio groups,
// sub-menus and dispatching a command.
#include "GuiTestSupport.h"
#include "gui/Menus.h"
#include <gtest/gtest.h>
#include <set>

using namespace gui;

namespace {

MENUITEMINFOW itemInfo(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

TMenuItem* addItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

}  // namespace

TEST(Menu, ItemsHaveUniqueCommandsAndAreBuiltIntoTheMenu) {
    TComponent form(nullptr);
    auto* menu = new TPopupMenu(&form);
    TMenuItem* tooltips = addItem(&form, menu->Items(), L"Show Captions as Thumbnail Tooltips");
    addItem(&form, menu->Items(), L"-");
    TMenuItem* overlay = addItem(&form, menu->Items(), L"Slideshow Overlay");
    TMenuItem* dark = addItem(&form, overlay, L"Dark");
    TMenuItem* black = addItem(&form, overlay, L"Black");
    std::set<UINT> commands{tooltips->Command(), overlay->Command(), dark->Command(), black->Command()};
    EXPECT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands.count(0), 0u);

    HMENU handle = menu->Handle();
    ASSERT_EQ(GetMenuItemCount(handle), 3);
    EXPECT_EQ(itemInfo(handle, 0).wID, tooltips->Command());
    EXPECT_TRUE(itemInfo(handle, 1).fType & MFT_SEPARATOR);
    HMENU submenu = itemInfo(handle, 2).hSubMenu;
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(submenu, overlay->Handle());
    EXPECT_EQ(GetMenuItemCount(submenu), 2);
    EXPECT_EQ(menu->FindItem(black->Command()), black);
}

TEST(Menu, CheckMarksAndRadioGroupsWriteThroughToTheMenu) {
    TComponent form(nullptr);
    auto* menu = new TPopupMenu(&form);
    TMenuItem* slow = addItem(&form, menu->Items(), L"Slow Slideshow");
    TMenuItem* moderate = addItem(&form, menu->Items(), L"Moderate Slideshow");
    TMenuItem* other = addItem(&form, menu->Items(), L"Clear Search When Changing Username");
    for (TMenuItem* item : {slow, moderate}) {
        item->SetRadioItem(true);
        item->SetGroupIndex(2);
    }
    other->SetGroupIndex(2);
    other->SetChecked(true);
    moderate->SetChecked(true);
    HMENU handle = menu->Handle();
    EXPECT_TRUE(itemInfo(handle, 1).fState & MFS_CHECKED);
    EXPECT_TRUE(itemInfo(handle, 1).fType & MFT_RADIOCHECK);

    slow->SetChecked(true);
    EXPECT_FALSE(moderate->Checked());
    EXPECT_TRUE(other->Checked());      // not a radio item
    EXPECT_EQ(menu->Handle(), handle);  // changed in place
    EXPECT_TRUE(itemInfo(handle, 0).fState & MFS_CHECKED);
    EXPECT_FALSE(itemInfo(handle, 1).fState & MFS_CHECKED);

    other->SetEnabled(false);
    EXPECT_TRUE(itemInfo(handle, 2).fState & MFS_DISABLED);
}

TEST(Menu, ACommandRunsItsItemAndDestroyedItemsGiveTheirCommandBack) {
    TComponent form(nullptr);
    auto* menu = new TPopupMenu(&form);
    TMenuItem* about = addItem(&form, menu->Items(), L"About Pixhaul...");
    TMenuItem* silent = addItem(&form, menu->Items(), L"Check for Updates");
    int clicks = 0;
    about->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, about);
        ++clicks;
    };
    EXPECT_TRUE(menu->DispatchCommand(about->Command()));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menu->DispatchCommand(silent->Command()));  // an item without handler
    EXPECT_FALSE(menu->DispatchCommand(60000));

    const UINT freed = silent->Command();
    delete silent;
    EXPECT_EQ(menu->Items()->Count(), 1);
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 1);
    auto* reused = new TMenuItem(&form);
    EXPECT_EQ(reused->Command(), freed);
}

TEST(Menu, DeletingAParentItemDeletesItsSubItemsAndTheOwnerCopes) {
    auto* form = new TComponent(nullptr);
    auto* menu = new TPopupMenu(form);
    TMenuItem* overlay = addItem(form, menu->Items(), L"Slideshow Overlay");
    addItem(form, overlay, L"Transparent");
    addItem(form, overlay, L"Black");
    menu->Handle();
    EXPECT_EQ(form->ComponentCount(), 4);
    delete overlay;
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 0);
    delete form;
}
