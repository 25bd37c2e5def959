// Keys, Shift-click ranges and the mouse wheel over the grid.
#include <windowsx.h>

#include "gui/ApplicationEvents.h"
#include "gui/CustomScrollBar.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Photo.h"
#include "mainwindow/SelectionRange.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"

using namespace gui;

namespace {

bool isShiftHeld() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

}  // namespace

void TForm1::bindKeys() {
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FormKeyDown(s, key, shift); };
    OnKeyUp = [this](TObject* s, WORD& key, TShiftState shift) { FormKeyUp(s, key, shift); };
    applicationEvents->OnMessage = [this](MSG& msg, bool& handled) {
        applicationEventsMessage(msg, handled);
    };
}

bool TForm1::modalWindowOpen() {
    // A message box or modal window owned by this one disables it.
    return !HandleAllocated() || !IsWindowEnabled(Handle());
}

bool TForm1::keysIgnored() {
    return modalWindowOpen() || userNameEdit->Focused() || searchEdit->Focused();
}

void TForm1::onPhotoImageSelect(ThumbnailImage* tile) {
    Photo* clicked = tile->photo();
    if (!clicked)
        return;
    const ShiftClickRange range =
        shiftClickRange(selectionAnchor, clicked->visibleIndex, isShiftHeld(), visiblePhotos.size());
    selectionAnchor = range.anchor;
    if (range.first == range.end)
        return;
    const bool selected = tile->isSelected();
    contentScrollBox->SetDoubleBuffered(true);
    for (size_t at = range.first; at < range.end; ++at) {
        Photo* photo = visiblePhotos[at];
        photo->selected = selected ? 1 : 0;
        if (photo->tile)
            photo->tile->updateSelectionLook(selected);
    }
    contentScrollBox->Update();
}

void TForm1::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
    if (keysIgnored())
        return;
    if (key == 'A' && shift.Contains(ssCtrl)) {
        selectAllImageButtonBtnClick(this);
        return;
    }
    if (!fullSizePhoto())
        return;
    switch (key) {
    case VK_LEFT:
        leftSlideshowImageButtonBtnClick(leftSlideshowImageButton);
        break;
    case VK_RIGHT:
        rightSlideshowImageButtonBtnClick(rightSlideshowImageButton);
        break;
    case VK_ESCAPE:
        closeSlideshowImageButtonBtnClick(closeSlideshowImageButton);
        break;
    case VK_SPACE:
    case VK_RETURN:
        // As a click on the view's mark: the item and its tile follow.
        fullSizeImage->toggleSelection();
        break;
    default:
        break;
    }
}

void TForm1::FormKeyUp(TObject*, WORD& key, TShiftState) {
    if (keysIgnored() || !fullSizePhoto() || (key != VK_LEFT && key != VK_RIGHT))
        return;
    // The controls under the pointer would keep the hover look and tooltip of the item stepped
    // away from.
    refreshPointerOverFullSize();
}

void TForm1::applicationEventsMessage(MSG& msg, bool&) {
    if (msg.message != WM_MOUSEWHEEL || !Active() || modalWindowOpen() || fullSizePhoto() ||
        !contentScrollBox->HandleAllocated())
        return;
    RECT box{};
    GetWindowRect(contentScrollBox->Handle(), &box);
    const POINT pointer{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (!PtInRect(&box, pointer))
        return;
    TControlScrollBar* bar = contentScrollBox->VertScrollBar();
    const int before = bar->Position();
    // One step per wheel message, whatever the size of its delta.
    const int delta = GET_WHEEL_DELTA_WPARAM(msg.wParam);
    if (delta == 0)
        return;
    bar->SetPosition(delta < 0 ? before + bar->LineStep() : before - bar->LineStep());
    if (bar->Position() == before)
        return;
    if (contentScrollBar)
        contentScrollBar->SetScrollPos(bar->Position(), true);
    resetScrollAnchor();
    layoutThumbnails(false);
}
