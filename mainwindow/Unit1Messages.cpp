// The main window's procedure: the one entry of worker results, the drawn border and the
// content bar, maximising within the work area, and the info menu's commands.
#include "mainwindow/Unit1.h"

void TForm1::WndProc(gui::TMessage& message) {
    if (drawContentBar(message) || paintFrame(message))
        return;
    TForm::WndProc(message);
    if (message.Msg == WM_GETMINMAXINFO) {
        limitMaximizedSize(reinterpret_cast<MINMAXINFO*>(message.LParam));
        message.Result = 0;
    } else if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == 0) {
        infoPopupMenu->DispatchCommand(LOWORD(message.WParam));
    }
}
