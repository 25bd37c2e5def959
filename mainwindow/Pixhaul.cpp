// The program's entry: OLE for the GUI thread around the application and its forms, the main
// window and the small windows after it, the message loop.
#include "common/ServiceHosts.h"
#include "forms/UnitAbout.h"
#include "forms/UnitRecommend.h"
#include "forms/UnitRemoveUsernames.h"
#include "forms/UnitTemporaryFolder.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A host variable that is set but malformed stops the start: never fall back to the real service.
    std::wstring hostProblem;
    if (!loadServiceHosts(hostProblem)) {
        MessageBoxW(nullptr, hostProblem.c_str(), L"Pixhaul", MB_OK | MB_ICONERROR);
        return 0;
    }
    // Declared first, so that OLE ends only after every form and control is gone.
    gui::OleInitializer ole;
    gui::TApplication application;
    try {
        application.Initialize();
        TForm1* form = nullptr;
        application.CreateForm(form);
        application.CreateForm(FormRemoveUsernames);
        application.CreateForm(FormAbout);
        application.CreateForm(FormTemporaryFolder);
        application.CreateForm(FormRecommend);
        application.Run();
    } catch (...) {
        application.ShowException(std::current_exception());
    }
    return 0;
}
