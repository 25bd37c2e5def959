// The full-size view: opening, placing and closing it, and the tiles' callbacks.
#include "common/OpenLink.h"
#include "common/TextFunctions.h"
#include "gui/Application.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/FullSizeVideo.h"
#include "mainwindow/FullSizePlacement.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"
#include <array>

using namespace gui;

namespace {

// The view is made on the first open and lives as long as the window.
FullSizeImage* ensureFullSizeImage(TForm1& form) {
    if (form.fullSizeImage)
        return form.fullSizeImage;
    auto* view = new FullSizeImage(form.contentScrollBox, form.contentScrollBox);
    view->onSelectionChanged = [&form](FullSizeImage*) { form.onFullSizeSelectionChanged(); };
    view->onMouseDown = [&form](FullSizeImage*) {
        if (form.topPanel->CanFocus())
            form.topPanel->SetFocus();
    };
    view->onPlayPressed = [&form](FullSizeImage*) { form.onFullSizeStopSlideshow(); };
    view->setVideoPart(std::make_unique<FullSizeVideo>(*view));
    form.fullSizeImage = view;
    return view;
}

FullSizeArea fullSizeArea(TForm1& form) {
    controls::TScrollBoxEx* box = form.contentScrollBox;
    FullSizeArea area;
    area.clientWidth = box->ClientWidth();
    area.clientHeight = box->ClientHeight();
    area.availableWidth =
        area.clientWidth - (box->VertScrollBar()->IsScrollBarVisible() ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    area.leftPanelWidth = form.leftSlideshowImagePanel->Width();
    area.rightPanelWidth = form.rightSlideshowImagePanel->Width();
    return area;
}

std::array<TWinControl*, 3> sidePanels(TForm1& form) {
    return {form.closeSlideshowImagePanel, form.leftSlideshowImagePanel, form.rightSlideshowImagePanel};
}

void setSidePanelsDoubleBuffered(TForm1& form, bool on) {
    for (TWinControl* panel : sidePanels(form))
        panel->SetDoubleBuffered(on);
}

// The side panels follow the view: previous and next beside it, close at its top-right corner.
void placeSidePanels(TForm1& form, const FullSizeArea& area, const FullSizeBounds& view) {
    // The panels are as large as their buttons; they lie on the window, over the scroll box.
    form.closeSlideshowImagePanel->SetBoundsRect(form.closeSlideshowImageButton->BoundsRect());
    form.leftSlideshowImagePanel->SetBoundsRect(form.leftSlideshowImageButton->BoundsRect());
    form.rightSlideshowImagePanel->SetBoundsRect(form.rightSlideshowImageButton->BoundsRect());
    const FullSizePanelPlaces places = fullSizePanelPlaces(area, view, form.leftSlideshowImagePanel->Height(),
                                                           form.rightSlideshowImagePanel->Height());
    const POINT box{form.contentScrollBox->Left(), form.contentScrollBox->Top()};
    const auto place = [box](TControl* panel, POINT at) {
        panel->SetBounds(box.x + at.x, box.y + at.y, panel->Width(), panel->Height());
    };
    place(form.leftSlideshowImagePanel, places.previous);
    place(form.rightSlideshowImagePanel, places.next);
    place(form.closeSlideshowImagePanel, places.close);
}

// The overlay over the whole grid, then the view and the side panels.
void placeFullSizeParts(TForm1& form) {
    const FullSizeArea area = fullSizeArea(form);
    form.overlayImage->SetBounds(0, 0, area.clientWidth, area.clientHeight);
    FullSizeImage* view = form.fullSizeImage;
    if (view->isVideoMode())
        form.placeFullSize(kFullSizeVideoWidth, kFullSizeVideoHeight, true);
    else
        form.placeFullSize(view->bitmapWidth(), view->bitmapHeight(), false);
}

void enableContentScrollBar(TForm1& form, bool enable) {
    if (!form.contentScrollBar)
        return;
    form.contentScrollBar->EnableArrows(enable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    form.contentScrollBar->SetScrollPos(form.contentScrollBox->VertScrollBar()->Position(), true);
}

}  // namespace

void TForm1::showFullSize(Photo* photo) {
    if (!photo)
        return;
    FullSizeImage* view = ensureFullSizeImage(*this);
    overlayImage->BringToFront();
    view->BringToFront();
    for (TWinControl* panel : sidePanels(*this))
        panel->BringToFront();
    contentScrollBox->SetDoubleBuffered(true);
    view->setDoubleBuffered(true);
    setSidePanelsDoubleBuffered(*this, true);

    const bool isVideo = !photo->videoUrl.empty();
    view->hideMedia(isVideo);
    view->stopLoading();
    view->setPhoto(photo);
    placeFullSizeParts(*this);
    overlayImage->SetVisible(true);
    view->SetVisible(true);
    for (TWinControl* panel : sidePanels(*this))
        panel->SetVisible(true);

    const bool present = photo->fullSizePresent != 0;
    if (present)
        showFullSizeFile(*photo);
    else
        view->startLoading();
    if (!present || isVideo)
        contentScrollBox->Update();
    // The grid does not scroll while the view is up: its bar shows that.
    enableContentScrollBar(*this, false);
    if (present)
        refreshPointerOverFullSize();
    view->setDoubleBuffered(false);
    setSidePanelsDoubleBuffered(*this, false);
    if (present)
        goOnFromFullSize(*photo, false);
    requestFullSizeImage(photo);
}

void TForm1::showFullSizeFile(Photo& photo) {
    FullSizeImage* view = fullSizeImage;
    view->stopLoading();
    if (photo.videoUrl.empty()) {
        view->showMedia(photo.fullSizePath, L"");
        placeFullSize(view->bitmapWidth(), view->bitmapHeight(), false);
        view->showCover(true, true);
    } else {
        placeFullSize(kFullSizeVideoWidth, kFullSizeVideoHeight, true);
        view->showMedia(photo.fullSizePath, photo.videoUrl, contentScrollBar.get());
    }
}

void TForm1::goOnFromFullSize(Photo& photo, bool gaveUp) {
    const int at = photo.visibleIndex;
    const int count = static_cast<int>(visiblePhotos.size());
    // The item may have left the visible list (a search ran): there is nothing to go on from.
    const bool listed = at >= 0 && at < count && visiblePhotos[at] == &photo;
    if (slideshowRunning) {
        if (!listed || at + 1 >= count) {
            stopSlideshow();
        } else if (gaveUp) {
            rightSlideshowImageButtonBtnClick(nullptr);
        } else {
            slideshowTimer->SetEnabled(false);
            slideshowTimer->SetEnabled(true);
        }
    }
    if (gaveUp || !listed)
        return;
    for (int neighbour : {at - 1, at + 1}) {
        if (neighbour >= 0 && neighbour < count)
            requestFullSizeImage(visiblePhotos[neighbour]);
    }
}

void TForm1::hideFullSize(bool redraw) {
    if (!fullSizeImage)
        return;
    stopSlideshow();
    fullSizeImage->stopLoading();
    fullSizeImage->setDoubleBuffered(true);
    fullSizeImage->Invalidate();
    fullSizeImage->hideMedia(false);
    fullSizeImage->SetVisible(false);
    // The record may go with the next load: the hidden view keeps no pointer to it.
    fullSizeImage->setPhoto(nullptr);
    for (TWinControl* panel : sidePanels(*this))
        panel->SetVisible(false);
    overlayImage->SetVisible(false);
    if (redraw)
        contentScrollBox->Update();
    enableContentScrollBar(*this, true);
    fullSizeImage->setDoubleBuffered(false);
}

void TForm1::placeFullSize(int width, int height, bool isVideo) {
    if (!fullSizeImage)
        return;
    const FullSizeArea area = fullSizeArea(*this);
    const FullSizeBounds bounds = fullSizeBounds(area, width, height, isVideo, fullSizeImage->isVideoMode());
    fullSizeImage->SetBounds(bounds.left, bounds.top, bounds.width, bounds.height);
    placeSidePanels(*this, area, bounds);
}

void TForm1::placeFullSizeImage() {
    if (fullSizeImage && fullSizeImage->Visible())
        placeFullSizeParts(*this);
}

void TForm1::stopFullSizeTimers() {
    if (fullSizeImage && fullSizeImage->videoPart())
        fullSizeImage->videoPart()->stopTimers();
}

void TForm1::refreshPointerOverFullSize() {
    // The hint of the item before goes, and the controls under the pointer learn what is there now.
    if (Application)
        Application->CancelHint();
    POINT cursor{};
    if (GetCursorPos(&cursor)) {
        SetCursorPos(0, 0);
        SetCursorPos(cursor.x, cursor.y);
    }
}

void TForm1::onFullSizeSelectionChanged() {
    Photo* photo = fullSizePhoto();
    if (!photo)
        return;
    photo->selected = fullSizeImage->isSelected() ? 1 : 0;
    if (photo->tile) {
        contentScrollBox->SetDoubleBuffered(true);
        photo->tile->updateSelectionLook(photo->selected != 0);
        contentScrollBox->Update();
    }
}

Photo* TForm1::fullSizePhoto() const {
    return fullSizeImage && fullSizeImage->Visible() ? fullSizeImage->photo() : nullptr;
}

void TForm1::onPhotoImageOpen(ThumbnailImage* tile) {
    if (!tile || !tile->photo())
        return;
    tile->updateHoverLook(false);
    showFullSize(tile->photo());
}

void TForm1::openPhotoLink(ThumbnailImage* tile) {
    if (!tile || !tile->photo())
        return;
    const std::wstring& link = tile->photo()->link;
    // The link comes from the service: only a web address goes to the browser, never a file or
    // program of this machine.
    if (isWebOrMailLink(link) && _wcsnicmp(link.c_str(), L"mailto:", 7) != 0 && openLink(Handle(), link))
        return;
    showFeedWarning(
        formatString(L"Error while opening \"%s\" in the default Web browser.\r\nPlease launch your "
                     L"Web browser and go to:\r\n\r\n%s",
                     link.c_str(), link.c_str()));
}
