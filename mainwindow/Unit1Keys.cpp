// Keys, Shift-click ranges and the mouse wheel over the grid.
#include "mainwindow/Unit1.h"

using gui::TObject;
using gui::TShiftState;

void TForm1::onPhotoImageSelect(ThumbnailImage*) {}
void TForm1::FormKeyDown(TObject*, WORD&, TShiftState) {}
void TForm1::FormKeyUp(TObject*, WORD&, TShiftState) {}
