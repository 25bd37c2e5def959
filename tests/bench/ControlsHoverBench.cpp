// A form with 1,000 skinned windowless controls (pictures and picture buttons): how long one
// whole paint takes, and how long a mouse move takes to be routed to the control under it and to
// run the hover protocol (a leave to every other control of the form). Prints figures; a frame at
// 60 Hz is 16.7 ms.
#include "controls/Image.h"
#include "controls/ImageButton.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Win32Handles.h"
#include "resources/SkinIds.h"
#include "tests/bench/BenchClock.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int kColumns = 40;
constexpr int kRows = 25;
constexpr int kCellWidth = 30;
constexpr int kCellHeight = 24;

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int main() {
    gui::TApplication application;
    application.Initialize();
    gui::TForm form(nullptr);
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, kColumns * kCellWidth, kRows * kCellHeight);
    form.SetColor(0x292726);

    std::vector<gui::TControl*> cells;
    const double buildStart = nowMs();
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            gui::TControl* cell = nullptr;
            if ((row + column) % 2 == 0) {
                auto* image = new controls::Image(&form);
                image->setTransparent(true);
                image->setImageResourceId(skin::videoMark);  // scaled down through the cache
                cell = image;
            } else {
                auto* button = new controls::ImageButton(&form);
                button->setNormalResourceId(skin::closeButton);
                button->setMouseOverResourceId(skin::closeButtonOver);
                button->setMouseDownResourceId(skin::closeButtonPressed);
                cell = button;
            }
            cell->SetParent(&form);
            cell->SetBounds(column * kCellWidth + 2, row * kCellHeight + 1, kCellWidth - 4, kCellHeight - 2);
            cells.push_back(cell);
        }
    }
    const double buildTime = nowMs() - buildStart;
    form.Show();
    pump();

    // Whole paints into an off-screen bitmap, as a double-buffered window paints.
    const int width = form.ClientWidth();
    const int height = form.ClientHeight();
    gui::WindowDC screen(form.Handle());
    gui::MemoryDC memory(screen.get());
    gui::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    gui::SelectedObject selected(memory.get(), bitmap.get());
    form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);  // the caches fill once
    constexpr int kPaints = 30;
    double start = nowMs();
    for (int i = 0; i < kPaints; ++i)
        form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
    const double paintTime = (nowMs() - start) / kPaints;

    // Whole paints of the window on the screen.
    start = nowMs();
    for (int i = 0; i < kPaints; ++i)
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const double screenPaintTime = (nowMs() - start) / kPaints;

    // Moves onto a new control each time: routing plus a leave to the 999 others.
    const int moves = static_cast<int>(cells.size()) * 3;
    start = nowMs();
    for (int i = 0; i < moves; ++i) {
        gui::TControl* target = cells[(static_cast<size_t>(i) * 7919u) % cells.size()];
        const POINT p{target->Left() + 5, target->Top() + 5};
        SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
    const double enterTime = (nowMs() - start) / moves;
    pump();  // the repaints the faces asked for

    // Moves within the control already entered: routing only.
    gui::TControl* last = cells.back();
    start = nowMs();
    for (int i = 0; i < moves; ++i) {
        SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(last->Left() + 1 + i % 20, last->Top() + 5));
    }
    const double moveTime = (nowMs() - start) / moves;

    std::printf("1,000 skinned windowless controls on one form (500 pictures, 500 picture buttons)\n");
    std::printf("  build the form:                          %8.2f ms\n", buildTime);
    std::printf("  whole paint, off-screen:                 %8.3f ms  (frame at 60 Hz: 16.7 ms)\n",
                paintTime);
    std::printf("  whole paint, window on the screen:       %8.3f ms\n", screenPaintTime);
    std::printf("  mouse move onto another control:         %8.1f us  (routing + leave to 999 others)\n",
                enterTime * 1000.0);
    std::printf("  mouse move within the entered control:   %8.1f us\n", moveTime * 1000.0);
    form.Hide();
    return 0;
}
