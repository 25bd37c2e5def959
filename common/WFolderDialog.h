#pragma once
// The system's browse-for-folder dialog with wide texts. The caller fills the fields, calls execute
// and reads folder back. Two remembered geometries let two kinds of callers each keep their own
// place for the dialog; the first time a geometry is used the dialog is centred at its natural size
// (or at the size set with setRememberedSize). User-interface thread only.
#include <windows.h>

#include <string>

class WFolderDialog {
public:
    explicit WFolderDialog(HWND owner);
    WFolderDialog(const WFolderDialog&) = delete;
    WFolderDialog& operator=(const WFolderDialog&) = delete;

    // Runs the dialog modally. True when a file-system folder was chosen: folder holds it, with a
    // chosen shortcut followed to its target. Otherwise folder becomes empty and the result is false
    // (cancelled, not a file-system folder, a shortcut that does not resolve).
    bool execute();

    // The size the dialog opens at while the user has not sized it, for both geometries.
    static void setRememberedSize(int width, int height);

    HWND owner;
    // Shown above the folder tree.
    std::wstring prompt;
    // Which remembered geometry the dialog uses: false the first, true the second.
    bool secondGeometry = true;
    // The initial selection in, the chosen folder out.
    std::wstring folder;
    // A folder that may not be chosen (OK is disabled while it is selected); empty for none.
    std::wstring excludedFolder;
    bool showEditBox = true;
    bool allowNewFolder = true;
};

// The folder a chosen item stands for: the item's own path, or the target of a shortcut (".lnk").
// Empty when the path is empty or the shortcut does not resolve. Needs COM on the calling thread.
std::wstring chosenFolderPath(HWND owner, const std::wstring& itemPath);
