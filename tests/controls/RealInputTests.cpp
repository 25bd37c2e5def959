// The skinned controls under real mouse input (SendInput inside the Wine session): the pointer
// moving across a form's controls, and a picture button pressed, dragged out and back, with the
// main window's kind of thread mouse hook following it (such hooks see only real input).
#include "ControlsTestSupport.h"
#include "controls/Image.h"
#include "controls/ImageButton.h"
#include "controls/ImageEx.h"
#include "controls/PanelEx.h"
#include "gui/Form.h"
#include "resources/SkinIds.h"
#include "support/TestControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace controls;
using controlstest::PumpUntil;
using testsupport::moveMouseTo;

namespace {

// What the owner of the hook keeps, as the main window does.
ImageButton* pressedButton = nullptr;
HHOOK mouseHook = nullptr;
int hookedMoves = 0;
int hookedReleases = 0;

LRESULT CALLBACK followPressedButton(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        if (wParam == WM_MOUSEMOVE)
            ++hookedMoves;
        if (wParam == WM_LBUTTONUP) {
            ++hookedReleases;
            pressedButton = nullptr;
            HHOOK self = mouseHook;
            mouseHook = nullptr;
            const LRESULT result = CallNextHookEx(self, code, wParam, lParam);
            UnhookWindowsHookEx(self);
            return result;
        }
    }
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

class RealInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        moveMouseTo({5, 5});
        form = testsupport::borderlessForm(300, 300, 600, 220);

        first = testsupport::placed<TImageEx>(form.get(), 10, 10, 80, 80);
        first->OnMouseEnter = [this](gui::TObject*) { journal.push_back("first:enter"); };
        first->OnMouseLeave = [this](gui::TObject*) { journal.push_back("first:leave"); };
        picture = testsupport::placed<Image>(form.get(), 100, 10, 80, 80);
        picture->OnMouseEnter = [this](gui::TObject*) { journal.push_back("picture:enter"); };
        picture->OnMouseLeave = [this](gui::TObject*) { journal.push_back("picture:leave"); };
        button = testsupport::placed<ImageButton>(form.get(), 190, 10, 88, 27);
        button->setNormalResourceId(skin::startButton);
        button->setMouseOverResourceId(skin::startButtonOver);
        button->setMouseDownResourceId(skin::startButtonPressed);
        button->OnBtnClick = [this](gui::TObject*) { ++clicks; };
        panel = testsupport::placed<TPanelEx>(form.get(), 300, 10, 250, 180);
        inner = new TImageEx(form.get());
        inner->SetParent(panel);
        inner->SetBounds(120, 80, 80, 80);
        inner->OnMouseEnter = [this](gui::TObject*) { journal.push_back("inner:enter"); };
        inner->OnMouseLeave = [this](gui::TObject*) { journal.push_back("inner:leave"); };

        form->Show();
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        controlstest::Pump(100);
        journal.clear();
    }
    void TearDown() override {
        testsupport::mouseButton(true, false);
        if (mouseHook)
            UnhookWindowsHookEx(mouseHook);
        mouseHook = nullptr;
        pressedButton = nullptr;
        form.reset();
        moveMouseTo({5, 5});
        controlstest::Pump(30);
    }
    POINT on(gui::TControl* control, int x, int y) { return control->ClientToScreen({x, y}); }
    bool journalIs(const std::vector<std::string>& expected) {
        return PumpUntil([&] { return journal.size() >= expected.size(); }) && journal == expected;
    }

    std::unique_ptr<gui::TForm> form;
    TImageEx* first = nullptr;
    Image* picture = nullptr;
    ImageButton* button = nullptr;
    TPanelEx* panel = nullptr;
    TImageEx* inner = nullptr;
    std::vector<std::string> journal;
    int clicks = 0;
};

}  // namespace

TEST_F(RealInputTest, ThePointerMovingAcrossTheFormEntersOneControlAtATime) {
    moveMouseTo(on(first, 40, 40));
    EXPECT_TRUE(journalIs({"first:enter"})) << ::testing::PrintToString(journal);
    moveMouseTo(on(picture, 40, 40));
    EXPECT_TRUE(journalIs({"first:enter", "first:leave", "picture:enter"}))
        << ::testing::PrintToString(journal);
    moveMouseTo(on(button, 40, 12));
    EXPECT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::MouseOver; }));
    EXPECT_TRUE(journalIs({"first:enter", "first:leave", "picture:enter", "picture:leave"}));
    moveMouseTo(on(panel, 20, 20));
    EXPECT_TRUE(PumpUntil([&] { return panel->Hovered(); }));
    EXPECT_EQ(button->Face(), ButtonFace::Normal);
    moveMouseTo(on(inner, 40, 40));
    EXPECT_TRUE(PumpUntil([&] { return inner->MouseOver(); }));
    EXPECT_FALSE(panel->Hovered());
    moveMouseTo(on(first, 40, 40));
    EXPECT_TRUE(journalIs({"first:enter", "first:leave", "picture:enter", "picture:leave", "inner:enter",
                           "inner:leave", "first:enter"}))
        << ::testing::PrintToString(journal);
}

TEST_F(RealInputTest, AButtonClicksOnlyWhenReleasedOverIt) {
    button->SetMouseHookInfo(&pressedButton, &mouseHook, followPressedButton, nullptr);
    hookedMoves = 0;
    hookedReleases = 0;

    // Pressed, dragged out, released outside: no click.
    moveMouseTo(on(button, 40, 12));
    ASSERT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::MouseOver; }));
    testsupport::mouseButton(true, true);
    ASSERT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::Pressed; }));
    EXPECT_EQ(pressedButton, button);
    EXPECT_NE(mouseHook, nullptr);
    moveMouseTo(on(button, 40, 120));
    EXPECT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::Normal; }));
    testsupport::mouseButton(true, false);
    EXPECT_TRUE(PumpUntil([&] { return hookedReleases == 1; }));
    controlstest::Pump(50);
    EXPECT_EQ(clicks, 0);
    EXPECT_GT(hookedMoves, 0);  // the hook followed the real pointer
    EXPECT_EQ(pressedButton, nullptr);

    // Pressed, dragged out and back (the pressed face again), released inside: one click.
    moveMouseTo(on(button, 40, 12));
    ASSERT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::MouseOver; }));
    testsupport::mouseButton(true, true);
    ASSERT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::Pressed; }));
    moveMouseTo(on(button, 200, 12));
    EXPECT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::Normal; }));
    moveMouseTo(on(button, 50, 14));
    EXPECT_TRUE(PumpUntil([&] { return button->Face() == ButtonFace::Pressed; }));
    testsupport::mouseButton(true, false);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
    EXPECT_EQ(hookedReleases, 2);
    EXPECT_EQ(mouseHook, nullptr);
}
