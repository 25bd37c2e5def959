#include "mainwindow/FullSizeImage.h"

#include "common/PathFunctions.h"
#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "controls/ResourceImage.h"
#include "gui/CustomScrollBar.h"
#include "mainwindow/Photo.h"
#include "mainwindow/TileGeometry.h"
#include "resources/SkinIds.h"

using controls::AnimatedGif;
using controls::Image;
using gui::TMouseButton;
using gui::TObject;
using gui::TShiftState;

namespace {

constexpr gui::TColor kFrameColour = 0x818187;
constexpr int kLoadingSide = 32;
constexpr int kNormalFace = 0;
constexpr int kOverFace = 1;
constexpr int kPressedFace = 2;
const int kMarkFaceIds[2][3] = {
    {skin::markUnselected, skin::markUnselectedOver, skin::markUnselectedPressed},
    {skin::markSelected, skin::markSelectedOver, skin::markSelectedPressed},
};

gui::TPanel* makeBlackPanel(gui::TComponent* owner, gui::TWinControl* parent) {
    auto* panel = new gui::TPanel(owner);
    panel->SetParent(parent);
    panel->SetColor(gui::clBlack);
    panel->SetBevelOuter(gui::bvNone);
    panel->SetBevelInner(gui::bvNone);
    panel->SetBorderStyle(gui::bsNone);
    panel->SetCaption(L"");
    return panel;
}

AnimatedGif* makeLoading(gui::TComponent* owner, gui::TWinControl* parent, int resourceId, bool transparent) {
    auto* loading = new AnimatedGif(owner);
    loading->SetParent(parent);
    loading->SetBounds(0, 0, kLoadingSide, kLoadingSide);
    loading->setTransparent(transparent);
    loading->setAnimatedGifResourceId(resourceId);
    loading->SetVisible(false);
    return loading;
}

void centre(gui::TControl* control, int width, int height) {
    control->SetBounds((width - control->Width()) / 2, (height - control->Height()) / 2, control->Width(),
                       control->Height());
}

}  // namespace

FullSizeImage::FullSizeImage(gui::TComponent* owner, gui::TWinControl* parent) : gui::TPanel(owner) {
    SetParent(parent);
    SetVisible(false);
    SetColor(gui::clBlack);
    SetBevelOuter(gui::bvNone);
    SetBevelInner(gui::bvNone);
    SetBorderStyle(gui::bsNone);
    SetCaption(L"");
    SetBounds(0, 0, 0, 0);

    frame_ = new gui::TShape(this);
    frame_->SetParent(this);
    frame_->SetShape(gui::stRectangle);
    frame_->Brush()->SetColor(gui::clBlack);
    frame_->Pen()->SetColor(kFrameColour);
    frame_->Pen()->SetWidth(kFrameWidth);

    bigLoading_ = makeLoading(this, this, skin::loadingBig, false);

    picturePanel_ = makeBlackPanel(this, this);
    picturePanel_->SetVisible(false);
    picture_ = new Image(this);
    picture_->SetParent(picturePanel_);
    // A picture smaller than the view is shown enlarged, never repeated like a pattern.
    picture_->setStretch(true);
    picture_->OnMouseEnter = [this](TObject*) { picture_->setCanShowHint(true); };
    picture_->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        if (button != gui::mbLeft)
            return;
        picture_->setCanShowHint(false);
        if (onMouseDown)
            onMouseDown(this);
    };
    picture_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button == gui::mbLeft && pointIn(picture_, picture_->ClientToScreen(POINT{x, y})))
            toggleSelection();
    };
    smallLoading_ = makeLoading(this, picturePanel_, skin::loadingSmall, true);

    for (int selected = 0; selected < 2; ++selected) {
        for (int face = 0; face < 3; ++face)
            markFaces_[selected][face] =
                controls::loadSkinPicture(gui::HInstance(), kMarkFaceIds[selected][face]);
    }
    selectionMark_ = new Image(this);
    selectionMark_->SetParent(picturePanel_);
    selectionMark_->setTransparent(true);
    selectionMark_->SetVisible(false);
    if (Gdiplus::Bitmap* face = markFaces_[0][kNormalFace].get())
        selectionMark_->SetBounds(0, 0, static_cast<int>(face->GetWidth()),
                                  static_cast<int>(face->GetHeight()));
    showMarkFace(false);
    selectionMark_->OnMouseEnter = [this](TObject*) { showMarkFace(markPressed_); };
    selectionMark_->OnMouseLeave = [this](TObject*) { showMarkFace(false); };
    selectionMark_->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        if (button != gui::mbLeft)
            return;
        markPressed_ = true;
        showMarkFace(true);
        if (onMouseDown)
            onMouseDown(this);
    };
    selectionMark_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button != gui::mbLeft)
            return;
        markPressed_ = false;
        // Where the button went up, not where the pointer is by now.
        if (pointIn(selectionMark_, selectionMark_->ClientToScreen(POINT{x, y})))
            toggleSelection();
        else
            showMarkFace(false);
    };
}

