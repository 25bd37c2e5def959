// Controls inside a form: painting of windowless children, routing of mouse messages and capture,
// keys, the window procedure chain, fonts, hints and destruction.
#include "GuiTestSupport.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/CustomControl.h"
#include "gui/Form.h"
#include "gui/GdiPlus.h"
#include "support/TestControls.h"
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <memory>

using namespace gui;
using guitest::RecordingGraphic;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Paints the form's client area into a bitmap, the way a double-buffered WM_PAINT does
// (offScreen) or the way painting straight on the window does.
void paintInto(TForm& form, TBitmap& bitmap, bool offScreen = true) {
    bitmap.SetSize(200, 200);
    HDC dc = bitmap.Canvas()->Handle();
    HBRUSH brush = CreateSolidBrush(kGreen);
    RECT all{0, 0, 200, 200};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    const LPARAM marker = offScreen ? reinterpret_cast<LPARAM>(dc) : 0;
    form.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), marker);
    form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), marker);
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = testsupport::borderlessForm(100, 100, 200, 200);
        form->SetColor(static_cast<TColor>(kWhite));
        a = new RecordingGraphic(form.get(), "A", kRed);
        a->SetBounds(10, 10, 40, 40);
        a->SetParent(form.get());
        a->journal = &journal;
        b = new RecordingGraphic(form.get(), "B", kBlue);
        b->SetBounds(30, 30, 40, 40);
        b->SetParent(form.get());
        b->journal = &journal;
    }
    void TearDown() override {
        SetCaptureControl(nullptr);
        form.reset();
    }
    LRESULT mouse(UINT msg, int x, int y, WPARAM keys = 0) {
        return form->Perform(msg, keys, MAKELPARAM(x, y));
    }

    std::unique_ptr<TForm> form;
    RecordingGraphic* a = nullptr;
    RecordingGraphic* b = nullptr;
    std::vector<std::string> journal;
};

}  // namespace

TEST_F(FormTest, WindowlessChildrenArePaintedInZOrderAtTheirOriginAndClippedToTheirBounds) {
    b->fillBeyondBounds = true;
    TBitmap bitmap;
    paintInto(*form, bitmap);
    HDC dc = bitmap.Canvas()->Handle();
    EXPECT_EQ(GetPixel(dc, 15, 15), kRed);
    EXPECT_EQ(GetPixel(dc, 40, 40), kBlue);  // B lies above A
    EXPECT_EQ(GetPixel(dc, 65, 65), kBlue);
    EXPECT_EQ(GetPixel(dc, 75, 75), kWhite);  // B's oversized fill stays inside its bounds
    EXPECT_EQ(GetPixel(dc, 5, 5), kWhite);
    EXPECT_EQ(b->lastClip.left, 0);
    EXPECT_EQ(b->lastClip.top, 0);
    EXPECT_EQ(b->lastClip.right, 40);
    EXPECT_EQ(b->lastClip.bottom, 40);

    a->BringToFront();
    paintInto(*form, bitmap);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 40, 40), kRed);
    EXPECT_EQ(form->ControlAtPos({40, 40}, false), a);
    a->SendToBack();
    EXPECT_EQ(form->ControlAtPos({40, 40}, false), b);
    EXPECT_EQ(form->Controls(0), a);
}

TEST_F(FormTest, OpaqueChildrenAreLeftOutOfTheBackground) {
    // An opaque control paints every pixel itself, so the parent's brush must not flash under it
    // on the screen. (Off screen nothing can flash: there the background is simply filled.)
    auto* opaque = new TGraphicControl(form.get());
    opaque->SetBounds(120, 120, 30, 30);
    opaque->SetParent(form.get());
    opaque->SetControlStyle(opaque->ControlStyle() | csOpaque);
    TBitmap bitmap;
    paintInto(*form, bitmap, false);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 130, 130), kGreen);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 110, 110), kWhite);

    opaque->SetControlStyle(opaque->ControlStyle() & ~csOpaque);
    paintInto(*form, bitmap, false);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 130, 130), kWhite);
}

namespace {

// Leaves the device context in a state of its own after painting.
class Careless : public TGraphicControl {
public:
    explicit Careless(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override {
        HDC dc = Canvas()->Handle();
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, GetStockObject(WHITE_PEN));
        OffsetViewportOrgEx(dc, 1000, 1000, nullptr);
    }
};

}  // namespace

