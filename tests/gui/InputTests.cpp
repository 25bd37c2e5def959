// Real mouse input (SendInput) inside the Wine session: the layer's mouse-enter and mouse-leave
// notifications, capture across controls, hints, and exceptions from event handlers.
#include "GuiTestSupport.h"
#include "gui/ApplicationEvents.h"
#include "gui/Form.h"
#include "gui/HintWindow.h"
#include "support/TestControls.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace gui;
using guitest::PumpUntil;
using guitest::RecordingGraphic;
using testsupport::moveMouseTo;

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        moveMouseTo({5, 5});
        form = testsupport::borderlessForm(200, 200, 400, 200);
        a = addChild("A", 20, 20);
        b = addChild("B", 220, 20);
        form->Show();
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        PumpUntil([] { return false; }, 100);
        journal.clear();
    }
    void TearDown() override {
        SetCaptureControl(nullptr);
        form.reset();
        moveMouseTo({5, 5});
        guitest::Pump(30);
    }
    RecordingGraphic* addChild(const char* name, int left, int top) {
        auto* c = new RecordingGraphic(form.get(), name, RGB(200, 200, 200));
        c->SetBounds(left, top, 150, 150);
        c->SetParent(form.get());
        c->journal = &journal;
        return c;
    }
    // Screen point inside a child of the form.
    POINT at(TControl* c, int x = 75, int y = 75) { return c->ClientToScreen({x, y}); }
    // The enter and leave entries of the journal, in order.
    std::vector<std::string> hovers() const {
        std::vector<std::string> result;
        for (const auto& entry : journal) {
            if (entry.find(":enter") != std::string::npos || entry.find(":leave") != std::string::npos)
                result.push_back(entry);
        }
        return result;
    }
    bool waitForHovers(const std::vector<std::string>& expected) {
        return PumpUntil([&] { return hovers().size() >= expected.size(); }) && hovers() == expected;
    }

    std::unique_ptr<TForm> form;
    RecordingGraphic* a = nullptr;
    RecordingGraphic* b = nullptr;
    std::vector<std::string> journal;
};

}  // namespace

TEST_F(InputTest, MovingBetweenControlsSendsLeaveBeforeEnter) {
    moveMouseTo(at(a));
    EXPECT_TRUE(waitForHovers({"A:enter"})) << ::testing::PrintToString(hovers());
    EXPECT_EQ(Application->MouseControl(), a);

    moveMouseTo(at(b));
    EXPECT_TRUE(waitForHovers({"A:enter", "A:leave", "B:enter"})) << ::testing::PrintToString(hovers());

    moveMouseTo(form->ClientToScreen({200, 190}));  // the form itself, between the children
    EXPECT_TRUE(waitForHovers({"A:enter", "A:leave", "B:enter", "B:leave"}))
        << ::testing::PrintToString(hovers());
    EXPECT_EQ(Application->MouseControl(), form.get());

    moveMouseTo(at(b));
    PumpUntil([&] { return hovers().size() >= 5; });
    moveMouseTo({5, 5});  // off the program
    EXPECT_TRUE(waitForHovers({"A:enter", "A:leave", "B:enter", "B:leave", "B:enter", "B:leave"}))
        << ::testing::PrintToString(hovers());
    EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(InputTest, APressedControlKeepsTheMouseAndOnlyItIsEnteredOrLeftMeanwhile) {
    moveMouseTo(at(a));
    ASSERT_TRUE(waitForHovers({"A:enter"}));
    testsupport::mouseButton(true, true);
    ASSERT_TRUE(PumpUntil([&] { return CaptureControl() == a; }));
    moveMouseTo(at(b, 10, 10));
    EXPECT_TRUE(waitForHovers({"A:enter", "A:leave"}));
    EXPECT_TRUE(PumpUntil([&] {
        return std::find(journal.begin(), journal.end(), "A:move 210,10") != journal.end();
    })) << ::testing::PrintToString(journal);
    testsupport::mouseButton(true, false);
    EXPECT_TRUE(waitForHovers({"A:enter", "A:leave", "B:enter"})) << ::testing::PrintToString(hovers());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "A:click"), 0);
    EXPECT_NE(std::find(journal.begin(), journal.end(), "A:up 210,10"), journal.end());
}

