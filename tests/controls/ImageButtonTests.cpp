// The picture button: its three faces on screen, the click only on a release inside, the right
// button, the main window's hook holders, focus on a press, and repaints only when they show.
#include "ControlsTestSupport.h"
#include "controls/ImageButton.h"
#include "controls/ResourceImage.h"
#include "gui/Edit.h"
#include "gui/Form.h"
#include "resources/SkinIds.h"
#include "support/TestControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace controls;

namespace {

class CountingButton : public ImageButton {
public:
    using ImageButton::ImageButton;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        ImageButton::Paint();
    }
};

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class ImageButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::moveMouseTo({2, 2});
        form = testsupport::borderlessForm(300, 300, 400, 200);
        button = testsupport::placed<CountingButton>(form.get(), 20, 20, 88, 27);
        button->setNormalResourceId(skin::startButton);
        button->setMouseOverResourceId(skin::startButtonOver);
        button->setMouseDownResourceId(skin::startButtonPressed);
        button->OnBtnClick = [this](gui::TObject*) { ++clicks; };
        button->OnBtnMouseDown = [this](gui::TObject*, gui::TMouseButton b, gui::TShiftState, int, int) {
            downs.push_back(b);
        };
    }
    void TearDown() override {
        if (hook)
            UnhookWindowsHookEx(hook);
        gui::SetCaptureControl(nullptr);
    }
    void press(gui::TMouseButton which, POINT p) {
        const UINT msg = which == gui::mbLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
        button->Perform(msg, which == gui::mbLeft ? MK_LBUTTON : MK_RBUTTON, gui::LParamFromPoint(p));
    }
    void release(gui::TMouseButton which, POINT p) {
        button->Perform(which == gui::mbLeft ? WM_LBUTTONUP : WM_RBUTTONUP, 0, gui::LParamFromPoint(p));
    }
    // The centre pixel of a face as the button paints it, and as its picture has it.
    COLORREF paintedCentre() {
        controlstest::PaintedPixels pixels(88, 27, RGB(255, 0, 255));
        controlstest::paintControl(button, pixels);
        return pixels.at(44, 13);
    }
    static COLORREF pictureCentre(int id) {
        auto picture = loadSkinPicture(GetModuleHandleW(nullptr), id);
        Gdiplus::Color c;
        picture->GetPixel(44, 13, &c);
        return RGB(c.GetR(), c.GetG(), c.GetB());
    }

    gui::GdiPlusSession gdiPlus;
    std::unique_ptr<gui::TForm> form;
    CountingButton* button = nullptr;
    int clicks = 0;
    std::vector<gui::TMouseButton> downs;
    ImageButton* pressedHolder = nullptr;
    HHOOK hook = nullptr;
};

}  // namespace

TEST_F(ImageButtonTest, EachFaceShowsItsOwnPicture) {
    EXPECT_EQ(button->Face(), ButtonFace::Normal);
    EXPECT_TRUE(controlstest::closeTo(paintedCentre(), pictureCentre(skin::startButton), 2));
    button->Perform(gui::CM_MOUSEENTER);
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
    EXPECT_TRUE(controlstest::closeTo(paintedCentre(), pictureCentre(skin::startButtonOver), 2));
    press(gui::mbLeft, {5, 5});
    EXPECT_EQ(button->Face(), ButtonFace::Pressed);
    EXPECT_TRUE(controlstest::closeTo(paintedCentre(), pictureCentre(skin::startButtonPressed), 2));
    // The three pictures differ, so the faces are told apart on screen.
    EXPECT_NE(pictureCentre(skin::startButton), pictureCentre(skin::startButtonOver));
    EXPECT_NE(pictureCentre(skin::startButtonOver), pictureCentre(skin::startButtonPressed));
}

