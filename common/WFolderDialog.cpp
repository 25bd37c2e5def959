#include "common/WFolderDialog.h"

#include "common/DialogGeometry.h"
#include "common/FolderTree.h"
#include "common/PathFunctions.h"
#include "common/TextFunctions.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

namespace {

// The natural size and the working placement of the open dialog; the two remembered placements are
// copied into the working one before the dialog opens and back after it closes.
DialogGeometry folderDialogGeometry;
DialogPlacement folderDialogPlacements[2];

// The new dialog style needs OLE on the calling thread; a thread that has it already keeps it.
class OleScope {
public:
    OleScope() : result_(OleInitialize(nullptr)) {}
    ~OleScope() {
        if (SUCCEEDED(result_)) {
            OleUninitialize();
        }
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    HRESULT result_;
};

// One opening of the dialog: its caller and the selection as the dialog last reported it.
struct BrowseSession {
    const WFolderDialog* caller;
    ItemList selected;
};

std::wstring pathFromItemList(PCIDLIST_ABSOLUTE items) {
    wchar_t path[MAX_PATH] = {};
    if (items == nullptr || !SHGetPathFromIDListW(items, path)) {
        return std::wstring();
    }
    return path;
}

// Selects the start folder. Wine's dialog matches the folder's item list level by level byte for
// byte against its tree's own listing, last-write times included: a folder on the way that changed
// between the two (files being saved into it, another program's temporary files beside it) leaves
// the tree on an ancestor, and OK would return that. The tree is then searched by names instead.
void selectStartFolder(HWND dialog, BrowseSession& session) {
    const ItemList start = parseShellPath(session.caller->folder);
    if (!start) {
        return;
    }
    SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(start.get()));
    if (session.selected && ILIsEqual(session.selected.get(), start.get())) {
        return;
    }
    const HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    if (HTREEITEM item = findFolderTreeItem(tree, start.get())) {
        // Reported back through the dialog's own selection-change notification.
        TreeView_SelectItem(tree, item);
        TreeView_EnsureVisible(tree, item);
    }
}

int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data) {
    auto* session = reinterpret_cast<BrowseSession*>(data);
    const WFolderDialog* caller = session->caller;
    switch (message) {
    case BFFM_INITIALIZED:
        followDialogGeometry(dialog, folderDialogGeometry);
        selectStartFolder(dialog, *session);
        break;
    case BFFM_SELCHANGED:
        session->selected.reset(parameter != 0 ? ILClone(reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter))
                                               : nullptr);
        if (!caller->excludedFolder.empty()) {
            const std::wstring selected = chosenFolderPath(
                caller->owner, pathFromItemList(reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter)));
            const LPARAM enable = compareStrings(selected, caller->excludedFolder, false) == 0 ? 0 : 1;
            SendMessageW(dialog, BFFM_ENABLEOK, 0, enable);
            // Some shells set the button's state again after this notification; the posted copy
            // is handled after that, and posts keep their order as the selection moves on.
            PostMessageW(dialog, BFFM_ENABLEOK, 0, enable);
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

WFolderDialog::WFolderDialog(HWND owner) : owner(owner) {}

void WFolderDialog::setRememberedSize(int width, int height) {
    for (DialogPlacement& placement : folderDialogPlacements) {
        placement.width = width;
        placement.height = height;
    }
}

bool WFolderDialog::execute() {
    OleScope ole;
    wchar_t displayName[MAX_PATH] = {};

    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = prompt.empty() ? nullptr : prompt.c_str();
    browse.ulFlags = BIF_NEWDIALOGSTYLE;
    if (showEditBox) {
        browse.ulFlags |= BIF_EDITBOX;
    }
    if (!allowNewFolder) {
        browse.ulFlags |= BIF_NONEWFOLDERBUTTON;
    }
    BrowseSession session{this, nullptr};
    browse.lpfn = &browseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&session);

    DialogPlacement& remembered = folderDialogPlacements[secondGeometry ? 1 : 0];
    folderDialogGeometry.placement = remembered;
    const ItemList chosen(SHBrowseForFolderW(&browse));
    remembered = folderDialogGeometry.placement;

    folder = chosen ? chosenFolderPath(owner, pathFromItemList(chosen.get())) : std::wstring();
    return !folder.empty();
}

std::wstring chosenFolderPath(HWND owner, const std::wstring& itemPath) {
    if (itemPath.empty() || toUpperCase(fileExtension(itemPath)) != L".LNK") {
        return itemPath;
    }
    wchar_t target[MAX_PATH] = {};
    if (!resolveShortcut(owner, itemPath, target, MAX_PATH)) {
        return std::wstring();
    }
    return target;
}