TEST_F(FormTest, EachWindowlessChildPaintsOnAContextLeftAsTheParentHadIt) {
    auto* careless = new Careless(form.get());
    careless->SetBounds(0, 0, 10, 10);
    careless->SetParent(form.get());
    careless->SendToBack();  // painted first; A and B come after it
    b->fillBeyondBounds = true;
    TBitmap bitmap;
    paintInto(*form, bitmap);
    HDC dc = bitmap.Canvas()->Handle();
    EXPECT_EQ(GetPixel(dc, 40, 40), kBlue);
    EXPECT_EQ(GetPixel(dc, 75, 75), kWhite);
    EXPECT_NE(GetTextColor(dc), RGB(1, 2, 3));
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), GetStockObject(WHITE_PEN));
}

TEST_F(FormTest, HiddenChildrenNeitherPaintNorTakeTheMouse) {
    b->Hide();
    TBitmap bitmap;
    paintInto(*form, bitmap);
    EXPECT_EQ(b->paints, 0);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), 40, 40), kRed);
    mouse(WM_MOUSEMOVE, 40, 40);
    EXPECT_EQ(journal, std::vector<std::string>{"A:move 30,30"});
}

TEST_F(FormTest, MouseMessagesGoToTheTopmostChildInItsOwnCoordinates) {
    mouse(WM_MOUSEMOVE, 40, 45);
    mouse(WM_MOUSEMOVE, 12, 13);
    EXPECT_EQ(journal, (std::vector<std::string>{"B:move 10,15", "A:move 2,3"}));

    // Disabled children are transparent to the mouse: the form gets the message.
    journal.clear();
    int formDowns = 0;
    form->OnMouseDown = [&](TObject* sender, TMouseButton button, TShiftState, int x, int y) {
        EXPECT_EQ(sender, form.get());
        EXPECT_EQ(button, mbRight);
        EXPECT_EQ(x, 40);
        EXPECT_EQ(y, 40);
        ++formDowns;
    };
    a->SetEnabled(false);
    b->SetEnabled(false);
    mouse(WM_RBUTTONDOWN, 40, 40, MK_RBUTTON);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(formDowns, 1);
}

