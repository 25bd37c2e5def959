// Loading a user's feed, the thumbnail grid and the user-name box: empty until their own files
// take them over.
#include "mainwindow/Unit1.h"

void TForm1::queueThumbnailBatch(bool) {}
void TForm1::loadSettings() {}
void TForm1::saveSettings() {}
void TForm1::layoutGrid() {}
void TForm1::rememberScrollAnchor() {}
void TForm1::resetScrollAnchor() {}
void TForm1::clearTileHover() {}
void TForm1::applyClickMode() {}
void TForm1::userNameListBoxPanelResize(gui::TObject*) {}
void TForm1::closeHistoryDropDown() {}
void TForm1::userNameListBoxMouseMove(gui::TObject*, gui::TShiftState, int, int) {}
void TForm1::refreshUserNameEditText() {
    updateUserNameEditText();
}
