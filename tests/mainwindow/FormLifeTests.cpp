// The main window made and destroyed in process, as the program does.
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include <gtest/gtest.h>

namespace {

void pump(int milliseconds) {
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

TEST(FormLife, OpensAtTheStartBounds) {
    gui::OleInitializer ole;
    gui::TApplication application;
    application.Initialize();
    TForm1* form = nullptr;
    application.CreateForm(form);
    form->Show();
    pump(300);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(69, r.left);
    EXPECT_EQ(80, r.top);
    EXPECT_EQ(1143, r.right - r.left);
    EXPECT_EQ(865, r.bottom - r.top);
}

}  // namespace
