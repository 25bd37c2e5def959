// The slideshow, previous and next, and the overlay behind the full-size view.
#include "mainwindow/SlideshowRules.h"
#include "mainwindow/Unit1.h"

using gui::TObject;

namespace {

SlideshowSpeed checkedSpeed(const TForm1& form) {
    return slideshowSpeed(form.slowSlideshowMenuItem->Checked(), form.fastSlideshowMenuItem->Checked());
}

}  // namespace

void TForm1::bindSlideshowButtons() {
    slideShowImageButton->OnBtnClick = [this](TObject* s) { slideShowImageButtonBtnClick(s); };
    leftSlideshowImageButton->OnBtnClick = [this](TObject* s) { leftSlideshowImageButtonBtnClick(s); };
    rightSlideshowImageButton->OnBtnClick = [this](TObject* s) { rightSlideshowImageButtonBtnClick(s); };
    closeSlideshowImageButton->OnBtnClick = [this](TObject* s) { closeSlideshowImageButtonBtnClick(s); };
    slideshowTimer->SetOnTimer([this](TObject* s) { slideshowTimerTimer(s); });
}

void TForm1::slideShowImageButtonBtnClick(TObject*) {}
void TForm1::slideshowTimerTimer(TObject*) {}
void TForm1::leftSlideshowImageButtonBtnClick(TObject*) {}
void TForm1::rightSlideshowImageButtonBtnClick(TObject*) {}

void TForm1::closeSlideshowImageButtonBtnClick(TObject*) {
    hideFullSize(true);
}

void TForm1::applySlideshowInterval() {
    const bool running = slideshowTimer->Enabled();
    slideshowTimer->SetEnabled(false);
    slideshowTimer->SetInterval(slideshowInterval(checkedSpeed(*this)));
    slideshowTimer->SetEnabled(running);
    // A running slideshow's face tells its speed.
    updateSlideshowButtonFaces();
}

void TForm1::updateSlideshowButtonFaces() {
    const int face = slideshowButtonFace(slideshowRunning, checkedSpeed(*this));
    slideShowImageButton->setNormalResourceId(face);
    slideShowImageButton->setMouseOverResourceId(face + 1);
    slideShowImageButton->setMouseDownResourceId(face + 2);
}

void TForm1::applyOverlayLevel() {
    std::vector<bool> checked;
    for (const gui::TMenuItem* item : overlayMenuItems())
        checked.push_back(item && item->Checked());
    const int level = checkedOverlayLevel(checked);
    const bool shown = overlayImage->Visible();
    if (shown)
        contentScrollBox->SetDoubleBuffered(true);
    overlayImage->setImageResourceId(overlayLevel(level).pictureId);
    // The brushes are made with the bars, after the skin: until then the bar draws its own.
    contentBarDisabledBrush = level == 0 ? contentBarBrushes[0] : overlayBarBrushes[level - 1];
    if (shown) {
        contentScrollBox->Update();
        if (contentScrollBar)
            contentScrollBar->SetScrollPos(contentScrollBar->GetScrollPos(), true);
    }
}

void TForm1::stopSlideshow() {
    slideshowTimer->SetEnabled(false);
    slideshowRunning = false;
    updateSlideshowButtonFaces();
}

void TForm1::onFullSizeStopSlideshow() {
    if (slideshowRunning)
        stopSlideshow();
}
