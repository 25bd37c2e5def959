#include "program/ViewingGrid.h"

#include <algorithm>
#include <array>
#include <string>

#include "support/ScreenCapture.h"

namespace viewing {
namespace {

using testsupport::ScreenCapture;

constexpr COLORREF kHighlight = RGB(0xFF, 0xF3, 0x4D);
constexpr int kMinimumSide = 140;

// The fixture pictures' 3 x 5 digits, one string per row.
const std::array<const char*, 10> kGlyphs = {
    "####.##.##.####", ".#.##..#..#.###", "###..#####..###", "###..#.##..####", "#.##.####..#..#",
    "####..###..####", "####..####.####", "###..#.#..#..#.", "####.#####.####", "####.####..####"};

int spread(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::max({r, g, b}) - std::min({r, g, b});
}

// The picture's coloured ground (the digits are pale, borders and background grey).
bool isPhoto(COLORREF c) {
    return spread(c) >= 40 && !testsupport::closeTo(c, kHighlight, 8);
}

bool isInk(COLORREF c) {
    return std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) >= 150;
}

int runLength(const ScreenCapture& shot, int x, int y, int dx, int dy) {
    int n = 0;
    while (x + dx * n < shot.width() && y + dy * n < shot.height() &&
           isPhoto(shot.at(x + dx * n, y + dy * n)))
        ++n;
    return n;
}

// The digits in the middle of the picture (corners hold the tile's buttons and marks).
int readNumber(const ScreenCapture& shot, const RECT& photo) {
    const int w = photo.right - photo.left, h = photo.bottom - photo.top;
    RECT ink{photo.right, photo.bottom, photo.left, photo.top};
    for (int y = photo.top + h / 5; y < photo.bottom - h / 5; ++y)
        for (int x = photo.left + w / 5; x < photo.right - w / 5; ++x)
            if (isInk(shot.at(x, y))) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
    const double cellHeight = (ink.bottom - ink.top) / 5.0;
    if (cellHeight < 2)
        return -1;
    const int digits = static_cast<int>(((ink.right - ink.left) / cellHeight + 1) / 4 + 0.5);
    if (digits < 1)
        return -1;
    const double cellWidth = (ink.right - ink.left) / (4.0 * digits - 1);
    int number = 0;
    for (int d = 0; d < digits; ++d) {
        std::string cells;
        for (int gy = 0; gy < 5; ++gy)
            for (int gx = 0; gx < 3; ++gx)
                cells += isInk(shot.at(ink.left + static_cast<int>((d * 4 + gx + 0.5) * cellWidth),
                                       ink.top + static_cast<int>((gy + 0.5) * cellHeight)))
                             ? '#'
                             : '.';
        const auto glyph = std::find(kGlyphs.begin(), kGlyphs.end(), cells);
        if (glyph == kGlyphs.end())
            return -1;
        number = number * 10 + static_cast<int>(glyph - kGlyphs.begin());
    }
    return number;
}

}  // namespace

HWND gridWindow(HWND mainWindow) {
    RECT r{};
    GetWindowRect(mainWindow, &r);
    return WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

std::vector<ShownTile> readGrid(HWND grid) {
    RECT area{};
    GetWindowRect(grid, &area);
    const ScreenCapture shot(area);
    std::vector<ShownTile> tiles;
    auto inFoundTile = [&](int x, int y) {
        return std::any_of(tiles.begin(), tiles.end(), [&](const ShownTile& t) {
            return x >= t.photo.left && x < t.photo.right && y >= t.photo.top && y < t.photo.bottom;
        });
    };
    // A picture is found by its bottom left corner (the tile's buttons and marks cover the others),
    // from the bottom up, so that corners the digits make inside a picture come after it.
    for (int y = shot.height() - 2; y >= 1; --y)
        for (int x = 1; x < shot.width(); ++x) {
            if (!isPhoto(shot.at(x, y)) || isPhoto(shot.at(x - 1, y)) || isPhoto(shot.at(x, y + 1)) ||
                inFoundTile(x, y))
                continue;
            const int width = runLength(shot, x, y, 1, 0);
            // Up a quarter in: clear of the digits, the video mark and the corner buttons.
            const int height = runLength(shot, x + width / 4, y, 0, -1);
            const int top = y - height + 1;
            if (width < kMinimumSide || height < kMinimumSide || top < 1)
                continue;
            ShownTile tile;
            tile.photo = RECT{x, top, x + width, y + 1};
            tile.number = readNumber(shot, tile.photo);
            tile.selected = testsupport::closeTo(shot.at(x - 2, top + height / 2), kHighlight, 8);
            tiles.push_back(tile);
            x += width;
        }
    std::sort(tiles.begin(), tiles.end(), [](const ShownTile& a, const ShownTile& b) {
        return a.photo.top != b.photo.top ? a.photo.top < b.photo.top : a.photo.left < b.photo.left;
    });
    for (ShownTile& tile : tiles)
        OffsetRect(&tile.photo, area.left, area.top);
    return tiles;
}

RECT pictureAround(HWND grid, POINT inside) {
    RECT area{};
    GetWindowRect(grid, &area);
    const ScreenCapture shot(area);
    const int x = inside.x - area.left, y = inside.y - area.top;
    if (!isPhoto(shot.at(x, y)))
        return RECT{};
    const int right = x + runLength(shot, x, y, 1, 0), bottom = y + runLength(shot, x, y, 0, 1);
    int left = x, top = y;
    while (left > 0 && isPhoto(shot.at(left - 1, y)))
        --left;
    while (top > 0 && isPhoto(shot.at(x, top - 1)))
        --top;
    return RECT{area.left + left, area.top + top, area.left + right, area.top + bottom};
}

std::vector<int> numbersOf(const std::vector<ShownTile>& tiles) {
    std::vector<int> numbers;
    for (const ShownTile& tile : tiles)
        numbers.push_back(tile.number);
    return numbers;
}

std::vector<int> selectedNumbers(const std::vector<ShownTile>& tiles) {
    std::vector<int> numbers;
    for (const ShownTile& tile : tiles)
        if (tile.selected)
            numbers.push_back(tile.number);
    return numbers;
}

}  // namespace viewing
