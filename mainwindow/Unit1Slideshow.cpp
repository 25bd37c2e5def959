// The slideshow, previous and next, and the overlay behind the full-size view.
#include "mainwindow/Unit1.h"

using gui::TObject;

void TForm1::slideShowImageButtonBtnClick(TObject*) {}
void TForm1::slideshowTimerTimer(TObject*) {}
void TForm1::leftSlideshowImageButtonBtnClick(TObject*) {}
void TForm1::rightSlideshowImageButtonBtnClick(TObject*) {}
void TForm1::closeSlideshowImageButtonBtnClick(TObject*) {}
void TForm1::applySlideshowInterval() {}
void TForm1::updateSlideshowButtonFaces() {}
void TForm1::applyOverlayLevel() {}
void TForm1::stopSlideshow() {}
void TForm1::onFullSizeStopSlideshow() {}
