#pragma once
// Where the user last left a common dialog and how large it was. Each dialog class keeps one (the
// folder dialog two) in process-wide statics; nothing is saved, so a restart centres every dialog
// again. A value of dialogGeometryUnset means "not known yet".
#include <windows.h>

const int dialogGeometryUnset = 32000;

struct DialogPlacement {
    int x = dialogGeometryUnset;
    int y = dialogGeometryUnset;
    int width = dialogGeometryUnset;
    int height = dialogGeometryUnset;
};

struct DialogGeometry {
    // The dialog's own size the first time it opened.
    int naturalWidth = dialogGeometryUnset;
    int naturalHeight = dialogGeometryUnset;
    // Where the next dialog opens; follows the open dialog as the user moves and sizes it.
    DialogPlacement placement;
};

// Fills in what the geometry does not know yet from a dialog that has just been created with the
// window rectangle dialogRect: the natural size (first time only), the size (the natural size) and
// the position (centred on a screen of screenWidth x screenHeight, never above or left of its top
// left corner, so the caption stays reachable).
void completeDialogGeometry(DialogGeometry& geometry, const RECT& dialogRect, int screenWidth,
                            int screenHeight);

// Completes the geometry from the dialog's current rectangle and the primary screen, then follows
// the dialog: the placement is applied when the dialog is first shown (not when it hides on
// closing), and moves and sizes the user makes while it is visible are recorded into it. The
// geometry must outlive the dialog window. False when the window could not be followed.
bool followDialogGeometry(HWND dialog, DialogGeometry& geometry);
