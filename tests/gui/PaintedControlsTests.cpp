// Controls the library paints itself: panel, label, shape, image, paint box.
#include "GuiTestSupport.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/PaintBox.h"
#include "gui/Panel.h"
#include "gui/Shape.h"
#include "support/TestControls.h"
#include <gtest/gtest.h>
#include <memory>

using namespace gui;

namespace {

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = testsupport::borderlessForm(100, 100, 200, 200);
        form->SetColor(static_cast<TColor>(RGB(255, 255, 255)));
    }
    // The parent's client area as a double-buffered paint makes it.
    HDC paint(TWinControl& parent) {
        bitmap.SetSize(parent.Width(), parent.Height());
        HDC dc = bitmap.Canvas()->Handle();
        parent.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
        parent.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        return dc;
    }
    std::unique_ptr<TForm> form;
    TBitmap bitmap;
};

}  // namespace

TEST_F(PaintTest, APanelFillsWithItsColourOrTheBitmapOfItsBrush) {
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(0, 0, 40, 40);
    panel->SetColor(static_cast<TColor>(RGB(0, 174, 239)));
    HDC dc = paint(*panel);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 174, 239));
    EXPECT_EQ(GetPixel(dc, 39, 39), RGB(0, 174, 239));

    TBitmap pattern;  // 2 x 2, only the top-left pixel red
    pattern.SetSize(2, 2);
    pattern.ScanLine(0)[0] = 0xFF0000u;
    panel->Brush()->SetBitmap(&pattern);
    dc = paint(*panel);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 11, 11), RGB(0, 0, 0));
    panel->Brush()->SetBitmap(nullptr);

    panel->SetBevelOuter(bvRaised);
    dc = paint(*panel);
    EXPECT_EQ(GetPixel(dc, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(GetPixel(dc, 39, 39), ColorToRGB(clBtnShadow));
}

TEST_F(PaintTest, ALabelSizesItselfToItsTextAndPaintsItsBackgroundUnlessTransparent) {
    auto* label = testsupport::placed<TLabel>(form.get(), 10, 10, 5, 5);
    label->SetCaption(L"Pixhaul Instagram Downloader");
    const int width = label->Width();
    EXPECT_GT(width, 100);
    EXPECT_GT(label->Height(), 8);
    label->Font()->SetStyle(fsBold);
    EXPECT_GT(label->Width(), width);
    label->SetColor(static_cast<TColor>(RGB(0, 255, 0)));
    HDC dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 10, label->Top() + label->Height() - 1), RGB(0, 255, 0));
    label->SetTransparent(true);
    dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 10, label->Top() + label->Height() - 1), RGB(255, 255, 255));

    int clicks = 0;
    label->OnClick = [&](TObject*) { ++clicks; };
    label->SetCursor(crHandPoint);
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
    form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
    EXPECT_EQ(clicks, 1);
}

TEST_F(PaintTest, AShapeOutlinesWithItsPenInsideItsBoundsAndFillsWithItsBrush) {
    auto* shape = testsupport::placed<TShape>(form.get(), 20, 20, 10, 10);
    shape->Pen()->SetColor(static_cast<TColor>(RGB(255, 0, 0)));
    shape->Pen()->SetWidth(3);
    shape->Brush()->SetColor(static_cast<TColor>(RGB(0, 0, 255)));
    HDC dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 20, 25), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 29, 25), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 25, 29), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 25, 25), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 19, 19), RGB(255, 255, 255));
}

TEST_F(PaintTest, AnImageDrawsItsPictureAndIsOpaqueOnlyWhenItCoversItself) {
    auto* image = testsupport::placed<TImage>(form.get(), 50, 50, 20, 20);
    EXPECT_FALSE(image->ControlStyle() & csOpaque);
    TBitmap* picture = image->Picture()->Bitmap();
    picture->SetSize(10, 10);
    picture->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(0, 128, 0)));
    picture->Canvas()->FillRect(RECT{0, 0, 10, 10});
    EXPECT_FALSE(image->ControlStyle() & csOpaque);  // smaller than the control
    HDC dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 55, 55), RGB(0, 128, 0));
    EXPECT_EQ(GetPixel(dc, 65, 65), RGB(255, 255, 255));

    image->SetStretch(true);
    EXPECT_TRUE(image->ControlStyle() & csOpaque);
    dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 65, 65), RGB(0, 128, 0));
    image->SetTransparent(true);
    EXPECT_FALSE(image->ControlStyle() & csOpaque);

    image->SetStretch(false);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 10);
}

TEST_F(PaintTest, APaintBoxPaintsThroughOnPaint) {
    auto* box = testsupport::placed<TPaintBox>(form.get(), 100, 100, 30, 30);
    box->OnPaint = [box](TObject* sender) {
        EXPECT_EQ(sender, box);
        box->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(9, 9, 9)));
        box->Canvas()->FillRect(RECT{0, 0, 5, 5});
    };
    HDC dc = paint(*form);
    EXPECT_EQ(GetPixel(dc, 102, 102), RGB(9, 9, 9));
    EXPECT_EQ(GetPixel(dc, 106, 106), RGB(255, 255, 255));
}
