#include "controls/ScrollBoxEx.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "gui/Bitmap.h"
#include "gui/Win32Handles.h"

namespace controls {

TScrollBoxEx::TScrollBoxEx(gui::TComponent* owner) : gui::TScrollBox(owner) {}

void TScrollBoxEx::Dispatch(gui::TMessage& message) {
    const auto onControl = [this](LPARAM point) { return messagePointInside(point, Width(), Height()); };
    if (dispatchHover(this, message, hover_, onControl))
        return;
    switch (message.Msg) {
    case WM_PAINT:
        gui::TScrollBox::Dispatch(message);
        if (DoubleBuffered())
            SetDoubleBuffered(false);
        return;
    case WM_ERASEBKGND:
        // The painting pass fills the background around the tiles; erasing here would flicker.
        selectPhaseBrush();
        message.Result = 0;
        return;
    case WM_HSCROLL:
        if (OnHorizontalScrollBegin)
            OnHorizontalScrollBegin(this);
        gui::TScrollBox::Dispatch(message);
        if (OnHorizontalScrollEnd)
            OnHorizontalScrollEnd(this);
        return;
    case WM_VSCROLL:
        if (OnVerticalScrollBegin)
            OnVerticalScrollBegin(this);
        gui::TScrollBox::Dispatch(message);
        if (OnVerticalScrollEnd)
            OnVerticalScrollEnd(this);
        return;
    default:
        gui::TScrollBox::Dispatch(message);
    }
}

void TScrollBoxEx::selectPhaseBrush() {
    gui::TBrush* first = patternBrushes[0];
    if (!first || !first->Bitmap())
        return;
    const int index = patternBrushIndex(VertScrollBar()->Position(), first->Bitmap()->Height());
    if (index < 0 || !patternBrushes[index])
        return;
    // Chosen while painting, for the painting under way (a brush change repaints nothing).
    Brush()->SetBitmap(patternBrushes[index]->Bitmap());
}

void TScrollBoxEx::PaintWindow(HDC dc) {
    selectPhaseBrush();
    if (!dc)
        return;
    HBRUSH brush = Brush()->Handle();
    if (!brush)
        return;
    const RECT client{0, 0, ClientWidth(), ClientHeight()};
    if (!thumbnails || thumbnails->TileCount() == 0) {
        FillRect(dc, &client, brush);
        return;
    }
    // Leave the tiles out of the fill, then give the context its clip region back. A context
    // without a clip region of its own gets none back (restoring the empty region that
    // GetClipRgn leaves then would hide everything painted after the background).
    gui::GdiObject<HRGN> saved(CreateRectRgn(0, 0, 0, 0));
    const int hadRegion = saved ? GetClipRgn(dc, saved.get()) : -1;
    if (hadRegion < 0) {
        FillRect(dc, &client, brush);
        return;
    }
    RECT clip{};
    GetClipBox(dc, &clip);
    for (size_t i = 0; i < thumbnails->TileCount(); ++i) {
        const RECT tile = thumbnails->TileOuterRect(i);
        if (tileReachesClip(clip, tile))
            ExcludeClipRect(dc, tile.left, tile.top, tile.right, tile.bottom);
    }
    FillRect(dc, &client, brush);
    SelectClipRgn(dc, hadRegion == 1 ? saved.get() : nullptr);
}

}  // namespace controls
