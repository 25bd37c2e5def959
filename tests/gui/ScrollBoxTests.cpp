// The scroll box: range and position, children moving with the position, scroll messages.
#include "GuiTestSupport.h"
#include "gui/Form.h"
#include "gui/Panel.h"
#include "gui/ScrollBox.h"
#include "support/TestControls.h"
#include <gtest/gtest.h>
#include <memory>

using namespace gui;

namespace {

class ScrollBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = testsupport::borderlessForm(100, 100, 400, 400);
        box = new TScrollBox(form.get());
        box->SetParent(form.get());
        box->SetBorderStyle(bsNone);
        box->SetBounds(0, 0, 300, 200);
        tile = new guitest::RecordingGraphic(form.get(), "tile", RGB(1, 2, 3));
        tile->SetParent(box);
        tile->SetBounds(10, 500, 50, 50);
        panel = new TPanel(form.get());
        panel->SetParent(box);
        panel->SetBounds(10, 600, 50, 50);
        form->Show();
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
    TScrollBox* box = nullptr;
    guitest::RecordingGraphic* tile = nullptr;
    TPanel* panel = nullptr;
};

SCROLLINFO verticalInfo(HWND window) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    return info;
}

}  // namespace

TEST_F(ScrollBoxTest, TheBarShowsOnlyWhenTheRangeExceedsTheClientArea) {
    TControlScrollBar* bar = box->VertScrollBar();
    EXPECT_FALSE(bar->IsScrollBarVisible());
    bar->SetRange(1000);
    EXPECT_TRUE(bar->IsScrollBarVisible());
    EXPECT_LT(box->ClientWidth(), 300);
    const SCROLLINFO info = verticalInfo(box->Handle());
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(static_cast<int>(info.nPage), box->ClientHeight());
    bar->SetRange(150);
    EXPECT_FALSE(bar->IsScrollBarVisible());
    EXPECT_EQ(box->ClientWidth(), 300);
}

TEST_F(ScrollBoxTest, SettingThePositionMovesEveryChildAndStaysInRange) {
    TControlScrollBar* bar = box->VertScrollBar();
    bar->SetRange(1000);
    bar->SetPosition(300);
    EXPECT_EQ(bar->Position(), 300);
    EXPECT_EQ(tile->Top(), 200);
    EXPECT_EQ(panel->Top(), 300);
    EXPECT_EQ(verticalInfo(box->Handle()).nPos, 300);
    bar->SetPosition(5000);
    EXPECT_EQ(bar->Position(), 1000 - box->ClientHeight());
    bar->SetPosition(0);
    EXPECT_EQ(tile->Top(), 500);
    EXPECT_EQ(panel->Top(), 600);
    // A smaller range pulls the position back.
    bar->SetPosition(700);
    bar->SetRange(400);
    EXPECT_EQ(bar->Position(), 200);
    EXPECT_EQ(tile->Top(), 300);
}

TEST_F(ScrollBoxTest, ScrollMessagesMoveByLinesPagesAndTheThumb) {
    TControlScrollBar* bar = box->VertScrollBar();
    bar->SetRange(2000);
    bar->SetSmooth(true);
    const int page = box->ClientHeight();
    EXPECT_EQ(bar->LineStep(), page * 9 / 10 / 10);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(bar->Position(), page * 9 / 10 / 10);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(bar->Position(), page * 9 / 10 / 10 + page * 9 / 10);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(bar->Position(), 2000 - page);
    SendMessageW(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 123), 0);
    EXPECT_EQ(bar->Position(), 123);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(tile->Top(), 500);
}

TEST_F(ScrollBoxTest, ACoveredBarStillTakesEveryNewRangePageAndPosition) {
    // The box leaves out settings its bar holds already and draws nothing: each change must still
    // reach the bar, through a resize and a hide and show.
    box->SetBarsCovered(true);
    TControlScrollBar* bar = box->VertScrollBar();
    bar->SetRange(1000);
    bar->SetPosition(300);
    box->SetBounds(0, 0, 300, 120);
    SCROLLINFO info = verticalInfo(box->Handle());
    EXPECT_EQ(info.nMax, 999);
    EXPECT_EQ(static_cast<int>(info.nPage), box->ClientHeight());
    EXPECT_EQ(info.nPos, 300);
    bar->SetRange(100);
    EXPECT_FALSE(bar->IsScrollBarVisible());
    bar->SetRange(1200);
    bar->SetPosition(5000);
    EXPECT_TRUE(bar->IsScrollBarVisible());
    info = verticalInfo(box->Handle());
    EXPECT_EQ(info.nMax, 1199);
    EXPECT_EQ(static_cast<int>(info.nPage), box->ClientHeight());
    EXPECT_EQ(info.nPos, 1200 - box->ClientHeight());
}
