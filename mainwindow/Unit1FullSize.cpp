// The full-size view: opening, placing and closing it, and the tiles' callbacks.
#include "mainwindow/Unit1.h"

void TForm1::showFullSize(Photo*) {}
void TForm1::hideFullSize(bool) {}
void TForm1::placeFullSize(int, int, bool) {}
void TForm1::placeFullSizeImage() {}
void TForm1::stopFullSizeTimers() {}
void TForm1::requestFullSizeImage(Photo*) {}
void TForm1::onFullSizeSelectionChanged() {}
Photo* TForm1::fullSizePhoto() const {
    return nullptr;
}
void TForm1::onPhotoImageOpen(ThumbnailImage*) {}
void TForm1::openPhotoLink(ThumbnailImage*) {}
