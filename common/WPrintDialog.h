#pragma once
// The system's print dialog. The caller fills the fields, calls execute and reads the page range,
// copies, collate flag and printer device context back. Every print dialog of the process reopens
// where the user last left one; the first is centred. User-interface thread only.
#include <windows.h>

#include <string>

class WPrintDialog {
public:
    explicit WPrintDialog(HWND owner);
    WPrintDialog(const WPrintDialog&) = delete;
    WPrintDialog& operator=(const WPrintDialog&) = delete;

    // Runs the dialog modally. True when the user confirmed: fromPage, toPage, copies, collate and
    // printerDC are written back. False when cancelled or when there is no printer to offer; the
    // fields are then unchanged. False too when the user confirmed a printer that gave no device
    // context: printerName and printerError then say which and why.
    bool execute();

    HWND owner;
    // Pages on offer, 1 to pageCount; 0 offers no page range.
    int pageCount = 0;
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    bool collate = false;
    // The chosen printer's device context. The caller owns it and deletes it with DeleteDC.
    HDC printerDC = nullptr;
    // The printer the user confirmed, and the system's error when it could not be used (0 when it
    // could be, or when the dialog was cancelled).
    std::wstring printerName;
    DWORD printerError = 0;
};

struct PrintPageRange {
    int fromPage;
    int toPage;
};

// The range the dialog starts with: pageCount limited to what the dialog can show (65535), and from
// and to kept within 1 and that count, to not before from.
PrintPageRange initialPrintPageRange(int pageCount, int fromPage, int toPage);

// The range the user confirmed: the pages typed into the dialog when it returned with its page
// numbers option chosen, else every page (1 to pageCount, which is 1 to 0 without pages).
PrintPageRange confirmedPrintPageRange(DWORD returnedFlags, int dialogFrom, int dialogTo, int pageCount);
