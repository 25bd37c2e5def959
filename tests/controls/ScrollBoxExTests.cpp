// The patterned scroll box: the brush follows the scroll position so the pattern moves with the
// content, the fill leaves the tiles out and gives the clip region back, and the scroll events
// come before and after the scrolling.
#include "ControlsTestSupport.h"
#include "controls/ScrollBoxEx.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "support/TestControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using controls::TileListOf;
using controls::TScrollBoxEx;
using controlstest::PaintedPixels;

namespace {

// The pattern's four rows, one colour each.
const COLORREF kRows[4] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(200, 200, 40)};
constexpr COLORREF kUntouched = RGB(255, 0, 255);

struct Tile {
    RECT outer;
    RECT getOuterRect() const { return outer; }
};

// Opens the background painting to the tests.
class OpenBox : public TScrollBoxEx {
public:
    using TScrollBoxEx::PaintWindow;
    using TScrollBoxEx::TScrollBoxEx;
};

class ScrollBoxExTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = testsupport::borderlessForm(300, 300, 400, 300);
        box = new OpenBox(form.get());
        box->SetParent(form.get());
        box->SetBorderStyle(gui::bsNone);
        box->SetBounds(0, 0, 300, 200);
        box->VertScrollBar()->SetRange(2000);
        for (int shift = 0; shift < 4; ++shift) {
            patterns[shift].SetSize(4, 4);
            for (int y = 0; y < 4; ++y) {
                const COLORREF c = kRows[(y + shift) % 4];
                for (int x = 0; x < 4; ++x)
                    patterns[shift].ScanLine(y)[x] =
                        0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
            brushes[shift].SetBitmap(&patterns[shift]);
            box->patternBrushes[shift] = &brushes[shift];
        }
        form->Show();
        controlstest::Pump(30);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<PaintedPixels> paintBackground() {
        auto pixels = std::make_unique<PaintedPixels>(box->ClientWidth(), box->ClientHeight(), kUntouched);
        box->PaintWindow(pixels->dc());
        return pixels;
    }

    std::unique_ptr<gui::TForm> form;
    OpenBox* box = nullptr;
    gui::TBitmap patterns[4];
    gui::TBrush brushes[4];
};

}  // namespace

TEST_F(ScrollBoxExTest, ThePatternMovesWithTheContent) {
    for (int position : {0, 1, 2, 3, 4, 5}) {
        box->VertScrollBar()->SetPosition(position);
        ASSERT_EQ(box->VertScrollBar()->Position(), position);
        auto pixels = paintBackground();
        for (int y = 0; y < 8; ++y) {
            // Client row y shows content row y + position.
            EXPECT_EQ(pixels->at(7, y), kRows[(y + position) % 4])
                << "position " << position << ", row " << y;
        }
        EXPECT_EQ(box->Brush()->Bitmap(), &patterns[position % 4]);
    }
}

TEST_F(ScrollBoxExTest, WithoutPatternBrushesTheBoxKeepsItsOwnBrush) {
    for (auto& brush : box->patternBrushes)
        brush = nullptr;
    box->Brush()->SetBitmap(nullptr);
    box->SetColor(RGB(10, 20, 30));
    box->VertScrollBar()->SetPosition(3);
    auto pixels = paintBackground();
    EXPECT_EQ(pixels->at(50, 50), RGB(10, 20, 30));
}

TEST_F(ScrollBoxExTest, TheFillLeavesTheTilesOutAndGivesTheClipRegionBack) {
    std::vector<Tile*> tiles;
    Tile first{RECT{20, 20, 60, 60}};
    Tile second{RECT{100, 150, 140, 400}};   // reaches beyond the client area
    Tile elsewhere{RECT{20, 900, 60, 940}};  // scrolled out of sight: not in the clip box
    tiles = {&first, &second, &elsewhere};
    TileListOf<Tile> list(tiles);
    box->thumbnails = &list;

    auto pixels = paintBackground();
    EXPECT_EQ(pixels->count(RECT{20, 20, 60, 60}, kUntouched), 40 * 40);
    EXPECT_EQ(pixels->count(RECT{100, 150, 140, 200}, kUntouched), 40 * 50);
    EXPECT_EQ(pixels->at(10, 10), kRows[10 % 4]);
    EXPECT_EQ(pixels->at(70, 40), kRows[40 % 4]);
    // The context has no clip region of its own: it must have none afterwards either, so what
    // is painted next (the tiles themselves) shows.
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RECT all{0, 0, box->ClientWidth(), box->ClientHeight()};
    FillRect(pixels->dc(), &all, white);
    EXPECT_EQ(pixels->at(40, 40), RGB(255, 255, 255));
    EXPECT_EQ(pixels->at(10, 10), RGB(255, 255, 255));

    // With a clip region of its own, the context gets exactly that one back.
    PaintedPixels clipped(box->ClientWidth(), box->ClientHeight(), kUntouched);
    HRGN region = CreateRectRgn(0, 0, 100, 100);
    SelectClipRgn(clipped.dc(), region);
    DeleteObject(region);
    box->PaintWindow(clipped.dc());
    EXPECT_EQ(clipped.at(150, 150), kUntouched);
    FillRect(clipped.dc(), &all, white);
    EXPECT_EQ(clipped.at(40, 40), RGB(255, 255, 255));
    EXPECT_EQ(clipped.at(150, 150), kUntouched);

    // An empty list: the whole client area.
    tiles.clear();
    auto whole = paintBackground();
    EXPECT_EQ(whole->count(RECT{0, 0, box->ClientWidth(), box->ClientHeight()}, kUntouched), 0);
}

TEST_F(ScrollBoxExTest, ScrollEventsComeBeforeAndAfterTheScrolling) {
    std::vector<int> seen;
    box->OnVerticalScrollBegin = [&](gui::TObject*) { seen.push_back(box->VertScrollBar()->Position()); };
    box->OnVerticalScrollEnd = [&](gui::TObject*) { seen.push_back(box->VertScrollBar()->Position()); };
    SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 0);
    EXPECT_GT(seen[1], 0);

    int horizontal = 0;
    box->OnHorizontalScrollBegin = [&](gui::TObject*) { horizontal += 1; };
    box->OnHorizontalScrollEnd = [&](gui::TObject*) { horizontal += 10; };
    SendMessageW(box->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(horizontal, 11);
}

TEST_F(ScrollBoxExTest, ErasingOnlyChoosesTheBrushAndPaintingEndsDoubleBuffering) {
    box->VertScrollBar()->SetPosition(2);
    PaintedPixels pixels(50, 50, kUntouched);
    EXPECT_EQ(SendMessageW(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(pixels.dc()), 0), 0);
    EXPECT_EQ(pixels.at(10, 10), kUntouched);
    EXPECT_EQ(box->Brush()->Bitmap(), &patterns[2]);

    box->SetDoubleBuffered(true);
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(box->DoubleBuffered());
}
