#include "common/WPrintDialog.h"

#include "common/DialogGeometry.h"

#include <commdlg.h>

#include <algorithm>

namespace {

// The dialog carries page numbers in 16 bits.
const int largestPageNumber = 0xFFFF;

DialogGeometry printDialogGeometry;

UINT_PTR CALLBACK printDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        followDialogGeometry(dialog, printDialogGeometry);
    }
    return 0;
}

}  // namespace

WPrintDialog::WPrintDialog(HWND owner) : owner(owner) {}

bool WPrintDialog::execute() {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_ENABLEPRINTHOOK;
    if (collate) {
        dialog.Flags |= PD_COLLATE;
    }
    dialog.lpfnPrintHook = &printDialogHook;
    if (pageCount > 0) {
        const PrintPageRange range = initialPrintPageRange(pageCount, fromPage, toPage);
        dialog.nMinPage = 1;
        dialog.nMaxPage = static_cast<WORD>(std::min(pageCount, largestPageNumber));
        dialog.nFromPage = static_cast<WORD>(range.fromPage);
        dialog.nToPage = static_cast<WORD>(range.toPage);
    }
    dialog.nCopies = static_cast<WORD>(std::clamp(copies, 1, largestPageNumber));

    const bool confirmed = PrintDlgW(&dialog) != FALSE;
    if (dialog.hDevMode != nullptr) {
        GlobalFree(dialog.hDevMode);
    }
    if (dialog.hDevNames != nullptr) {
        GlobalFree(dialog.hDevNames);
    }
    if (!confirmed) {
        return false;
    }
    if (dialog.hDC == nullptr) {
        // Confirmed, but the printer gave no device context: nothing could be printed on it.
        return false;
    }
    const PrintPageRange range =
        confirmedPrintPageRange(dialog.Flags, dialog.nFromPage, dialog.nToPage, pageCount);
    fromPage = range.fromPage;
    toPage = range.toPage;
    copies = dialog.nCopies;
    collate = (dialog.Flags & PD_COLLATE) != 0;
    printerDC = dialog.hDC;
    return true;
}

PrintPageRange initialPrintPageRange(int pageCount, int fromPage, int toPage) {
    const int last = std::clamp(pageCount, 1, largestPageNumber);
    const int from = std::clamp(fromPage, 1, last);
    return PrintPageRange{from, std::clamp(toPage, from, last)};
}

PrintPageRange confirmedPrintPageRange(DWORD returnedFlags, int dialogFrom, int dialogTo, int pageCount) {
    if ((returnedFlags & PD_PAGENUMS) != 0) {
        return PrintPageRange{dialogFrom, dialogTo};
    }
    return PrintPageRange{1, pageCount};
}
