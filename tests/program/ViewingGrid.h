#pragma once
// The thumbnail grid of the running program read from the screen: each fixture picture carries its
// item's number in large pale digits on a coloured ground, so the tiles shown, their order, their
// number and whether they are selected (the highlight border) are read from the pixels.
#include <windows.h>

#include <vector>

namespace viewing {

struct ShownTile {
    RECT photo{};     // screen coordinates
    int number = -1;  // the item's number; -1 when the digits could not be read (a video mark)
    bool selected = false;
};

// The grid's window: the scroll box under the middle of the main window.
HWND gridWindow(HWND mainWindow);

// The tiles wholly inside the grid window, row by row, left to right. The pointer should rest
// elsewhere: a hovered tile looks selected.
std::vector<ShownTile> readGrid(HWND grid);

// The picture of the grid's window around a point (screen coordinates), as far as its colours
// reach from there each way; empty when no picture is there.
RECT pictureAround(HWND grid, POINT inside);

std::vector<int> numbersOf(const std::vector<ShownTile>& tiles);
std::vector<int> selectedNumbers(const std::vector<ShownTile>& tiles);

}  // namespace viewing
