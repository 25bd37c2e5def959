#pragma once
// TScrollBoxEx: the scroll box of the thumbnail grid. Its background is a small repeating
// pattern that stays fixed to the content while it scrolls vertically (four brushes of the
// pattern shifted by 0 to 3 rows, chosen by the scroll position); it paints that background only
// around the tiles, reports the begin and end of every scroll message, and takes part in the
// hover protocol.
#include "controls/HoverState.h"
#include "controls/PatternPhase.h"
#include "gui/GdiPlus.h"
#include "gui/ScrollBox.h"
#include <vector>

namespace controls {

// The tiles the background must leave out, seen as their outer rectangles in the box's client
// coordinates.
class TileList {
public:
    virtual ~TileList() = default;
    virtual size_t TileCount() const = 0;
    virtual RECT TileOuterRect(size_t index) const = 0;
};

// A TileList over a list of tile pointers whose class has getOuterRect().
template <class Tile>
class TileListOf : public TileList {
public:
    explicit TileListOf(const std::vector<Tile*>& tiles) : tiles_(tiles) {}
    size_t TileCount() const override { return tiles_.size(); }
    RECT TileOuterRect(size_t index) const override { return tiles_[index]->getOuterRect(); }

private:
    const std::vector<Tile*>& tiles_;
};

class TScrollBoxEx : public gui::TScrollBox {
public:
    explicit TScrollBoxEx(gui::TComponent* owner);

    // Set by the owner; entry n holds the pattern moved by n rows. The box never frees them.
    gui::TBrush* patternBrushes[kPatternPhases] = {};
    // The tiles on the box, or null.
    const TileList* thumbnails = nullptr;

    bool Hovered() const { return hover_.Hovered(); }

    gui::TNotifyEvent OnVerticalScrollBegin;
    gui::TNotifyEvent OnVerticalScrollEnd;
    gui::TNotifyEvent OnHorizontalScrollBegin;
    gui::TNotifyEvent OnHorizontalScrollEnd;

    void Dispatch(gui::TMessage& message) override;

protected:
    void PaintWindow(HDC dc) override;

private:
    void selectPhaseBrush();

    gui::GdiPlusSession gdiPlus_;
    HoverFlag hover_;
};

}  // namespace controls
