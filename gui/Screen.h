#pragma once
// The screen: its size, the work area, and the cursors by identifier.
#include "gui/Types.h"

namespace gui {

class TScreen {
public:
    int Width() const;
    int Height() const;
    // The work area of the primary monitor (the screen without the taskbar).
    RECT WorkAreaRect() const;
    // A cursor for the whole program (crDefault: every control chooses its own).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

private:
    TCursor cursor_ = crDefault;
};

extern TScreen* const Screen;

// The cursor of an identifier (crDefault and unknown ones: the arrow).
HCURSOR CursorHandle(TCursor cursor);

}  // namespace gui
