// The thumbnail grid: a virtual grid over the visible photos in the content scroll box, where only
// the rows in and next to the view have tiles; the pool the tiles come from and go back to; the
// scroll anchor that keeps the photo at the top of the view in place while the grid's width
// changes; tile hover, click mode and the tiles' tooltips.
#include "controls/Image.h"
#include "mainwindow/Photo.h"
#include "mainwindow/ThumbnailGrid.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"
#include <algorithm>
#include <cstdint>

using namespace gui;

namespace {

// A tile's photo position in the visible list, or SIZE_MAX when its photo left the list.
size_t visiblePosition(const ThumbnailImage* tile, const std::vector<Photo*>& visible) {
    const Photo* photo = tile->photo();
    if (!photo || photo->visibleIndex < 0 || static_cast<size_t>(photo->visibleIndex) >= visible.size() ||
        visible[photo->visibleIndex] != photo)
        return SIZE_MAX;
    return static_cast<size_t>(photo->visibleIndex);
}

}  // namespace

GridMetrics TForm1::gridMetrics() const {
    GridMetrics metrics;
    metrics.leftMargin = gridMarginLeft;
    metrics.rightMargin = gridMarginRight;
    metrics.topMargin = gridMarginTop;
    metrics.bottomMargin = gridMarginBottom;
    metrics.columnGap = gridColumnGap;
    metrics.rowGap = gridRowGap;
    metrics.thumbnailWidth = thumbnailWidth;
    metrics.thumbnailHeight = thumbnailHeight;
    return metrics;
}

void TForm1::layoutThumbnails(bool keepScrollPosition) {
    controls::TScrollBoxEx* box = contentScrollBox;
    if (!box)
        return;
    const int clientWidth = box->ClientWidth();
    const int clientHeight = box->ClientHeight();
    // A minimised window has no client area: nothing shows, and the position waits for the restore.
    if (!canLayOutGrid(clientWidth, clientHeight))
        return;
    if (!tileOutlines) {
        tileOutlines = std::make_unique<controls::TileListOf<ThumbnailImage>>(tilesInUse);
        box->thumbnails = tileOutlines.get();
    }
    const bool wasDoubleBuffered = box->DoubleBuffered();
    const GridMetrics metrics = gridMetrics();
    const size_t count = visiblePhotos.size();
    const int columns = gridColumns(metrics, clientWidth);
    const int range = gridRange(metrics, count, columns);
    TControlScrollBar* bar = box->VertScrollBar();
    if (bar->Position() > 0 && range - clientHeight < bar->Position())
        box->Invalidate();

    // Setting the range again costs a round of scroll-bar updates: only a new one is set.
    if (scrollAnchorIndex == -1 || keepScrollPosition) {
        if (bar->Range() != range)
            bar->SetRange(range);
    } else {
        const int target = anchoredScrollPosition(
            metrics, ScrollAnchor{scrollAnchorIndex, scrollAnchorOffset}, columns, range, clientHeight);
        if (bar->Position() != target || bar->Range() != range) {
            box->Invalidate();
            bar->SetRange(range);
            bar->SetPosition(target);
        }
    }
    placeContentScrollBar();
    // The one place of the full-size view: here the box has its size and its bar, on every layout.
    placeFullSizeImage();

    // Tiles whose photo left the band go back first, so the band's new photos reuse them; the
    // photos beside the one shown full size keep theirs.
    const int position = bar->Position();
    const GridBand band = gridBand(metrics, clientHeight, position, count, columns);
    size_t keepA = SIZE_MAX;
    size_t keepB = SIZE_MAX;
    if (const Photo* shown = fullSizePhoto(); shown && shown->visibleIndex >= 0) {
        keepA = static_cast<size_t>(shown->visibleIndex) - 1;
        keepB = static_cast<size_t>(shown->visibleIndex) + 1;
    }
    std::vector<size_t> inUse;
    for (ThumbnailImage* tile : tilesInUse)
        inUse.push_back(visiblePosition(tile, visiblePhotos));
    const std::vector<bool> recycle = tilesToRecycle(inUse, band, keepA, keepB);
    for (size_t index = 0; index < tilesInUse.size(); ++index)
        tilesInUse[index]->recycleMark = recycle[index];
    for (size_t index = 0; index < tilesInUse.size();) {
        if (tilesInUse[index]->recycleMark)
            recyclePhotoImage(static_cast<int>(index));
        else
            ++index;
    }

    // The box's own bar is covered by ours: the grid is centred in what ours leaves free.
    const int barWidth = bar->IsScrollBarVisible() ? 0 : GetSystemMetrics(SM_CXVSCROLL);
    const int left = gridLeft(metrics, clientWidth, columns, barWidth);
    for (size_t index = band.first; index < band.end; ++index) {
        Photo* photo = visiblePhotos[index];
        ThumbnailImage* tile = photo->tile ? photo->tile : acquirePhotoImage(photo);
        const TileOrigin origin = tileOrigin(metrics, left, position, index, columns);
        tile->setBounds(origin.left, origin.top, thumbnailWidth, thumbnailHeight);
        tile->setTileVisible(true);
    }
    box->Update();
    // The tiles next to the view ask for their pictures too, so that they have them when they
    // scroll in.
    for (ThumbnailImage* tile : tilesInUse) {
        if (wasDoubleBuffered)
            tile->requestPhoto();
        else
            tile->rebuildScaledPhoto();
    }
}

