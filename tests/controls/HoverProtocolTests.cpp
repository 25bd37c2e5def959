// The hover protocol's shared functions on real control trees: the broadcast to every control of
// a form, the visible screen part of a control, and centring.
#include "ControlsTestSupport.h"
#include "controls/HoverProtocol.h"
#include "gui/Form.h"
#include "gui/GraphicControl.h"
#include "gui/Screen.h"
#include "support/TestControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace gui;

namespace {

// Records the mouse-leave notices it is handed: a windowless control or a window of the tree.
template <class Base>
class Recording : public Base {
public:
    Recording(TWinControl* parent, std::string name_, std::vector<std::string>& journal_)
        : Base(parent), name(std::move(name_)), journal(journal_) {
        this->SetParent(parent);
    }
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_MOUSELEAVE)
            journal.push_back(name);
        Base::Dispatch(message);
    }
    std::string name;
    std::vector<std::string>& journal;
};
using Listener = Recording<TGraphicControl>;
using Box = Recording<TWinControl>;

class HoverProtocolTest : public ::testing::Test {
protected:
    void SetUp() override { form = testsupport::borderlessForm(100, 100, 400, 300); }
    std::unique_ptr<TForm> form;
    std::vector<std::string> journal;
};

}  // namespace

TEST_F(HoverProtocolTest, TheBroadcastReachesEveryControlOfTheFormButTheEnteredOne) {
    auto* a = new Listener(form.get(), "a", journal);
    auto* outer = new Box(form.get(), "outer", journal);
    auto* b = new Listener(outer, "b", journal);
    auto* inner = new Box(outer, "inner", journal);
    new Listener(inner, "c", journal);
    auto* entered = new Box(form.get(), "entered", journal);
    new Listener(entered, "child of entered", journal);
    (void)a;

    TMessage message;
    message.Msg = WM_MOUSEMOVE;
    message.LParam = 1234;
    controls::broadcastMouseLeave(entered, message);
    EXPECT_EQ(message.Msg, static_cast<UINT>(WM_MOUSEMOVE));  // its own number back
    EXPECT_EQ(message.LParam, 1234);
    const std::vector<std::string> expected{"a", "outer", "b", "inner", "c", "child of entered"};
    EXPECT_EQ(journal, expected);

    // From deep inside: the walk goes up to the form first.
    journal.clear();
    message.Msg = CM_MOUSEENTER;
    controls::broadcastMouseLeave(b, message);
    EXPECT_EQ(message.Msg, CM_MOUSEENTER);
    const std::vector<std::string> fromB{"a", "outer", "inner", "c", "entered", "child of entered"};
    EXPECT_EQ(journal, fromB);
}

TEST_F(HoverProtocolTest, AControlWithoutAFormBroadcastsNothing) {
    Listener lonely(nullptr, "lonely", journal);
    TMessage message;
    message.Msg = CM_MOUSEENTER;
    controls::broadcastMouseLeave(&lonely, message);
    EXPECT_TRUE(journal.empty());
}

TEST_F(HoverProtocolTest, TheVisibleScreenRectangleIsCutToTheParent) {
    auto* box = new Box(form.get(), "box", journal);
    box->SetBounds(50, 40, 200, 100);
    auto* child = new Listener(box, "child", journal);
    const POINT boxOrigin = box->ClientToScreen({0, 0});

    child->SetBounds(10, -30, 80, 50);
    RECT r = controls::getVisibleScreenRect(child);
    EXPECT_EQ(r.left, boxOrigin.x + 10);
    EXPECT_EQ(r.top, boxOrigin.y);
    EXPECT_EQ(r.right, boxOrigin.x + 90);
    EXPECT_EQ(r.bottom, boxOrigin.y + 20);

    child->SetBounds(10, 80, 80, 50);
    r = controls::getVisibleScreenRect(child);
    EXPECT_EQ(r.top, boxOrigin.y + 80);
    EXPECT_EQ(r.bottom, boxOrigin.y + 100);

    child->SetBounds(10, 100, 80, 50);  // wholly below
    r = controls::getVisibleScreenRect(child);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(HoverProtocolTest, CentringUsesTheScreenSize) {
    form->SetBounds(0, 0, 301, 201);
    controls::centerOnScreen(form.get());
    EXPECT_EQ(form->Left(), (Screen->Width() - 301) / 2);
    EXPECT_EQ(form->Top(), (Screen->Height() - 201) / 2);
    EXPECT_EQ(form->Width(), 301);
}
