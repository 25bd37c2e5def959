#include "common/WPrintDialog.h"

#include "common/DialogGeometry.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

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

// The device context of the printer the dialog returned, or null with the printer's name and the
// system's reason.
HDC createPrinterDC(HGLOBAL devNames, HGLOBAL devMode, std::wstring& name, DWORD& error) {
    const auto* names = devNames ? static_cast<const DEVNAMES*>(GlobalLock(devNames)) : nullptr;
    if (names == nullptr) {
        error = ERROR_INVALID_PRINTER_NAME;
        return nullptr;
    }
    const auto* text = reinterpret_cast<const wchar_t*>(names);
    name = text + names->wDeviceOffset;
    const std::wstring driver = text + names->wDriverOffset;
    GlobalUnlock(devNames);
    const auto* mode = devMode ? static_cast<const DEVMODEW*>(GlobalLock(devMode)) : nullptr;
    SetLastError(0);
    HDC dc = CreateDCW(driver.c_str(), name.c_str(), nullptr, mode);
    if (dc == nullptr) {
        // Not every failure sets an error; the printer is then taken as not there.
        error = GetLastError() != 0 ? GetLastError() : ERROR_INVALID_PRINTER_NAME;
    }
    if (mode != nullptr) {
        GlobalUnlock(devMode);
    }
    return dc;
}

}  // namespace

WPrintDialog::WPrintDialog(HWND owner) : owner(owner) {}

bool WPrintDialog::execute() {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    // The device context is made here rather than by the dialog, which fails it like a Cancel.
    dialog.Flags = PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_ENABLEPRINTHOOK;
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

    printerName.clear();
    printerError = 0;
    const bool confirmed = PrintDlgW(&dialog) != FALSE;
    HDC dc =
        confirmed ? createPrinterDC(dialog.hDevNames, dialog.hDevMode, printerName, printerError) : nullptr;
    if (dialog.hDevMode != nullptr) {
        GlobalFree(dialog.hDevMode);
    }
    if (dialog.hDevNames != nullptr) {
        GlobalFree(dialog.hDevNames);
    }
    if (dc == nullptr) {
        return false;
    }
    const PrintPageRange range =
        confirmedPrintPageRange(dialog.Flags, dialog.nFromPage, dialog.nToPage, pageCount);
    fromPage = range.fromPage;
    toPage = range.toPage;
    copies = dialog.nCopies;
    collate = (dialog.Flags & PD_COLLATE) != 0;
    printerDC = dc;
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
