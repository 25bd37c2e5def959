// Prints how long a form with 1,000 windowless controls takes to paint and to route the mouse:
// a full paint (background, opaque children left out, every child at its origin and clipped),
// a mouse move routed to the child under it, and a change of the control under the pointer with
// its leave and enter notifications, where every entered control tells all the others they were
// left (as the program's hover controls do).
#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Form.h"
#include "gui/GraphicControl.h"
#include "tests/bench/BenchClock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace gui;

namespace {

const int kColumns = 40;
const int kRows = 25;
const int kCell = 30;

// A tile part: a filled rectangle with a frame; on entering, it tells every other control of the
// form that the mouse has left.
class Tile : public TGraphicControl {
public:
    Tile(TComponent* owner, COLORREF color) : TGraphicControl(owner), color_(color) {}

    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_MOUSEENTER) {
            hovered_ = true;
            TWinControl* form = Parent();
            TMessage leave{CM_MOUSELEAVE, 0, 0, 0};
            for (int i = 0; i < form->ControlCount(); ++i) {
                if (form->Controls(i) != this)
                    form->Controls(i)->Dispatch(leave);
            }
            return;
        }
        if (message.Msg == CM_MOUSELEAVE) {
            hovered_ = false;
            return;
        }
        if (message.Msg == WM_MOUSEMOVE)
            ++moves_;
        TGraphicControl::Dispatch(message);
    }
    int moves() const { return moves_; }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(static_cast<TColor>(hovered_ ? RGB(0, 174, 239) : color_));
        Canvas()->Pen()->SetColor(static_cast<TColor>(RGB(0x81, 0x81, 0x87)));
        Canvas()->Rectangle(0, 0, Width(), Height());
    }

private:
    COLORREF color_;
    bool hovered_ = false;
    int moves_ = 0;
};

}  // namespace

int main() {
    TApplication application;
    application.Initialize();
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, kColumns * kCell + 20, kRows * kCell + 20);
    form.SetColor(static_cast<TColor>(RGB(0x29, 0x2B, 0x2C)));
    std::vector<Tile*> tiles;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto* tile = new Tile(&form, RGB(40 + column * 4, 60 + row * 6, 90));
            tile->SetBounds(10 + column * kCell, 10 + row * kCell, kCell - 4, kCell - 4);
            if ((row + column) % 2 == 0)
                tile->SetControlStyle(tile->ControlStyle() | csOpaque);
            tile->SetParent(&form);
            tiles.push_back(tile);
        }
    }
    form.SetDoubleBuffered(true);
    form.Show();
    application.ProcessMessages();

    TBitmap target;
    target.SetSize(form.ClientWidth(), form.ClientHeight());
    HDC dc = target.Canvas()->Handle();
    const double offScreen = medianMs(31, [&](int) {
        form.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
        form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    });
    const double onScreen = medianMs(31, [&](int) {
        InvalidateRect(form.Handle(), nullptr, TRUE);
        UpdateWindow(form.Handle());
    });

    // Mouse moves over the grid, each routed to the child under it.
    const double routed = medianMs(2001, [&](int run) {
        const int x = 12 + (run * 7) % (kColumns * kCell);
        const int y = 12 + (run * 13) % (kRows * kCell);
        form.Perform(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    });

    // The pointer moves onto another tile: leave and enter, with the broadcast.
    const double hover = medianMs(201, [&](int run) {
        Tile* tile = tiles[static_cast<size_t>((run * 37) % static_cast<int>(tiles.size()))];
        const POINT p = tile->ClientToScreen({5, 5});
        SetCursorPos(p.x, p.y);
        application.UpdateMouseControl();
    });
    const bool routedToTiles =
        std::any_of(tiles.begin(), tiles.end(), [](Tile* t) { return t->moves() > 0; });

    std::printf("%d windowless controls on one form (%d x %d client pixels)\n", kColumns * kRows,
                form.ClientWidth(), form.ClientHeight());
    std::printf("  full paint off-screen:            %8.3f ms (median of 31)\n", offScreen);
    std::printf("  full paint to the window:         %8.3f ms (median of 31, double-buffered)\n", onScreen);
    std::printf("  mouse move routed to its child:   %8.4f ms (median of 2001)%s\n", routed,
                routedToTiles ? "" : "  [no child was reached]");
    std::printf(
        "  pointer onto another control:     %8.4f ms (median of 201; leave, enter, broadcast to all)\n",
        hover);
    std::printf("  one frame at 60 Hz:               %8.3f ms\n", 1000.0 / 60.0);
    return 0;
}
