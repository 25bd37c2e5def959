// The program's entry: OLE for the GUI thread around the application and its forms, the main
// window, the message loop.
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Declared first, so that OLE ends only after every form and control is gone.
    gui::OleInitializer ole;
    gui::TApplication application;
    try {
        application.Initialize();
        TForm1* form = nullptr;
        application.CreateForm(form);
        application.Run();
    } catch (...) {
        application.ShowException(std::current_exception());
    }
    return 0;
}
