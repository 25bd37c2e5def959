// The slideshow, previous and next, and the overlay behind the full-size view.
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Photo.h"
#include "mainwindow/SlideshowRules.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"

using gui::TObject;
using gui::TWinControl;

namespace {

SlideshowSpeed checkedSpeed(const TForm1& form) {
    return slideshowSpeed(form.slowSlideshowMenuItem->Checked(), form.fastSlideshowMenuItem->Checked());
}

// The position of the item the view shows, or -1 when the view is closed or its item has left
// the visible list (a search may have run since it opened).
int shownPosition(const TForm1& form) {
    const Photo* shown = form.fullSizePhoto();
    if (!shown)
        return -1;
    const int at = shown->visibleIndex;
    if (at < 0 || static_cast<size_t>(at) >= form.visiblePhotos.size() || form.visiblePhotos[at] != shown)
        return -1;
    return at;
}

Photo* visibleAt(const TForm1& form, int position) {
    if (position < 0 || static_cast<size_t>(position) >= form.visiblePhotos.size())
        return nullptr;
    return form.visiblePhotos[position];
}

bool isLastVisible(const TForm1& form, int position) {
    return static_cast<size_t>(position) + 1 >= form.visiblePhotos.size();
}

void setSidePanelsDoubleBuffered(TForm1& form, bool on) {
    for (TWinControl* panel :
         {form.closeSlideshowImagePanel, form.leftSlideshowImagePanel, form.rightSlideshowImagePanel})
        panel->SetDoubleBuffered(on);
}

// Moves the view by step (1 next, -1 previous) through the visible list. A sender is the user:
// a running slideshow stops.
void stepFullSize(TForm1& form, int step, TObject* sender) {
    if (sender && form.slideshowRunning)
        form.stopSlideshow();
    const int current = shownPosition(form);
    if (current < 0)
        return;
    const int position = current + step;
    Photo* photo = visibleAt(form, position);
    // The grid keeps the tiles of both neighbours of the item shown.
    if (!photo || !photo->tile)
        return;
    FullSizeImage* view = form.fullSizeImage;

    // The grid scrolls so that the tile of the item stepped to is seen whole behind the view.
    const int offset = steppedPhotoOffset(form.contentScrollBox->ClientHeight(), photo->tile->Top(),
                                          photo->tile->Height(), form.gridRowGap);
    const bool anchored = offset >= 0;
    if (anchored) {
        form.scrollAnchorIndex = position;
        form.scrollAnchorOffset = offset;
    }
    view->setPhoto(photo);
    view->setDoubleBuffered(true);
    if (anchored)
        setSidePanelsDoubleBuffered(form, true);
    view->Invalidate();

    if (!photo->fullSizePresent) {
        view->hideMedia(false);
        view->startLoading();
        if (anchored)
            form.layoutThumbnails(false);
        view->Update();
        view->setDoubleBuffered(false);
        setSidePanelsDoubleBuffered(form, false);
        form.requestFullSizeImage(photo);
        return;
    }

    form.showFullSizeFile(*photo);
    if (anchored)
        form.layoutThumbnails(false);
    else
        form.contentScrollBox->Update();
    view->Update();
    view->setDoubleBuffered(false);
    setSidePanelsDoubleBuffered(form, false);
    form.refreshPointerOverFullSize();
    form.goOnFromFullSize(*photo, false);
}

}  // namespace

void TForm1::bindSlideshowButtons() {
    slideShowImageButton->OnBtnClick = [this](TObject* s) { slideShowImageButtonBtnClick(s); };
    leftSlideshowImageButton->OnBtnClick = [this](TObject* s) { leftSlideshowImageButtonBtnClick(s); };
    rightSlideshowImageButton->OnBtnClick = [this](TObject* s) { rightSlideshowImageButtonBtnClick(s); };
    closeSlideshowImageButton->OnBtnClick = [this](TObject* s) { closeSlideshowImageButtonBtnClick(s); };
    slideshowTimer->SetOnTimer([this](TObject* s) { slideshowTimerTimer(s); });
}

void TForm1::slideShowImageButtonBtnClick(TObject*) {
    if (visiblePhotos.empty())
        return;
    if (slideshowRunning) {
        stopSlideshow();
        return;
    }
    slideshowTimer->SetEnabled(false);
    slideshowRunning = true;
    if (fullSizePhoto()) {
        const int current = shownPosition(*this);
        // At the last item the slideshow has nowhere to go: it stays set until pressed again.
        if (current < 0 || isLastVisible(*this, current))
            return;
        // Stepping onto the last item stops it again at once.
        if (static_cast<size_t>(current) + 2 < visiblePhotos.size())
            updateSlideshowButtonFaces();
        rightSlideshowImageButtonBtnClick(nullptr);
        return;
    }
    showFullSize(visiblePhotos.front());
    if (visiblePhotos.size() >= 2)
        updateSlideshowButtonFaces();
    // The grid goes back to its top, where the first item is.
    gui::TControlScrollBar* bar = contentScrollBox->VertScrollBar();
    if (bar->Range() > contentScrollBox->ClientHeight() && bar->Position() > gridMarginTop) {
        scrollAnchorIndex = 0;
        scrollAnchorOffset = gridRowGap / 2;
        contentScrollBox->SetDoubleBuffered(true);
        layoutThumbnails(false);
    }
}

void TForm1::slideshowTimerTimer(TObject*) {
    slideshowTimer->SetEnabled(false);
    if (!slideshowRunning)
        return;
    const int current = shownPosition(*this);
    // The item shown left the list (a search ran): there is nothing to go on from.
    if (current < 0) {
        stopSlideshow();
        return;
    }
    // A playing video hides the picture panel: the slideshow waits on it.
    if (!isLastVisible(*this, current) && fullSizeImage->picturePanel()->Visible())
        rightSlideshowImageButtonBtnClick(nullptr);
}

void TForm1::leftSlideshowImageButtonBtnClick(TObject* sender) {
    stepFullSize(*this, -1, sender);
}

void TForm1::rightSlideshowImageButtonBtnClick(TObject* sender) {
    stepFullSize(*this, 1, sender);
}

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
