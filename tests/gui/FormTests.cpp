// Forms: border styles, closing with its queries, modal showing, window state, constraints.
#include "GuiTestSupport.h"
#include "gui/ApplicationEvents.h"
#include "gui/Form.h"
#include "gui/Timer.h"
#include <gtest/gtest.h>
#include <memory>

using namespace gui;
using guitest::PumpUntil;

TEST(Form, BorderStylesGiveTheirWindowStyles) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    HWND window = form.Handle();
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE((GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);

    form.SetBorderStyle(bsToolWindow);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);

    TForm tool(nullptr);
    tool.SetBorderStyle(bsToolWindow);
    EXPECT_TRUE(GetWindowLongPtrW(tool.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST(Form, CloseAsksCloseQueryAndHonoursTheCloseAction) {
    TForm form(nullptr);
    std::vector<std::string> events;
    bool allow = false;
    TCloseAction action = caNone;
    form.OnCloseQuery = [&](TObject*, bool& canClose) {
        events.push_back("query");
        canClose = allow;
    };
    form.OnClose = [&](TObject*, TCloseAction& a) {
        events.push_back(a == caHide ? "close(hide)" : "close");
        a = action;
    };
    form.Show();
    form.Close();
    EXPECT_TRUE(form.Visible());
    allow = true;
    form.Close();
    EXPECT_TRUE(form.Visible());  // caNone refuses
    action = caHide;
    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_EQ(events, (std::vector<std::string>{"query", "query", "close(hide)", "query", "close(hide)"}));
}

TEST(Form, ReleaseFreesTheFormAfterTheCurrentMessage) {
    auto* form = new TForm(nullptr);
    form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    form->Show();
    const HWND window = form->Handle();
    form->Close();
    EXPECT_TRUE(IsWindow(window));  // still alive until the queue is handled
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
}

TEST(Form, ShowModalRunsUntilAModalResultAndDisablesTheOtherWindows) {
    TForm other(nullptr);
    other.Show();
    TForm dialog(nullptr);
    dialog.SetBorderStyle(bsDialog);
    TTimer timer(nullptr);
    bool otherDisabled = false;
    int filtered = 0;
    TApplicationEvents events(nullptr);
    events.OnMessage = [&](MSG& msg, bool&) {
        if (msg.message == WM_USER + 77)
            ++filtered;
    };
    timer.SetInterval(20);
    timer.SetOnTimer([&](TObject*) {
        timer.SetEnabled(false);
        otherDisabled = !IsWindowEnabled(other.Handle());
        PostMessageW(dialog.Handle(), WM_USER + 77, 0, 0);
        dialog.SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(other.Handle()));
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Modal());
    guitest::Pump(20);
    EXPECT_EQ(filtered, 1);  // the filter ran inside the modal loop (or right after it)
}

TEST(Form, ClosingAModalFormEndsItWithCancelAndOnCloseCanKeepItOpen) {
    TForm dialog(nullptr);
    TTimer timer(nullptr);
    int closes = 0;
    dialog.OnClose = [&](TObject*, TCloseAction& action) {
        if (++closes == 1)
            action = caNone;  // the first close is refused: the loop goes on
    };
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) {
        dialog.Close();
        if (closes >= 1)
            timer.SetEnabled(false);
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(closes, 2);
}

TEST(Form, WindowStateMaximisesAndRestores) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    form.Show();
    form.SetWindowState(wsMaximized);
    EXPECT_EQ(form.WindowState(), wsMaximized);
    EXPECT_GT(form.Width(), 300);
    form.SetWindowState(wsNormal);
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(form.Width(), 300);
    form.Hide();
    form.SetWindowState(wsMaximized);
    EXPECT_EQ(form.WindowState(), wsMaximized);  // remembered for the next Show
}

TEST(Form, ConstraintsLimitBoundsAndTheTrackingSize) {
    TForm form(nullptr);
    form.Constraints()->SetMinWidth(400);
    form.Constraints()->SetMinHeight(300);
    form.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(form.Width(), 400);
    EXPECT_EQ(form.Height(), 300);
    MINMAXINFO info{};
    SendMessageW(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 400);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
}

TEST(Form, ClientSizeSetsTheInsideOfTheFrame) {
    TForm form(nullptr);
    form.SetBorderStyle(bsToolWindow);
    form.HandleNeeded();
    form.SetClientWidth(414);
    form.SetClientHeight(200);
    EXPECT_EQ(form.ClientWidth(), 414);
    EXPECT_EQ(form.ClientHeight(), 200);
    EXPECT_GT(form.Width(), 414);
}