FullSizeImage::~FullSizeImage() {
    video_.reset();
    // The pictures below go before the controls that show them.
    picture_->setImageBitmap(nullptr);
    selectionMark_->setImageBitmap(nullptr);
}

void FullSizeImage::setVideoPart(std::unique_ptr<FullSizeVideoPart> part) {
    video_ = std::move(part);
    if (video_) {
        video_->setVideoMode(videoMode_);
        video_->layout();
    }
}

void FullSizeImage::setPhoto(Photo* photo) {
    photo_ = photo;
    setSelected(photo && photo->selected);
    picture_->SetHint(photo ? tileTooltipText(photo->dateText, photo->caption) : std::wstring());
}

void FullSizeImage::loadPicture(const std::wstring& path) {
    picture_->setImageBitmap(nullptr);
    shownPicture_.reset();
    decoded_.SetSize(0, 0);
    // Decoded into memory of our own: the file stays free to be replaced or deleted.
    if (!path.empty() && gui::DecodePictureFile(makeLongPath(path), decoded_) && !decoded_.Empty()) {
        shownPicture_ = std::make_unique<Gdiplus::Bitmap>(decoded_.Width(), decoded_.Height(),
                                                          decoded_.Width() * 4, PixelFormat32bppPARGB,
                                                          reinterpret_cast<BYTE*>(decoded_.ScanLine(0)));
        if (shownPicture_->GetLastStatus() != Gdiplus::Ok)
            shownPicture_.reset();
    }
    picture_->setImageBitmap(shownPicture_.get());
}

void FullSizeImage::showMedia(const std::wstring& pictureFile, const std::wstring& videoAddress,
                              gui::CustomScrollBar* scrollBar) {
    if (videoMode_ && video_)
        video_->pause();
    if (!videoAddress.empty()) {
        setVideoMode(true);
        loadPicture(pictureFile);
        showCover(false, false);
        if (scrollBar) {
            scrollBar->EnableArrows(ESB_DISABLE_BOTH);
            scrollBar->SetScrollPos(scrollBar->GetScrollPos(), true);
        }
        if (video_)
            video_->open(videoAddress);
        return;
    }
    loadPicture(pictureFile);
    picturePanel_->SetVisible(true);
    picturePanel_->BringToFront();
    if (video_)
        video_->hide();
    setVideoMode(false);
}

void FullSizeImage::hideMedia(bool videoMode) {
    if (video_)
        video_->pause();
    picturePanel_->SetVisible(false);
    loadPicture(L"");
    if (video_)
        video_->hide();
    setVideoMode(false);
    selectionMark_->SetVisible(false);
    stopOpening();
    picture_->setCanShowHint(true);
    setVideoMode(videoMode);
}

void FullSizeImage::showCover(bool withPlayer, bool redraw) {
    stopLoading();
    stopOpening();
    picturePanel_->SetVisible(true);
    picturePanel_->BringToFront();
    selectionMark_->SetVisible(true);
    selectionMark_->BringToFront();
    if (videoMode_ && video_)
        video_->showCover(withPlayer);
    picture_->setCanShowHint(true);
    if (redraw)
        Update();
}