TEST_F(FormTest, APressedChildKeepsTheMouseUntilReleaseAndClicksOnlyWhenReleasedInside) {
    mouse(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    EXPECT_TRUE(a->MouseCapture());
    mouse(WM_MOUSEMOVE, 60, 60, MK_LBUTTON);  // over B, but A holds the mouse
    mouse(WM_LBUTTONUP, 60, 60);
    EXPECT_FALSE(a->MouseCapture());
    EXPECT_EQ(journal, (std::vector<std::string>{"A:down 5,5", "A:move 50,50", "A:up 50,50"}));

    journal.clear();
    mouse(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, 60, 60, MK_LBUTTON);
    mouse(WM_MOUSEMOVE, 16, 16, MK_LBUTTON);  // back inside
    mouse(WM_LBUTTONUP, 16, 16);
    mouse(WM_MOUSEMOVE, 60, 60);  // released: B gets the mouse again
    EXPECT_EQ(journal, (std::vector<std::string>{"A:down 5,5", "A:move 50,50", "A:move 6,6", "A:click",
                                                 "A:up 6,6", "B:move 30,30"}));
}

TEST_F(FormTest, ARightPressDoesNotCaptureOrClick) {
    mouse(WM_RBUTTONDOWN, 15, 15, MK_RBUTTON);
    EXPECT_FALSE(a->MouseCapture());
    mouse(WM_RBUTTONUP, 15, 15);
    EXPECT_EQ(journal, (std::vector<std::string>{"A:down 5,5", "A:up 5,5"}));
}

TEST_F(FormTest, DestroyingAChildThatHoldsTheMouseReleasesIt) {
    mouse(WM_LBUTTONDOWN, 15, 15, MK_LBUTTON);
    ASSERT_EQ(CaptureControl(), a);
    delete a;
    EXPECT_EQ(CaptureControl(), nullptr);
    journal.clear();
    mouse(WM_MOUSEMOVE, 40, 40);
    EXPECT_EQ(journal, std::vector<std::string>{"B:move 10,10"});
}

namespace {

// A windowed control that records which kind of device context it paints on and what reaches
// its default handling.
class Probe : public TCustomControl {
public:
    explicit Probe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    DWORD lastPaintDCType = 0;
    int paints = 0;
    std::vector<UINT> defaults;

protected:
    void Paint() override {
        ++paints;
        lastPaintDCType = GetObjectType(Canvas()->Handle());
    }
    void DefaultHandler(TMessage& message) override {
        if (message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR || message.Msg == WM_KEYUP)
            defaults.push_back(message.Msg);
        TCustomControl::DefaultHandler(message);
    }
};

}  // namespace

TEST_F(FormTest, DoubleBufferedIsARealFlagThatMovesPaintingOffScreen) {
    auto* probe = new Probe(form.get());
    probe->SetBounds(100, 100, 50, 50);
    probe->SetParent(form.get());
    EXPECT_FALSE(probe->DoubleBuffered());
    probe->SetDoubleBuffered(true);
    EXPECT_TRUE(probe->DoubleBuffered());
    form->Show();
    ASSERT_TRUE(probe->HandleAllocated());

    probe->Repaint();
    EXPECT_GT(probe->paints, 0);
    EXPECT_EQ(probe->lastPaintDCType, static_cast<DWORD>(OBJ_MEMDC));

    probe->SetDoubleBuffered(false);
    EXPECT_FALSE(probe->DoubleBuffered());
    probe->Repaint();
    EXPECT_EQ(probe->lastPaintDCType, static_cast<DWORD>(OBJ_DC));
    form->Hide();
}

TEST_F(FormTest, AKeySetToZeroIsConsumedAndTheFormWithKeyPreviewSeesItFirst) {
    auto* probe = new Probe(form.get());
    probe->SetParent(form.get());
    HWND window = probe->Handle();
    std::vector<std::string> keys;
    probe->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        keys.push_back(sender == probe ? "control " + std::to_string(key) : "?");
        if (key == 'A')
            key = 0;
    };
    probe->OnKeyPress = [&](TObject*, wchar_t& key) {
        if (key == L'x')
            key = 0;
    };

    SendMessageW(window, WM_KEYDOWN, 'A', 0);
    SendMessageW(window, WM_KEYDOWN, 'B', 0);
    SendMessageW(window, WM_CHAR, L'x', 0);
    SendMessageW(window, WM_CHAR, L'y', 0);
    EXPECT_EQ(keys, (std::vector<std::string>{"control 65", "control 66"}));
    EXPECT_EQ(probe->defaults, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));  // only B and y went on

    keys.clear();
    probe->defaults.clear();
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        keys.push_back(sender == form.get() ? "form " + std::to_string(key) : "?");
        if (key == VK_F5)
            key = 0;
        if (key == 'C')
            key = 'A';  // the control then sees A and consumes it
    };
    SendMessageW(window, WM_KEYDOWN, VK_F5, 0);
    SendMessageW(window, WM_KEYDOWN, 'C', 0);
    EXPECT_EQ(keys, (std::vector<std::string>{"form 116", "form 67", "control 65"}));
    EXPECT_TRUE(probe->defaults.empty());
}

