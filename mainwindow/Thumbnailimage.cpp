#include "mainwindow/Thumbnailimage.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "controls/ResourceImage.h"
#include "gui/Application.h"
#include "gui/WinControl.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/Photo.h"
#include "resources/SkinIds.h"

using controls::Image;

namespace {

// The video mark and its copy at the tiles' size, shared by every photo picture and freed with
// the last one; with the context copies are made in ahead of painting.
struct VideoMark {
    gui::GdiPlusSession gdiPlus;  // outlives the pictures below
    std::unique_ptr<Gdiplus::Bitmap> picture;
    controls::PictureCache scaled;
    gui::TBitmap scratch;
};
VideoMark* sharedMark = nullptr;
// Decodes the photos' files, made with the first photo picture and stopped with the last one.
ThumbnailDecoder* decoder = nullptr;
int photoImages = 0;
int scaledCopyCount = 0;

// The shadows and the buttons' pictures (normal, pointer over, pressed), shared by every tile and
// freed with the last one.
enum ButtonRow { openFullSizeRow, openPageRow, markSelectedRow, markUnselectedRow, buttonRows };
struct TilePictures {
    gui::GdiPlusSession gdiPlus;
    std::unique_ptr<Gdiplus::Bitmap> shadows[7];
    std::unique_ptr<Gdiplus::Bitmap> pictures[buttonRows][3];
};
TilePictures* tilePictures = nullptr;
int tiles = 0;

const int buttonIds[buttonRows][3] = {
    {15098, 15099, 15100},
    {15145, 15146, 15147},
    {15101, 15148, 15149},
    {15102, 15150, 15151},
};
const int shadowIds[7] = {15024, 15025, 15026, 15027, 15028, 15029, 15030};
constexpr int videoMarkId = 15023;
constexpr int normalFace = 0;
constexpr int overFace = 1;
constexpr int pressedFace = 2;

SIZE pictureSize(int row) {
    Gdiplus::Bitmap* picture = tilePictures ? tilePictures->pictures[row][normalFace].get() : nullptr;
    if (!picture)
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(picture->GetWidth()), static_cast<LONG>(picture->GetHeight())};
}

POINT cursor() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// Where the pointer was when the button was let go: a window that takes the release late must
// not judge it by where the pointer has moved on to since.
POINT releasePoint() {
    const DWORD position = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

bool inVisibleRect(const gui::TControl* control, POINT p) {
    return controls::rectContains(controls::getVisibleScreenRect(control), p);
}

}  // namespace

// ---------------------------------------------------------------- PhotoImage

PhotoImage::PhotoImage(gui::TComponent* owner) : gui::TPaintBox(owner) {
    SetControlStyle(ControlStyle() | gui::csOpaque);
    SetParentShowHint(true);
    if (photoImages++ == 0) {
        sharedMark = new VideoMark;
        decoder = new ThumbnailDecoder;
    }
    if (!sharedMark->picture)
        sharedMark->picture = controls::loadSkinPicture(gui::HInstance(), videoMarkId);
}

PhotoImage::~PhotoImage() {
    decoder->cancel(this);
    picture_.reset();
    if (--photoImages == 0) {
        delete decoder;
        decoder = nullptr;
        delete sharedMark;
        sharedMark = nullptr;
    }
}

int PhotoImage::scaledCopies() {
    return scaledCopyCount;
}

void PhotoImage::loadPhoto(const std::wstring& path) {
    if (path == path_)
        return;
    path_ = path;
    decoder->cancel(this);
    requestedSize_ = SIZE{0, 0};
    undecodable_ = false;
    picture_.reset();
    scaled_.Reset();
    scaledSize_ = SIZE{0, 0};
    decoded_.reset();
    Repaint();
}

bool PhotoImage::hasPicture() const {
    return picture_ ||
           (scaledSize_.cx == Width() && scaledSize_.cy == Height() && Width() > 0 && Height() > 0);
}

