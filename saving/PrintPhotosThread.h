#pragma once
// The print thread of a print job: one document on the printer from the print dialog, one page per
// file in print order (PrintPages), each photo shrunk to fit and centred (PageLayout). Every printed
// page posts WM_PRINT_PROGRESS with 1.0; the final record (done 1) carries the failed flag when the
// printer refused the document or a page without a user stop, after the thread has set the job's
// stop flag. A stop makes the abort procedure cancel the document. The thread draws with GDI+ but
// does not start it: the main window holds a GDI+ session while a print job runs.
#include <windows.h>

// parameter: a PrintPhotosParams allocated with new; the thread deletes it, and the printer DC.
DWORD WINAPI printPhotosThreadProc(LPVOID parameter);
