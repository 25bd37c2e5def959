// The gallery program: shows the skin and the skinned controls; see GalleryForm.
#include "GalleryForm.h"
#include "GalleryLayout.h"
#include "gui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    gui::TApplication application;
    application.Initialize();
    application.SetTitle(gallery::kWindowTitle);
    gallery::GalleryForm* form = nullptr;
    application.CreateForm(form);
    form->Show();
    form->ShowButtonFaces();
    application.Run();
    return 0;
}
