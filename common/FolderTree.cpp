#include "common/FolderTree.h"

#include "common/TextFunctions.h"

#include <commctrl.h>

#include <cstring>

namespace {

// A copy of the first count levels of an item list.
ItemList leadingLevels(PCIDLIST_ABSOLUTE items, size_t count) {
    size_t bytes = 0;
    PCUIDLIST_RELATIVE level = items;
    for (size_t taken = 0; taken < count && !ILIsEmpty(level); ++taken) {
        bytes += level->mkid.cb;
        level = ILNext(level);
    }
    const USHORT terminator = 0;
    auto* copy = static_cast<BYTE*>(CoTaskMemAlloc(bytes + sizeof terminator));
    if (copy == nullptr) {
        return nullptr;
    }
    std::memcpy(copy, items, bytes);
    std::memcpy(copy + bytes, &terminator, sizeof terminator);
    return ItemList(reinterpret_cast<ITEMIDLIST*>(copy));
}

// The name the folder tree shows for the last level of the list.
std::wstring displayName(PCIDLIST_ABSOLUTE items) {
    PWSTR name = nullptr;
    if (FAILED(SHGetNameFromIDList(items, SIGDN_NORMALDISPLAY, &name)) || name == nullptr) {
        return std::wstring();
    }
    std::wstring result(name);
    CoTaskMemFree(name);
    return result;
}

std::wstring itemText(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    if (!TreeView_GetItem(tree, &data)) {
        return std::wstring();
    }
    return text;
}

HTREEITEM childNamed(HWND tree, HTREEITEM parent, const std::wstring& name) {
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child != nullptr;
         child = TreeView_GetNextSibling(tree, child)) {
        if (compareStrings(itemText(tree, child), name, false) == 0) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

ItemList parseShellPath(const std::wstring& path) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (path.empty() || FAILED(SHParseDisplayName(path.c_str(), nullptr, &items, 0, nullptr))) {
        return nullptr;
    }
    return ItemList(items);
}

HTREEITEM findFolderTreeItem(HWND tree, PCIDLIST_ABSOLUTE folder) {
    if (tree == nullptr || folder == nullptr) {
        return nullptr;
    }
    HTREEITEM item = TreeView_GetRoot(tree);
    size_t depth = 0;
    for (PCUIDLIST_RELATIVE level = folder; item != nullptr && !ILIsEmpty(level); level = ILNext(level)) {
        const ItemList leading = leadingLevels(folder, ++depth);
        const std::wstring name = leading ? displayName(leading.get()) : std::wstring();
        if (name.empty()) {
            return nullptr;
        }
        // The dialog lists a level's children when it is first expanded.
        TreeView_Expand(tree, item, TVE_EXPAND);
        item = childNamed(tree, item, name);
    }
    return item;
}