TEST_F(InputTest, AHintShowsAfterThePauseAndOnShowHintMayChangeOrRefuseIt) {
    TApplicationEvents events(nullptr);
    TControl* seenControl = nullptr;
    bool refuse = false;
    events.OnShowHint = [&](std::wstring& text, bool& canShow, THintInfo& info) {
        seenControl = info.HintControl;
        text += L" (more)";
        canShow = !refuse;
    };
    const int oldPause = Application->HintPause();
    Application->SetHintPause(20);
    b->SetHint(L"Bee");
    b->SetShowHint(true);

    moveMouseTo(at(b));
    EXPECT_TRUE(PumpUntil([] { return Application->HintWindow() && Application->HintWindow()->Visible(); }));
    EXPECT_EQ(seenControl, b);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->HintWindow()->Text(), L"Bee (more)");

    moveMouseTo(at(a));  // A shows no hints
    EXPECT_TRUE(PumpUntil([] { return !Application->HintWindow()->Visible(); }));

    refuse = true;
    seenControl = nullptr;
    moveMouseTo(at(b));
    EXPECT_TRUE(PumpUntil([&] { return seenControl == b; }));
    guitest::Pump(60);
    EXPECT_FALSE(Application->HintWindow()->Visible());
    Application->SetHintPause(oldPause);
    Application->CancelHint();
}

TEST_F(InputTest, AnExceptionFromAnEventHandlerReachesTheApplicationObject) {
    guitest::CaughtExceptions().clear();
    a->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw std::runtime_error("boom"); };
    const POINT p = form->ScreenToClient(at(a));
    PostMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(PumpUntil([] { return !guitest::CaughtExceptions().empty(); }));
    ASSERT_EQ(guitest::CaughtExceptions().size(), 1u);
    EXPECT_EQ(guitest::CaughtExceptions()[0], L"boom");
}

TEST_F(InputTest, AMessageFilterSeesQueuedMessagesAndCanDropThem) {
    TApplicationEvents events(nullptr);
    int filtered = 0;
    events.OnMessage = [&](MSG& msg, bool& handled) {
        if (msg.message == WM_USER + 5) {
            ++filtered;
            handled = msg.wParam == 1;
        }
    };
    int reached = 0;
    TWndMethod old = form->WindowProc;
    form->WindowProc = [&](TMessage& message) {
        if (message.Msg == WM_USER + 5)
            ++reached;
        old(message);
    };
    PostMessageW(form->Handle(), WM_USER + 5, 1, 0);
    PostMessageW(form->Handle(), WM_USER + 5, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return filtered == 2; }));
    guitest::Pump(20);
    EXPECT_EQ(reached, 1);
    form->WindowProc = old;
}

TEST_F(InputTest, TheCursorComesFromTheControlUnderThePointer) {
    a->SetCursor(crHandPoint);
    form->SetCursor(crSizeNWSE);
    moveMouseTo(at(a));
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == LoadCursorW(nullptr, IDC_HAND); }));
    moveMouseTo(at(b));  // B keeps the default: it lies in the form's window, so the form's applies
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == LoadCursorW(nullptr, IDC_SIZENWSE); }));
    form->SetCursor(crDefault);
    moveMouseTo(form->ClientToScreen({200, 190}));
    EXPECT_TRUE(PumpUntil([] { return GetCursor() == LoadCursorW(nullptr, IDC_ARROW); }));
}

namespace {

class CreatedForm : public TForm {
public:
    explicit CreatedForm(TComponent* owner) : TForm(owner) {
        events.push_back("constructor");
        OnCreate = [this](TObject*) { events.push_back("OnCreate"); };
    }
    std::vector<std::string> events;
};

}  // namespace

TEST(Application, CreateFormRunsOnCreateAfterTheConstructorAndTheFirstFormIsTheMainForm) {
    ASSERT_EQ(Application->MainForm(), nullptr);
    CreatedForm* main = nullptr;
    CreatedForm* other = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(other);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->events, (std::vector<std::string>{"constructor", "OnCreate"}));
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_EQ(main->Owner(), Application);
    EXPECT_TRUE(GetWindowLongPtrW(main->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(other->Handle(), GW_OWNER), main->Handle());  // stays above the main form
    delete other;
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}