void TForm1::findScrollAnchor() {
    std::vector<TileTop> tops;
    for (const ThumbnailImage* tile : tilesInUse) {
        if (tile->photo() && tile->photo()->visibleIndex >= 0)
            tops.push_back(TileTop{tile->photo()->visibleIndex, tile->Top()});
    }
    const ScrollAnchor anchor = ::findScrollAnchor(tops);
    scrollAnchorIndex = anchor.index;
    scrollAnchorOffset = anchor.offset;
}

void TForm1::layoutGrid() {
    layoutThumbnails(false);
}

void TForm1::rememberScrollAnchor() {
    findScrollAnchor();
}

void TForm1::resetScrollAnchor() {
    scrollAnchorIndex = -1;
    scrollAnchorOffset = -1;
}

ThumbnailImage* TForm1::acquirePhotoImage(Photo* photo) {
    const bool shadows = showThumbnailShadowsMenuItem->Checked();
    const bool video = !photo->videoUrl.empty();
    ThumbnailImage* tile = nullptr;
    if (tilePool.empty()) {
        tile = new ThumbnailImage(photo, contentScrollBox, false, shadows, photo->thumbnailPath, video);
        ++tilesMade;
    } else {
        tile = tilePool.front();
        tilePool.erase(tilePool.begin());
        tile->setPhoto(photo);
        tile->setShowShadows(shadows);
        tile->loadFile(photo->thumbnailPath);
        tile->setVideoMark(video);
    }
    tile->recycleMark = false;
    tile->onOpenFullSize = [this](ThumbnailImage* t) { onPhotoImageOpen(t); };
    tile->onOpenPage = [this](ThumbnailImage* t) { openPhotoLink(t); };
    tile->onSelectionChanged = [this](ThumbnailImage* t) { onPhotoImageSelect(t); };
    tile->onMouseDown = [this](ThumbnailImage*) {
        if (topPanel->CanFocus())
            topPanel->SetFocus();
    };
    tilesInUse.push_back(tile);
    photo->tile = tile;
    return tile;
}

void TForm1::recyclePhotoImage(int index) {
    if (index < 0 || static_cast<size_t>(index) >= tilesInUse.size())
        return;
    ThumbnailImage* tile = tilesInUse[index];
    tilesInUse.erase(tilesInUse.begin() + index);
    tile->onOpenFullSize = nullptr;
    tile->onSelectionChanged = nullptr;
    tile->setTileVisible(false);
    tile->updateHoverLook(false);
    if (tile->photo() && tile->photo()->tile == tile)
        tile->photo()->tile = nullptr;
    tile->setPhoto(nullptr);
    tile->loadFile(L"");
    tile->setVideoMark(false);
    tile->setTooltipAllowed(true);
    tilePool.push_back(tile);
}

void TForm1::destroyTiles() {
    if (contentScrollBox)
        contentScrollBox->thumbnails = nullptr;
    tileOutlines.reset();
    while (!tilesInUse.empty())
        recyclePhotoImage(static_cast<int>(tilesInUse.size()) - 1);
    for (ThumbnailImage* tile : tilePool)
        delete tile;
    tilePool.clear();
}

void TForm1::clearTileHover() {
    for (ThumbnailImage* tile : tilesInUse)
        tile->updateHoverLook(false);
}

void TForm1::applyClickMode() {
    ThumbnailImage::setClickMode(showFullSizeWhenThumbnailClickingMenuItem->Checked());
}

void TForm1::bindTileHints() {
    applicationEvents->OnShowHint = [this](std::wstring& hint, bool& canShow, THintInfo& info) {
        applicationEventsShowHint(hint, canShow, info);
    };
}

void TForm1::applicationEventsShowHint(std::wstring& hintStr, bool& canShow, THintInfo& hintInfo) {
    canShow = false;
    if (auto* photo = dynamic_cast<PhotoImage*>(hintInfo.HintControl)) {
        if (photo->isTooltipAllowed() && !photo->tooltipText().empty()) {
            hintStr = photo->tooltipText();
            canShow = true;
        }
    } else if (auto* image = dynamic_cast<controls::Image*>(hintInfo.HintControl)) {
        // Such a picture explains itself once.
        if (image->CanShowHint()) {
            image->setCanShowHint(false);
            hintStr = image->Hint();
            canShow = true;
        }
    }
}
