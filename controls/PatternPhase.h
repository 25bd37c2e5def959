#pragma once
// The patterned background of the thumbnail scroll box: which of its four shifted pattern brushes
// keeps the pattern fixed to the content at a scroll position, and which tiles the background
// fill must leave out. Pure logic.
#include <windows.h>

namespace controls {

constexpr int kPatternPhases = 4;

// The index (0 .. 3) of the pattern brush for a vertical scroll position, or -1 when none fits
// (no pattern height, or a pattern higher than four rows at phase 4 or more): the brush stays.
int patternBrushIndex(int verticalPosition, int patternHeight);

// A tile must be left out of the background fill when it reaches into the clip box. (The lower
// and right edges compare inclusively: a tile that only touches the clip box is left out too,
// which costs nothing since the fill would not reach it.)
bool tileReachesClip(const RECT& clip, const RECT& tile);

}  // namespace controls
