#pragma once
// Where a hint window goes: below the pointer, kept inside the work area, flipped above the
// pointer when there is no room below. Pure logic.
#include <windows.h>

namespace gui {

RECT PlaceHintRect(SIZE hintSize, POINT cursor, int cursorHeight, const RECT& workArea);

}  // namespace gui