TEST_F(FormTest, AReplacedWindowProcSeesMessagesAndChainsToTheSavedOne) {
    TWndMethod old = a->WindowProc;
    int seen = 0;
    a->WindowProc = [&](TMessage& message) {
        if (message.Msg == WM_MOUSEMOVE)
            ++seen;
        old(message);
    };
    mouse(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(journal, std::vector<std::string>{"A:move 5,5"});
    EXPECT_EQ(a->Perform(CM_MOUSEENTER), 0);
    EXPECT_EQ(journal.back(), "A:enter");
    a->WindowProc = old;
    mouse(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(seen, 1);
}

TEST_F(FormTest, ADestroyedWindowedControlGetsNoMessagesWhileGoing) {
    auto* probe = new Probe(form.get());
    probe->SetParent(form.get());
    ASSERT_TRUE(probe->Handle());
    bool deleting = false;
    int lateMessages = 0;
    probe->WindowProc = [&](TMessage&) {
        if (deleting)
            ++lateMessages;
    };
    deleting = true;
    delete probe;
    EXPECT_EQ(lateMessages, 0);
}

TEST_F(FormTest, AParentDestroysItsChildrenAndTheyLeaveTheirOwners) {
    TComponent otherOwner(nullptr);
    auto* panel = new TCustomControl(&otherOwner);
    panel->SetParent(form.get());
    auto* inner = new RecordingGraphic(&otherOwner, "inner", kRed);
    inner->SetParent(panel);
    inner->journal = &journal;
    HWND panelWindow = panel->Handle();
    ASSERT_EQ(otherOwner.ComponentCount(), 2);
    form.reset();
    EXPECT_EQ(otherOwner.ComponentCount(), 0);
    EXPECT_FALSE(IsWindow(panelWindow));
    EXPECT_NE(std::find(journal.begin(), journal.end(), "inner:destroyed"), journal.end());
}

TEST_F(FormTest, ChildrenFollowTheParentFontAndColourUntilTheyGetTheirOwn) {
    form->Font()->SetName(L"Arial");
    form->Font()->SetStyle(fsBold);
    EXPECT_EQ(a->Font()->Name(), L"Arial");
    EXPECT_TRUE(a->ParentFont());
    a->Font()->SetSize(14);
    EXPECT_FALSE(a->ParentFont());
    form->Font()->SetName(L"Tahoma");
    EXPECT_EQ(a->Font()->Name(), L"Arial");
    EXPECT_EQ(b->Font()->Name(), L"Tahoma");

    form->SetColor(0x123456);
    EXPECT_EQ(b->Color(), 0x123456);
    b->SetColor(clRed);
    form->SetColor(0x654321);
    EXPECT_EQ(b->Color(), clRed);
    EXPECT_EQ(a->Color(), 0x654321);
}

TEST_F(FormTest, HintsFollowTheParentUnlessSetOnTheControl) {
    EXPECT_FALSE(a->ShowHint());
    form->SetShowHint(true);
    EXPECT_TRUE(a->ShowHint());
    a->SetShowHint(false);
    EXPECT_FALSE(a->ParentShowHint());
    EXPECT_FALSE(a->ShowHint());
    EXPECT_TRUE(b->ShowHint());
}

TEST_F(FormTest, SizeConstraintsLimitEverySetBounds) {
    a->Constraints()->SetMinWidth(30);
    a->Constraints()->SetMaxHeight(20);
    EXPECT_EQ(a->Width(), 40);
    EXPECT_EQ(a->Height(), 20);  // applied at once
    a->SetBounds(0, 0, 5, 100);
    EXPECT_EQ(a->Width(), 30);
    EXPECT_EQ(a->Height(), 20);

    form->Constraints()->SetMinWidth(150);
    form->SetWidth(100);
    EXPECT_EQ(form->Width(), 150);
}

TEST_F(FormTest, ScreenCoordinatesOfWindowlessChildren) {
    form->Show();
    const POINT origin = form->ClientOrigin();
    const POINT p = b->ClientToScreen({1, 2});
    EXPECT_EQ(p.x, origin.x + 31);
    EXPECT_EQ(p.y, origin.y + 32);
    const POINT back = b->ScreenToClient(p);
    EXPECT_EQ(back.x, 1);
    EXPECT_EQ(back.y, 2);
    form->Hide();
}

namespace {

// Draws with GDI+ on its canvas, as the skinned controls do.
class GdiPlusPainter : public TGraphicControl {
public:
    explicit GdiPlusPainter(TComponent* owner) : TGraphicControl(owner) {}

protected:
    void Paint() override {
        Gdiplus::Graphics graphics(Canvas()->Handle());
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0, 0, 255));
        graphics.FillRectangle(&brush, -100, -100, 1000, 1000);  // clipped to the control
        Gdiplus::SolidBrush mark(Gdiplus::Color(255, 255, 0, 0));
        graphics.FillRectangle(&mark, 0, 0, 2, 2);
    }
};

}  // namespace

TEST_F(FormTest, GdiPlusDrawingOnTheCanvasStartsAtTheControlAndStaysInside) {
    GdiPlusSession session;
    auto* painter = new GdiPlusPainter(form.get());
    painter->SetBounds(100, 120, 30, 20);
    painter->SetParent(form.get());
    TBitmap bitmap;
    paintInto(*form, bitmap);
    HDC dc = bitmap.Canvas()->Handle();
    EXPECT_EQ(GetPixel(dc, 100, 120), kRed);
    EXPECT_EQ(GetPixel(dc, 103, 123), kBlue);
    EXPECT_EQ(GetPixel(dc, 129, 139), kBlue);
    EXPECT_EQ(GetPixel(dc, 130, 139), kWhite);
    EXPECT_EQ(GetPixel(dc, 99, 125), kWhite);
}
