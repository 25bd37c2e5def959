// The main window's side of video in the full-size view.
#include "mainwindow/Unit1.h"

void TForm1::pauseFullSizeMedia() {}
void TForm1::placeFullSizeVideo() {}
