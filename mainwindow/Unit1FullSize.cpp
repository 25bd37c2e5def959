// The full-size view and the slideshow: empty until their own files take them over.
#include "mainwindow/Unit1.h"

void TForm1::applyOverlayLevel() {}
void TForm1::applySlideshowInterval() {}
void TForm1::placeFullSizeImage() {}
void TForm1::stopFullSizeTimers() {}
void TForm1::pauseFullSizeMedia() {}
void TForm1::placeFullSizeVideo() {}
void TForm1::onFullSizeSelectionChanged() {}
void TForm1::stopSlideshow() {}
Photo* TForm1::fullSizePhoto() const {
    return nullptr;
}
void TForm1::onPhotoImageOpen(ThumbnailImage*) {}
void TForm1::openPhotoLink(ThumbnailImage*) {}
void TForm1::onPhotoImageSelect(ThumbnailImage*) {}
