#include "common/WFolderDialog.h"

#include "common/DialogGeometry.h"
#include "common/PathFunctions.h"
#include "common/TextFunctions.h"

#include <ole2.h>
#include <shlobj.h>

#include <memory>

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

struct ItemListFree {
    void operator()(ITEMIDLIST* items) const { CoTaskMemFree(items); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

std::wstring pathFromItemList(PCIDLIST_ABSOLUTE items) {
    wchar_t path[MAX_PATH] = {};
    if (items == nullptr || !SHGetPathFromIDListW(items, path)) {
        return std::wstring();
    }
    return path;
}

int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data) {
    const auto* caller = reinterpret_cast<const WFolderDialog*>(data);
    switch (message) {
    case BFFM_INITIALIZED:
        followDialogGeometry(dialog, folderDialogGeometry);
        if (!caller->folder.empty()) {
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(caller->folder.c_str()));
        }
        break;
    case BFFM_SELCHANGED:
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
    browse.lpfn = &browseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(this);

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
