#pragma once
// Where a photo goes on a printed page: shrunk to fit (never enlarged), keeping its proportions, each
// size cut to a whole number, centred on the page.
struct PageRect {
    float x;
    float y;
    float width;
    float height;
};

PageRect fitPictureOnPage(float pictureWidth, float pictureHeight, float pageWidth, float pageHeight);
