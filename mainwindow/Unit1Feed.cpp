// The thumbnail grid and the user-name box: the smallest bodies the loading of a user relies on,
// until their own files take them over.
#include "mainwindow/Unit1.h"
#include "common/TextFunctions.h"
#include "resources/SkinIds.h"

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

bool TForm1::addUserNameToHistory(const std::wstring& name) {
    if (name.empty())
        return false;
    for (int row = 0; row < userNameListBox->Items()->Count(); ++row) {
        if (compareStrings(userNameListBox->Items()->Strings(row).substr(1), name, false) == 0)
            return false;
    }
    userNameListBox->Items()->Add(L"\t" + name);
    return true;
}

void TForm1::updateUserNameButtonFaces() {
    const int first = userNameImageButton->Tag() == 0 ? skin::startButton : skin::stopButton;
    userNameImageButton->setNormalResourceId(first);
    userNameImageButton->setMouseOverResourceId(first + 1);
    userNameImageButton->setMouseDownResourceId(first + 2);
}

void TForm1::userNamePanelResize(gui::TObject*) {
    placeUserNameBox();
}

void TForm1::recyclePhotoImage(int index) {
    if (index < 0 || static_cast<size_t>(index) >= tilesInUse.size())
        return;
    tilePool.push_back(tilesInUse[index]);
    tilesInUse.erase(tilesInUse.begin() + index);
}

void TForm1::layoutThumbnails(bool) {
    layoutGrid();
}