TEST_F(ImageButtonTest, AClickOnlyOnAReleaseInside) {
    button->Perform(gui::CM_MOUSEENTER);
    press(gui::mbLeft, {5, 5});
    release(gui::mbLeft, {200, 5});  // outside
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->Face(), ButtonFace::Pressed);  // a release outside changes nothing here

    press(gui::mbLeft, {5, 5});
    release(gui::mbLeft, {87, 26});  // the last pixel inside
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);

    press(gui::mbLeft, {5, 5});
    release(gui::mbLeft, {88, 26});  // one past the right edge
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButtonTest, ARightPressReportsTheDownButChangesNoFace) {
    button->Perform(gui::CM_MOUSEENTER);
    press(gui::mbRight, {5, 5});
    release(gui::mbRight, {5, 5});
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0], gui::mbRight);
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonTest, SetMouseLeaveShowsNormalAndTheNextMoveEntersAgain) {
    button->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
    button->SetMouseLeave();
    EXPECT_EQ(button->Face(), ButtonFace::Normal);
    EXPECT_FALSE(button->Hovered());
    button->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(11, 10));
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
}

TEST_F(ImageButtonTest, APressInstallsTheHookOnceAndNamesTheHeldButton) {
    button->SetMouseHookInfo(&pressedHolder, &hook, passOn, nullptr);
    button->Perform(gui::CM_MOUSEENTER);
    press(gui::mbLeft, {5, 5});
    EXPECT_EQ(pressedHolder, button);
    ASSERT_NE(hook, nullptr);
    const HHOOK first = hook;
    release(gui::mbLeft, {5, 5});
    press(gui::mbLeft, {5, 5});
    EXPECT_EQ(hook, first);  // never a second hook, and the button never removes it

    // Dragged out and back while still held: the pressed face again.
    button->Perform(gui::CM_MOUSELEAVE);
    EXPECT_EQ(button->Face(), ButtonFace::Normal);
    button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(button->Face(), ButtonFace::Pressed);
    // Once the holder is cleared (the owner does so on the release), entering shows pointer over.
    pressedHolder = nullptr;
    button->SetMouseLeave();
    button->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
}

TEST_F(ImageButtonTest, APressFocusesTheTargetUnlessTheKeptControlHasTheFocus) {
    auto* target = testsupport::placed<gui::TEdit>(form.get(), 150, 20, 100, 22);
    auto* kept = testsupport::placed<gui::TEdit>(form.get(), 150, 60, 100, 22);
    auto* other = testsupport::placed<gui::TEdit>(form.get(), 150, 100, 100, 22);
    form->Show();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(controlstest::PumpUntil([&] { return form->Active(); }));
    button->SetMouseHookInfo(nullptr, nullptr, nullptr, target);
    button->setKeepFocusedControl(kept);

    kept->SetFocus();
    ASSERT_TRUE(kept->Focused());
    press(gui::mbLeft, {5, 5});
    release(gui::mbLeft, {5, 5});
    EXPECT_TRUE(kept->Focused());

    other->SetFocus();
    press(gui::mbRight, {5, 5});  // any button moves the focus
    release(gui::mbRight, {5, 5});
    EXPECT_TRUE(target->Focused());
}

TEST_F(ImageButtonTest, RepaintsOnlyWhenTheChangedPictureIsTheOneShown) {
    form->Show();
    controlstest::Pump(100);
    ASSERT_GT(button->paints, 0);
    button->paints = 0;
    button->setMouseOverResourceId(skin::stopButtonOver);
    button->setMouseDownResourceId(skin::stopButtonPressed);
    controlstest::Pump(100);
    EXPECT_EQ(button->paints, 0);
    button->setNormalResourceId(skin::stopButton);
    EXPECT_TRUE(controlstest::PumpUntil([&] { return button->paints > 0; }));
}

TEST_F(ImageButtonTest, AutoSizeAndMissingPictures) {
    button->setNormalResourceId(skin::closeButton);
    button->setAutoSize(true);
    EXPECT_EQ(button->Width(), 23);
    EXPECT_EQ(button->Height(), 22);

    // A face without a picture draws nothing.
    ImageButton bare(nullptr);
    bare.setNormalResourceId(14999);
    controlstest::PaintedPixels pixels(80, 25, RGB(255, 0, 255));
    controlstest::paintControl(&bare, pixels);
    EXPECT_EQ(pixels.count(RECT{0, 0, 80, 25}, RGB(255, 0, 255)), 80 * 25);
    bare.setAutoSize(true);
    EXPECT_EQ(bare.Width(), 80);  // nothing to take a size from
}