void PhotoImage::requestPicture() {
    if (hasPicture() || undecodable_ || path_.empty() || Width() <= 0 || Height() <= 0 ||
        (requestedSize_.cx == Width() && requestedSize_.cy == Height()))
        return;
    requestedSize_ = SIZE{Width(), Height()};
    if (!decoder->request(this, path_, Width(), Height()))
        thumbnailDecoded(*ThumbnailDecoder::decode(ThumbnailDecodeJob{this, 0, path_, Width(), Height()}));
}

void PhotoImage::thumbnailDecoded(DecodedThumbnail& result) {
    requestedSize_ = SIZE{0, 0};
    // The copy at the tile's size is all a tile shows: the decoded picture is not kept with it,
    // and another size asks the decoder again.
    if (result.picture && result.scaled && result.scaled->Width() == Width() &&
        result.scaled->Height() == Height()) {
        scaled_.Adopt(std::move(result.scaled), result.scaledOpaque);
        scaledSize_ = SIZE{Width(), Height()};
        ++scaledCopyCount;
        Invalidate();
        return;
    }
    if (result.picture) {
        decoded_ = std::move(result.picture);
        picture_ = std::make_unique<Gdiplus::Bitmap>(decoded_->Width(), decoded_->Height(),
                                                     decoded_->Width() * 4, PixelFormat32bppPARGB,
                                                     reinterpret_cast<BYTE*>(decoded_->ScanLine(0)));
        if (picture_->GetLastStatus() != Gdiplus::Ok)
            picture_.reset();
    }
    if (!picture_) {
        decoded_.reset();
        undecodable_ = true;
        return;
    }
    Invalidate();
}

void PhotoImage::setVideoMark(bool on) {
    if (videoMark_ == on)
        return;
    videoMark_ = on;
    Invalidate();
}

void PhotoImage::rebuildScaledBitmap() {
    requestPicture();
    if (!hasPicture() || !sharedMark)
        return;
    if (sharedMark->scratch.Empty())
        sharedMark->scratch.SetSize(1, 1);
    // Drawn where nothing shows: only the copies are made.
    HDC dc = sharedMark->scratch.Canvas()->Handle();
    if (scaledSize_.cx != Width() || scaledSize_.cy != Height())
        drawPhoto(dc);
    if (videoMark_)
        drawVideoMark(dc, false);
}

void PhotoImage::drawPhoto(HDC dc) {
    const int before = scaled_.Renders();
    scaled_.Draw(dc, picture_.get(), Width(), Height(), controls::PictureCache::Fit::Stretch);
    scaledCopyCount += scaled_.Renders() - before;
    scaledSize_ = SIZE{Width(), Height()};
}

