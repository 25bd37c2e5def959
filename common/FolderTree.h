#pragma once
// The shell's item lists, owned, and the folder tree of the system's browse-for-folder dialog:
// a tree view that shows the shell's namespace from the desktop down, one item a level, each
// named by its level's display name. Needs COM on the calling thread.
#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <string>

struct ItemListFree {
    void operator()(ITEMIDLIST* items) const { CoTaskMemFree(items); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// The shell's item list for a path; null when the shell does not know the path.
ItemList parseShellPath(const std::wstring& path);

// The tree item that shows the folder, found from the tree's root (the desktop) level by level by
// display name, expanding each level on the way. Null when a level is not in the tree.
HTREEITEM findFolderTreeItem(HWND tree, PCIDLIST_ABSOLUTE folder);
