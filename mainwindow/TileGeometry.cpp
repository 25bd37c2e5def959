#include "mainwindow/TileGeometry.h"

#include <algorithm>

namespace {

constexpr COLORREF kNormalBorderColour = 0x818187;
constexpr COLORREF kHighlightBorderColour = 0x4DF3FF;
constexpr int kNormalBorderWidth = 1;
constexpr int kHighlightBorderWidth = 3;

// The size the video mark picture is made for, and the photo side it belongs to.
constexpr int kVideoMarkSide = 72;
constexpr int kReferencePhotoSide = 306;

int markSide(int photoSide) {
    return std::min(kVideoMarkSide,
                    static_cast<int>(static_cast<double>(photoSide) / kReferencePhotoSide * kVideoMarkSide));
}

}  // namespace

TileBorder tileBorder(bool selected, bool hovered) {
    if (selected || hovered) {
        return TileBorder{kHighlightBorderColour, kHighlightBorderWidth};
    }
    return TileBorder{kNormalBorderColour, kNormalBorderWidth};
}

std::array<TileBounds, tilePartCount> placeTileParts(const TileBounds& photo, int b,
                                                     const ButtonSizes& buttons) {
    const int l = photo.left;
    const int t = photo.top;
    const int w = photo.width;
    const int h = photo.height;
    std::array<TileBounds, tilePartCount> parts;
    parts[shadowTopLeft] = {l - 13, t - 1, 12, 12};
    parts[shadowLeft] = {l - 13, t + 11, 12, h - 10};
    parts[shadowBottomLeft] = {l - 13, t + h + 1, 24, 12};
    parts[shadowBottom] = {l + 11, t + h + 1, w - 22, 12};
    parts[shadowBottomRight] = {l + w - 11, t + h + 1, 24, 12};
    parts[shadowRight] = {l + w + 1, t + 11, 12, h - 10};
    parts[shadowTopRight] = {l + w + 1, t - 1, 12, 12};
    parts[borderLeft] = {l - b, t - b, b, h + 2 * b};
    parts[borderTop] = {l, t - b, w, b};
    parts[borderRight] = {l + w, t - b, b, h + 2 * b};
    parts[borderBottom] = {l, t + h, w, b};
    parts[openFullSizeButton] = {l - b, t - b, buttons.openFullSize.cx, buttons.openFullSize.cy};
    parts[openPageButton] = {l + w + b - buttons.openPage.cx, t - b, buttons.openPage.cx,
                             buttons.openPage.cy};
    parts[selectionMark] = {l + w - buttons.selectionMark.cx, t + h - buttons.selectionMark.cy,
                            buttons.selectionMark.cx, buttons.selectionMark.cy};
    return parts;
}

TileBounds videoMarkBounds(int width, int height) {
    const int markWidth = markSide(width);
    const int markHeight = markSide(height);
    return TileBounds{(width - markWidth) / 2, (height - markHeight) / 2, markWidth, markHeight};
}

std::wstring tileTooltipText(const std::wstring& dateText, const std::wstring& caption) {
    if (dateText.empty()) {
        return caption;
    }
    if (caption.empty()) {
        return dateText;
    }
    return dateText + L" - " + caption;
}
