// The main window's side of video in the full-size view.
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Unit1.h"

void TForm1::pauseFullSizeMedia() {
    if (fullSizeImage && fullSizeImage->videoPart())
        fullSizeImage->videoPart()->pause();
}

void TForm1::placeFullSizeVideo() {
    // The player's place is kept in screen terms: a move of the window is a move of the player.
    if (fullSizeImage && fullSizeImage->videoPart() && fullSizeImage->Visible())
        fullSizeImage->videoPart()->layout();
}
