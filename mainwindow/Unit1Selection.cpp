// Selecting every photo or none from the toolbar.
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"

using namespace gui;

void TForm1::bindSelectionButtons() {
    selectAllImageButton->OnBtnClick = [this](TObject* s) { selectAllImageButtonBtnClick(s); };
    unselectAllImageButton->OnBtnClick = [this](TObject* s) { unselectAllImageButtonBtnClick(s); };
}

void TForm1::selectAllPhotos(bool selected) {
    allSelected = selected;
    // Hidden photos too: a save after the search is cleared takes what the user chose here.
    for (Photo* photo : photos)
        photo->selected = selected ? 1 : 0;
    contentScrollBox->SetDoubleBuffered(true);
    for (ThumbnailImage* tile : tilesInUse)
        tile->updateSelectionLook(selected);
    contentScrollBox->Update();
    if (fullSizeImage)
        fullSizeImage->setSelected(selected);
    selectionAnchor = -1;
}

void TForm1::selectAllImageButtonBtnClick(TObject*) {
    selectAllPhotos(true);
}

void TForm1::unselectAllImageButtonBtnClick(TObject*) {
    selectAllPhotos(false);
}
