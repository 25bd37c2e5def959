#pragma once
// The system's save-file dialog with wide texts. The caller fills the fields, calls execute and reads
// filterIndex and fileName back. Every save dialog of the process reopens where the user last left
// one, at the size it was given; the first is centred at its natural size. User-interface thread only.
#include <windows.h>

#include <string>
#include <vector>

class WSaveDialog {
public:
    explicit WSaveDialog(HWND owner);
    WSaveDialog(const WSaveDialog&) = delete;
    WSaveDialog& operator=(const WSaveDialog&) = delete;

    // Runs the dialog modally. True when the user confirmed a file name: fileName holds it (trimmed,
    // with the default extension added when it has another one) and filterIndex the chosen filter.
    // False when cancelled or when the dialog could not open; the fields are then unchanged.
    bool execute();

    HWND owner;
    std::wstring title;
    // Description and pattern pairs separated by "|", such as "Zip archive (*.zip)|*.zip".
    std::wstring filter;
    // One-based index of the selected filter, in and out.
    int filterIndex = 0;
    std::wstring fileName;
    std::wstring initialFolder;
    // Without its dot, such as "zip"; empty for none.
    std::wstring defaultExtension;
};

// The filter as the dialog takes it: every "|" becomes a NUL and a second NUL ends the list. Empty
// for an empty filter (the dialog is then given none).
std::vector<wchar_t> makeDialogFilter(const std::wstring& filter);

// The confirmed name: trimmed, and with "." and the default extension appended unless it already
// ends in that extension (compared without case). With zip: "photos" gives "photos.zip",
// "photos.ZIP" stays, "photos.tar" gives "photos.tar.zip".
std::wstring completeSaveFileName(const std::wstring& chosenName, const std::wstring& defaultExtension);
