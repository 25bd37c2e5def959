// The hover protocol within a form, driven through the form's own windows with mouse messages
// as the system sends them: entering one control sends leave to every other, the events come in
// order, and each control decides "inside" the way it should.
#include "ControlsTestSupport.h"
#include "controls/Image.h"
#include "controls/ImageButton.h"
#include "controls/ImageEx.h"
#include "controls/PanelEx.h"
#include "controls/ScrollBoxEx.h"
#include "gui/Form.h"
#include "support/TestControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace controls;
using gui::TForm;

namespace {

class HoverFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The pointer off the form: the library's own tracking stays out of these tests.
        testsupport::moveMouseTo({2, 2});
        form = testsupport::borderlessForm(300, 300, 600, 300);

        imageEx = testsupport::placed<TImageEx>(form.get(), 10, 10, 80, 80);
        imageEx->OnMouseEnter = [this](gui::TObject*) { journal.push_back("imageEx:enter"); };
        imageEx->OnMouseLeave = [this](gui::TObject*) { journal.push_back("imageEx:leave"); };

        image = testsupport::placed<Image>(form.get(), 100, 10, 80, 80);
        image->OnMouseEnter = [this](gui::TObject*) { journal.push_back("image:enter"); };
        image->OnMouseLeave = [this](gui::TObject*) { journal.push_back("image:leave"); };

        button = testsupport::placed<ImageButton>(form.get(), 190, 10, 80, 80);

        panel = testsupport::placed<TPanelEx>(form.get(), 280, 10, 150, 150);
        inner = new TImageEx(form.get());
        inner->SetParent(panel);
        inner->SetBounds(70, 70, 60, 60);
        inner->OnMouseEnter = [this](gui::TObject*) { journal.push_back("inner:enter"); };
        inner->OnMouseLeave = [this](gui::TObject*) { journal.push_back("inner:leave"); };

        box = testsupport::placed<TScrollBoxEx>(form.get(), 440, 10, 150, 150);

        form->Show();
        controlstest::Pump(50);
        journal.clear();
    }

    void moveOnForm(int x, int y) { SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void moveOn(gui::TWinControl* control, int x, int y) {
        SendMessageW(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    // Which of the six controls consider themselves hovered.
    std::string hovered() const {
        std::string result;
        result += imageEx->MouseOver() ? "imageEx " : "";
        result += image->Hovered() ? "image " : "";
        result += button->Hovered() ? "button " : "";
        result += panel->Hovered() ? "panel " : "";
        result += inner->MouseOver() ? "inner " : "";
        result += box->Hovered() ? "box " : "";
        return result;
    }

    std::unique_ptr<TForm> form;
    TImageEx* imageEx = nullptr;
    Image* image = nullptr;
    ImageButton* button = nullptr;
    TPanelEx* panel = nullptr;
    TImageEx* inner = nullptr;
    TScrollBoxEx* box = nullptr;
    std::vector<std::string> journal;
};

}  // namespace

TEST_F(HoverFormTest, EnteringOneControlSendsLeaveToEveryOther) {
    moveOnForm(50, 50);
    EXPECT_EQ(hovered(), "imageEx ");
    moveOnForm(140, 50);
    EXPECT_EQ(hovered(), "image ");
    moveOnForm(230, 50);
    EXPECT_EQ(hovered(), "button ");
    EXPECT_EQ(button->Face(), ButtonFace::MouseOver);
    moveOn(panel, 10, 10);
    EXPECT_EQ(hovered(), "panel ");
    EXPECT_EQ(button->Face(), ButtonFace::Normal);
    moveOn(panel, 100, 100);  // the picture inside the panel
    EXPECT_EQ(hovered(), "inner ");
    moveOn(box, 20, 20);
    EXPECT_EQ(hovered(), "box ");
    moveOnForm(50, 50);
    EXPECT_EQ(hovered(), "imageEx ");

    const std::vector<std::string> expected{"imageEx:enter", "imageEx:leave", "image:enter",  "image:leave",
                                            "inner:enter",   "inner:leave",   "imageEx:enter"};
    EXPECT_EQ(journal, expected);
}

TEST_F(HoverFormTest, LeaveOfTheFirstComesBeforeEnterOfTheNeighbour) {
    imageEx->SetBounds(10, 10, 80, 80);
    image->SetBounds(90, 10, 80, 80);  // touching
    moveOnForm(89, 40);
    moveOnForm(90, 40);
    const std::vector<std::string> expected{"imageEx:enter", "imageEx:leave", "image:enter"};
    EXPECT_EQ(journal, expected);
    // More moves inside fire nothing more.
    moveOnForm(120, 40);
    EXPECT_EQ(journal.size(), 3u);
}

TEST_F(HoverFormTest, MouseOverIsAPlainFlagAndMovesOutsideDoNotEnter) {
    imageEx->SetMouseOver(true);
    EXPECT_TRUE(journal.empty());
    imageEx->SetMouseOver(false);
    // Handed directly, a point beyond the control (as under capture) does not enter it.
    imageEx->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(85, 10));
    imageEx->Perform(WM_MOUSEMOVE, 0, gui::LParamFromPoint({-3, 10}));
    EXPECT_FALSE(imageEx->MouseOver());
    imageEx->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(79, 79));
    EXPECT_TRUE(imageEx->MouseOver());
}

TEST_F(HoverFormTest, AnImageScrolledAboveItsParentReactsOnlyOverItsVisiblePart) {
    auto* scrolled = new Image(form.get());
    scrolled->SetParent(panel);
    scrolled->SetBounds(0, -20, 60, 50);  // rows 0..19 are above the panel
    scrolled->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 10));
    EXPECT_FALSE(scrolled->Hovered());
    scrolled->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 30));
    EXPECT_TRUE(scrolled->Hovered());

    // Taller than the panel: nor below its bottom edge (under capture such points still arrive).
    auto* tall = new Image(form.get());
    tall->SetParent(panel);
    tall->SetBounds(0, -20, 60, 400);
    tall->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 200));
    EXPECT_FALSE(tall->Hovered());
    tall->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 100));
    EXPECT_TRUE(tall->Hovered());
    EXPECT_FALSE(scrolled->Hovered());
}