void FullSizeImage::startLoading() {
    centre(bigLoading_, Width(), Height());
    bigLoading_->SetVisible(true);
    bigLoading_->BringToFront();
    bigLoading_->Play();
}

void FullSizeImage::stopLoading() {
    bigLoading_->Stop();
    bigLoading_->SetVisible(false);
}

void FullSizeImage::startOpening() {
    centre(smallLoading_, picture_->Width(), picture_->Height());
    smallLoading_->SetVisible(true);
    smallLoading_->BringToFront();
    smallLoading_->Play();
}

void FullSizeImage::stopOpening() {
    smallLoading_->Stop();
    smallLoading_->SetVisible(false);
}

void FullSizeImage::setSelected(bool on) {
    if (selected_ == on)
        return;
    selected_ = on;
    showMarkFace(false);
}

void FullSizeImage::showMarkFace(bool pressed) {
    const int face = pressed ? kPressedFace : (pointerOver(selectionMark_) ? kOverFace : kNormalFace);
    selectionMark_->setImageBitmap(markFaces_[selected_ ? 1 : 0][face].get());
    selectionMark_->Repaint();
}

bool FullSizeImage::pointerOver(const gui::TControl* control) const {
    POINT cursor{};
    GetCursorPos(&cursor);
    return pointIn(control, cursor);
}

bool FullSizeImage::pointIn(const gui::TControl* control, POINT screen) const {
    return control->Showing() && controls::rectContains(controls::getVisibleScreenRect(control), screen);
}

void FullSizeImage::toggleSelection() {
    setSelected(!selected_);
    if (onSelectionChanged)
        onSelectionChanged(this);
}

void FullSizeImage::setVideoMode(bool on) {
    if (videoMode_ == on)
        return;
    videoMode_ = on;
    selectionMark_->SetParent(on ? static_cast<gui::TWinControl*>(this) : picturePanel_);
    layoutParts();
    if (video_)
        video_->setVideoMode(on);
}

void FullSizeImage::setDoubleBuffered(bool on) {
    SetDoubleBuffered(on);
    picturePanel_->SetDoubleBuffered(on);
}

int FullSizeImage::bitmapWidth() const {
    return picture_->BitmapWidth() + 2 * kFrameWidth;
}

int FullSizeImage::bitmapHeight() const {
    return picture_->BitmapHeight() + 2 * kFrameWidth + (videoMode_ ? kControlBarHeight : 0);
}

void FullSizeImage::SetBounds(int left, int top, int width, int height) {
    const bool resized = width != Width() || height != Height();
    const bool moved = left != Left() || top != Top();
    gui::TPanel::SetBounds(left, top, width, height);
    // A resize lays the parts out (and the video part with them); a move only concerns the player.
    if (moved && !resized && video_)
        video_->layout();
}

void FullSizeImage::Resize() {
    layoutParts();
    gui::TPanel::Resize();
}

void FullSizeImage::layoutParts() {
    if (!frame_)
        return;
    frame_->SetBounds(0, 0, Width(), Height());
    centre(bigLoading_, Width(), Height());
    placePicturePanel();
    picture_->SetBounds(0, 0, picturePanel_->Width(), picturePanel_->Height());
    centre(smallLoading_, picture_->Width(), picture_->Height());
    placeSelectionMark();
    if (video_)
        video_->layout();
}

void FullSizeImage::placePicturePanel() {
    const int bar = videoMode_ ? kControlBarHeight : 0;
    picturePanel_->SetBounds(kFrameWidth, kFrameWidth, std::max(0, Width() - 2 * kFrameWidth),
                             std::max(0, Height() - 2 * kFrameWidth - bar));
}

void FullSizeImage::placeSelectionMark() {
    const gui::TControl* within = videoMode_ ? static_cast<const gui::TControl*>(this) : picturePanel_;
    selectionMark_->SetBounds(within->Width() - selectionMark_->Width(),
                              within->Height() - selectionMark_->Height(), selectionMark_->Width(),
                              selectionMark_->Height());
}