void PhotoImage::drawVideoMark(HDC dc, bool centred) {
    if (!sharedMark || !sharedMark->picture)
        return;
    const TileBounds mark = videoMarkBounds(Width(), Height());
    POINT old{};
    if (centred)
        OffsetViewportOrgEx(dc, mark.left, mark.top, &old);
    sharedMark->scaled.Draw(dc, sharedMark->picture.get(), mark.width, mark.height,
                            controls::PictureCache::Fit::Stretch);
    if (centred)
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void PhotoImage::Paint() {
    requestPicture();
    HDC dc = Canvas()->Handle();
    if (picture_) {
        drawPhoto(dc);
    } else if (!scaled_.DrawCopy(dc, Width(), Height())) {
        // The grid's fill leaves every tile out: a tile without a picture paints its own ground,
        // or the pixels of whatever was there before stay.
        Canvas()->Brush()->SetColor(static_cast<gui::TColor>(formlayout::kFrameGreyColor));
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
        return;
    }
    if (videoMark_)
        drawVideoMark(dc, true);
}

void PhotoImage::Dispatch(gui::TMessage& message) {
    const auto onVisiblePart = [this](LPARAM point) {
        return inVisibleRect(this, ClientToScreen(gui::PointFromLParam(point)));
    };
    if (!controls::dispatchHover(this, message, hover_, onVisiblePart, &onMouseEntered, &onMouseLeft))
        gui::TPaintBox::Dispatch(message);
}

// ---------------------------------------------------------------- ThumbnailImage

namespace {

// A tile's part is put on the grid hidden and shown once it is set up: a visible part repaints
// the grid at once at each step of its set-up, several milliseconds a tile under Wine.
template <typename Part>
Part* makeHiddenPart(gui::TWinControl* parent) {
    auto* part = new Part(parent);
    part->SetVisible(false);
    part->SetParent(parent);
    return part;
}

}  // namespace

bool ThumbnailImage::openOnClick_ = true;
ThumbnailImage* ThumbnailImage::hookedTile_ = nullptr;
Image* ThumbnailImage::pressedButton_ = nullptr;
HHOOK ThumbnailImage::pressHook_ = nullptr;

ThumbnailImage::ThumbnailImage(Photo* photo, gui::TWinControl* parent, bool visible, bool showShadows,
                               const std::wstring& thumbnailPath, bool videoMark)
    : photo_(photo), visible_(visible), shadowsShown_(showShadows), selected_(photo && photo->selected) {
    if (tiles++ == 0) {
        tilePictures = new TilePictures;
        for (int i = 0; i < 7; ++i)
            tilePictures->shadows[i] = controls::loadSkinPicture(gui::HInstance(), shadowIds[i]);
        for (int row = 0; row < buttonRows; ++row)
            for (int face = 0; face < 3; ++face)
                tilePictures->pictures[row][face] =
                    controls::loadSkinPicture(gui::HInstance(), buttonIds[row][face]);
    }

    for (size_t i = 0; i < shadows_.size(); ++i) {
        Image* shadow = makeHiddenPart<Image>(parent);
        shadow->setTransparent(true);
        shadow->setImageBitmap(tilePictures->shadows[i].get());
        shadow->SetVisible(visible_ && shadowsShown_);
        shadow->BringToFront();
        shadows_[i] = shadow;
    }
    const TileBorder border = tileBorder(selected_, hovered_);
    for (gui::TShape*& side : borders_) {
        side = makeHiddenPart<gui::TShape>(parent);
        side->SetShape(gui::stRectangle);
        side->Brush()->SetColor(static_cast<gui::TColor>(border.colour));
        side->Pen()->SetColor(static_cast<gui::TColor>(border.colour));
        side->SetVisible(visible_);
        side->BringToFront();
    }
    photoImage_ = makeHiddenPart<PhotoImage>(parent);
    photoImage_->SetBounds(40, 40, 306, 306);
    photoImage_->SetVisible(visible_);
    photoImage_->BringToFront();
    openFullSizeButton_ = makeHiddenPart<Image>(parent);
    openPageButton_ = makeHiddenPart<Image>(parent);
    selectionMark_ = makeHiddenPart<Image>(parent);
    for (Image* button : {openFullSizeButton_, openPageButton_, selectionMark_}) {
        button->setTransparent(true);
        button->BringToFront();
    }
    setButtonPicture(Button::OpenFullSize, normalFace);
    setButtonPicture(Button::OpenPage, normalFace);
    setButtonPicture(Button::SelectionMark, normalFace);
    selectionMark_->SetVisible(visible_ && selected_);

    photoImage_->setVideoMark(videoMark);
    photoImage_->loadPhoto(thumbnailPath);
    setPhoto(photo);

    photoImage_->onMouseEntered = [this](gui::TObject*) { updateHoverLook(true); };
    photoImage_->onMouseLeft = [this](gui::TObject*) {
        if (!pointerOverButtons())
            updateHoverLook(false);
    };
    photoImage_->OnMouseDown = [this](gui::TObject*, gui::TMouseButton button, gui::TShiftState, int, int) {
        if (button == gui::mbLeft)
            press(nullptr);
    };
    photoImage_->OnMouseUp = [this](gui::TObject*, gui::TMouseButton button, gui::TShiftState, int, int) {
        if (button == gui::mbLeft)
            photoMouseUp();
    };
    for (Button which : {Button::OpenFullSize, Button::OpenPage, Button::SelectionMark}) {
        Image* image = buttonImage(which);
        image->OnMouseEnter = [this, which](gui::TObject*) { buttonEntered(which); };
        image->OnMouseLeave = [this, which](gui::TObject*) { buttonLeft(which); };
        image->OnMouseDown = [this, image](gui::TObject*, gui::TMouseButton button, gui::TShiftState, int,
                                           int) {
            if (button == gui::mbLeft)
                press(image);
        };
        image->OnMouseUp = [this, which](gui::TObject*, gui::TMouseButton button, gui::TShiftState, int,
                                         int) {
            if (button == gui::mbLeft)
                buttonMouseUp(which);
        };
    }
    placeParts();
}

ThumbnailImage::~ThumbnailImage() {
    if (hookedTile_ == this)
        endPress();
    if (photo_ && photo_->tile == this)
        photo_->tile = nullptr;
    for (Image* button : {selectionMark_, openPageButton_, openFullSizeButton_})
        delete button;
    delete photoImage_;
    for (gui::TShape* side : borders_)
        delete side;
    for (Image* shadow : shadows_)
        delete shadow;
    if (--tiles == 0) {
        delete tilePictures;
        tilePictures = nullptr;
    }
}

void ThumbnailImage::setPhoto(Photo* photo) {
    photo_ = photo;
    if (!photo) {
        updateSelectionLook(false);
        photoImage_->setTooltipText(L"");
        return;
    }
    updateSelectionLook(photo->selected != 0);
    photoImage_->setTooltipText(tileTooltipText(photo->dateText, photo->caption));
}

void ThumbnailImage::setBounds(int left, int top, int width, int height) {
    if (photoImage_->Left() == left && photoImage_->Top() == top && photoImage_->Width() == width &&
        photoImage_->Height() == height)
        return;
    photoImage_->SetBounds(left, top, width, height);
    placeParts();
}

RECT ThumbnailImage::getOuterRect() const {
    const int b = tileBorder(selected_, hovered_).width;
    return RECT{Left() - b, Top() - b, Left() + Width() + b, Top() + Height() + b};
}

void ThumbnailImage::placeParts() {
    const TileBorder border = tileBorder(selected_, hovered_);
    const ButtonSizes sizes{pictureSize(openFullSizeRow), pictureSize(openPageRow),
                            pictureSize(markUnselectedRow)};
    const auto parts = placeTileParts(TileBounds{Left(), Top(), Width(), Height()}, border.width, sizes);
    for (size_t i = 0; i < shadows_.size(); ++i)
        shadows_[i]->SetBounds(parts[shadowTopLeft + i].left, parts[shadowTopLeft + i].top,
                               parts[shadowTopLeft + i].width, parts[shadowTopLeft + i].height);
    for (size_t i = 0; i < borders_.size(); ++i)
        borders_[i]->SetBounds(parts[borderLeft + i].left, parts[borderLeft + i].top,
                               parts[borderLeft + i].width, parts[borderLeft + i].height);
    const std::pair<Image*, TilePart> buttons[] = {{openFullSizeButton_, TilePart::openFullSizeButton},
                                                   {openPageButton_, TilePart::openPageButton},
                                                   {selectionMark_, TilePart::selectionMark}};
    for (const auto& [image, part] : buttons)
        image->SetBounds(parts[part].left, parts[part].top, parts[part].width, parts[part].height);
}

void ThumbnailImage::applyBorder() {
    const TileBorder border = tileBorder(selected_, hovered_);
    for (gui::TShape* side : borders_) {
        side->Brush()->SetColor(static_cast<gui::TColor>(border.colour));
        side->Pen()->SetColor(static_cast<gui::TColor>(border.colour));
    }
    placeParts();
}

void ThumbnailImage::showButtons() {
    openFullSizeButton_->SetVisible(visible_ && hovered_);
    openPageButton_->SetVisible(visible_ && hovered_);
    selectionMark_->SetVisible(visible_ && (selected_ || hovered_));
}

void ThumbnailImage::setTileVisible(bool on) {
    if (visible_ == on)
        return;
    visible_ = on;
    for (Image* shadow : shadows_)
        shadow->SetVisible(visible_ && shadowsShown_);
    for (gui::TShape* side : borders_)
        side->SetVisible(visible_);
    photoImage_->SetVisible(visible_);
    showButtons();
}

void ThumbnailImage::setShowShadows(bool on) {
    if (shadowsShown_ == on)
        return;
    shadowsShown_ = on;
    for (Image* shadow : shadows_)
        shadow->SetVisible(visible_ && shadowsShown_);
}

void ThumbnailImage::updateSelectionLook(bool selected) {
    if (selected_ == selected)
        return;
    selected_ = selected;
    applyBorder();
    const bool over = inVisibleRect(selectionMark_, cursor());
    setButtonPicture(Button::SelectionMark, over ? overFace : normalFace);
    selectionMark_->SetVisible(visible_ && (selected_ || hovered_));
    selectionMark_->Repaint();
}

void ThumbnailImage::updateHoverLook(bool hovered) {
    // Whoever clears the look clears the photo's own flag too, so the next move over it counts
    // as an arrival again.
    if (!hovered)
        photoImage_->forgetHover();
    if (hovered_ == hovered)
        return;
    hovered_ = hovered;
    if (hovered)
        photoImage_->setTooltipAllowed(true);
    applyBorder();
    showButtons();
}

Image* ThumbnailImage::buttonImage(Button button) const {
    switch (button) {
    case Button::OpenFullSize:
        return openFullSizeButton_;
    case Button::OpenPage:
        return openPageButton_;
    case Button::SelectionMark:
        break;
    }
    return selectionMark_;
}

void ThumbnailImage::setButtonPicture(Button button, int face) {
    if (!tilePictures)
        return;
    const int row = button == Button::OpenFullSize ? openFullSizeRow
                    : button == Button::OpenPage   ? openPageRow
                    : selected_                    ? markSelectedRow
                                                   : markUnselectedRow;
    buttonImage(button)->setImageBitmap(tilePictures->pictures[row][face].get());
}

bool ThumbnailImage::pointerIn(const gui::TControl* control, POINT p) const {
    return control->Visible() && inVisibleRect(control, p);
}

bool ThumbnailImage::pointerOverButtons() const {
    const POINT p = cursor();
    return pointerIn(openFullSizeButton_, p) || pointerIn(openPageButton_, p) || pointerIn(selectionMark_, p);
}

void ThumbnailImage::buttonEntered(Button button) {
    setButtonPicture(button, pressedButton_ == buttonImage(button) ? pressedFace : overFace);
    if (button == Button::SelectionMark)
        updateHoverLook(true);
}

void ThumbnailImage::buttonLeft(Button button) {
    setButtonPicture(button, normalFace);
    const POINT p = cursor();
    gui::TWinControl* parent = photoImage_->Parent();
    const bool overPhoto = parent && parent->HandleAllocated() && WindowFromPoint(p) == parent->Handle() &&
                           inVisibleRect(photoImage_, p);
    if (!overPhoto)
        updateHoverLook(false);
}

void ThumbnailImage::press(Image* pressed) {
    photoImage_->setTooltipAllowed(false);
    if (pressed == openFullSizeButton_)
        setButtonPicture(Button::OpenFullSize, pressedFace);
    else if (pressed == openPageButton_)
        setButtonPicture(Button::OpenPage, pressedFace);
    else if (pressed == selectionMark_)
        setButtonPicture(Button::SelectionMark, pressedFace);
    hookedTile_ = this;
    pressedButton_ = pressed;
    if (!pressHook_)
        pressHook_ = SetWindowsHookExW(WH_MOUSE, pressHookProc, gui::HInstance(), GetCurrentThreadId());
    if (onMouseDown)
        onMouseDown(this);
}

void ThumbnailImage::endPress() {
    hookedTile_ = nullptr;
    pressedButton_ = nullptr;
    if (pressHook_) {
        UnhookWindowsHookEx(pressHook_);
        pressHook_ = nullptr;
    }
}

LRESULT CALLBACK ThumbnailImage::pressHookProc(int code, WPARAM message, LPARAM record) {
    if (code == HC_ACTION) {
        try {
            if (message == WM_MOUSEMOVE && hookedTile_) {
                ThumbnailImage* tile = hookedTile_;
                const POINT p = reinterpret_cast<const MOUSEHOOKSTRUCT*>(record)->pt;
                tile->updateHoverLook(
                    inVisibleRect(tile->photoImage_, p) ||
                    (tile->openFullSizeButton_->Visible() && inVisibleRect(tile->openFullSizeButton_, p)) ||
                    (tile->openPageButton_->Visible() && inVisibleRect(tile->openPageButton_, p)));
            } else if (message == WM_LBUTTONUP) {
                HHOOK hook = pressHook_;
                hookedTile_ = nullptr;
                pressedButton_ = nullptr;
                pressHook_ = nullptr;
                const LRESULT result = CallNextHookEx(hook, code, message, record);
                if (hook)
                    UnhookWindowsHookEx(hook);
                return result;
            }
        } catch (...) {
            gui::Application->HandleException(nullptr, std::current_exception());
        }
    }
    return CallNextHookEx(pressHook_, code, message, record);
}

void ThumbnailImage::toggleSelection() {
    updateSelectionLook(!selected_);
    if (photo_)
        photo_->selected = selected_ ? 1 : 0;
    if (onSelectionChanged)
        onSelectionChanged(this);
}

void ThumbnailImage::photoMouseUp() {
    // Judged where the button was let go: the hover look follows the pointer, which may have moved
    // on before a busy window takes the release.
    const POINT p = releasePoint();
    if (!inVisibleRect(photoImage_, p))
        return;
    if (openOnClick_) {
        if (!pointerIn(selectionMark_, p) && !pointerIn(openPageButton_, p) && onOpenFullSize)
            onOpenFullSize(this);
    } else if (!pointerIn(openFullSizeButton_, p) && !pointerIn(openPageButton_, p)) {
        toggleSelection();
    }
}

void ThumbnailImage::buttonMouseUp(Button button) {
    Image* image = buttonImage(button);
    const POINT p = releasePoint();
    // The button showed when it was pressed; the hover look may have hidden it since.
    const bool inside = inVisibleRect(image, p);
    switch (button) {
    case Button::OpenFullSize:
        if (inside)
            setButtonPicture(button, overFace);
        if ((openOnClick_ ? !pointerIn(selectionMark_, p) : inside) && onOpenFullSize)
            onOpenFullSize(this);
        break;
    case Button::OpenPage:
        if (inside) {
            setButtonPicture(button, overFace);
            if (onOpenPage)
                onOpenPage(this);
        }
        break;
    case Button::SelectionMark:
        setButtonPicture(button, inside ? overFace : normalFace);
        if (!inside && !inVisibleRect(photoImage_, p))
            break;
        if (openOnClick_ ? inside : (!pointerIn(openFullSizeButton_, p) && !pointerIn(openPageButton_, p)))
            toggleSelection();
        break;
    }
}
