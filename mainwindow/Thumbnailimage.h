#pragma once
// One tile of the thumbnail grid: the photo (PhotoImage) with its shadows, its border and three
// picture buttons that appear while the pointer is over it (open full size, open the item's page,
// the selection mark). The grid reuses tiles for other photos; a tile reports clicks through its
// four callbacks.
#include "controls/HoverState.h"
#include "controls/Image.h"
#include "controls/PictureCache.h"
#include "gui/Bitmap.h"
#include "gui/GdiPlus.h"
#include "gui/PaintBox.h"
#include "gui/Shape.h"
#include "mainwindow/ThumbnailDecoder.h"
#include "mainwindow/TileGeometry.h"
#include <windows.h>
#include <array>
#include <functional>
#include <memory>
#include <string>

struct Photo;

// A thumbnail picture drawn stretched to the control's size from a copy rendered once per size,
// with an optional video mark in the middle.
class PhotoImage : public gui::TPaintBox, private ThumbnailDecoder::Client {
public:
    explicit PhotoImage(gui::TComponent* owner);
    ~PhotoImage() override;

    // Takes the picture file (an empty path drops the picture); nothing when the path is the
    // current one. The file is decoded and scaled off the GUI thread once the control needs it
    // (it paints, or rebuildScaledBitmap is called); until the picture arrives, and when the file
    // does not decode, the control paints its own ground.
    void loadPhoto(const std::wstring& path);
    const std::wstring& path() const { return path_; }
    // The picture is there at the control's size (decoded, or only its copy at that size).
    bool hasPicture() const;
    void setVideoMark(bool on);
    bool videoMark() const { return videoMark_; }
    void setTooltipAllowed(bool on) { tooltipAllowed_ = on; }
    bool isTooltipAllowed() const { return tooltipAllowed_; }
    // The text the program's hint handler shows for this control (its Hint stays empty).
    const std::wstring& tooltipText() const { return tooltipText_; }
    void setTooltipText(const std::wstring& text) { tooltipText_ = text; }
    // Renders the scaled copy (and the shared video mark) now, so the next paint only copies; a
    // picture that is not there yet is asked for.
    void rebuildScaledBitmap();
    // Asks for the picture at the control's size, when it is not there and not asked for yet.
    void requestPicture();
    // How many scaled copies of photos all instances made.
    static int scaledCopies();

    bool hovered() const { return hover_.Hovered(); }
    void forgetHover() { hover_.Set(false); }
    gui::TNotifyEvent onMouseEntered;
    gui::TNotifyEvent onMouseLeft;

    void Dispatch(gui::TMessage& message) override;

protected:
    void Paint() override;

private:
    void thumbnailDecoded(DecodedThumbnail& result) override;
    void drawPhoto(HDC dc);
    // The shared mark at this photo's mark size; centred: where it shows, else at the origin.
    void drawVideoMark(HDC dc, bool centred);

    gui::GdiPlusSession gdiPlus_;
    // The file's pixels (the file stays free), kept only when the copy had to be made here.
    std::unique_ptr<gui::TBitmap> decoded_;
    std::unique_ptr<Gdiplus::Bitmap> picture_;  // over decoded_'s pixels
    controls::PictureCache scaled_;
    SIZE scaledSize_{0, 0};     // of the copy in scaled_; 0 x 0 when there is none
    SIZE requestedSize_{0, 0};  // of the decoding asked for; 0 x 0 when none is under way
    bool undecodable_ = false;  // the file gave no picture
    std::wstring path_;
    std::wstring tooltipText_;
    bool tooltipAllowed_ = true;
    bool videoMark_ = false;
    controls::HoverFlag hover_;
};

class ThumbnailImage {
public:
    using Callback = std::function<void(ThumbnailImage*)>;

    // The parts are made with parent as owner and parent, hidden buttons, bound to photo.
    ThumbnailImage(Photo* photo, gui::TWinControl* parent, bool visible, bool showShadows,
                   const std::wstring& thumbnailPath, bool videoMark);
    // Deletes the parts (the parent still lives: the main window deletes its tiles first).
    ~ThumbnailImage();
    ThumbnailImage(const ThumbnailImage&) = delete;
    ThumbnailImage& operator=(const ThumbnailImage&) = delete;

    // Binds the tile to a photo: its selection look and tooltip; null unbinds.
    void setPhoto(Photo* photo);
    Photo* photo() const { return photo_; }
    void loadFile(const std::wstring& path) { photoImage_->loadPhoto(path); }
    void requestPhoto() { photoImage_->requestPicture(); }
    void setVideoMark(bool on) { photoImage_->setVideoMark(on); }
    void setTooltipAllowed(bool on) { photoImage_->setTooltipAllowed(on); }
    // Moves the parts only when the photo's bounds change.
    void setBounds(int left, int top, int width, int height);
    // The photo with its current border, in the parent's client coordinates.
    RECT getOuterRect() const;
    void setTileVisible(bool on);
    void setShowShadows(bool on);
    void updateSelectionLook(bool selected);
    void updateHoverLook(bool hovered);
    void rebuildScaledPhoto() { photoImage_->rebuildScaledBitmap(); }

    bool isSelected() const { return selected_; }
    bool isHovered() const { return hovered_; }
    bool isTileVisible() const { return visible_; }
    PhotoImage* photoImage() const { return photoImage_; }
    controls::Image* openFullSizeButton() const { return openFullSizeButton_; }
    controls::Image* openPageButton() const { return openPageButton_; }
    controls::Image* selectionMark() const { return selectionMark_; }
    int Left() const { return photoImage_->Left(); }
    int Top() const { return photoImage_->Top(); }
    int Width() const { return photoImage_->Width(); }
    int Height() const { return photoImage_->Height(); }

    Callback onOpenFullSize;
    Callback onOpenPage;
    Callback onSelectionChanged;
    Callback onMouseDown;
    bool recycleMark = false;

    // True: a click on a photo opens it full size; false: it toggles the selection.
    static void setClickMode(bool openFullSize) { openOnClick_ = openFullSize; }
    static bool clickMode() { return openOnClick_; }
    // Ends a press that is under way (the hooked tile goes away).
    static void endPress();

private:
    enum class Button { OpenFullSize, OpenPage, SelectionMark };

    void placeParts();
    void applyBorder();
    void showButtons();
    void setButtonPicture(Button button, int face);
    controls::Image* buttonImage(Button button) const;
    bool pointerIn(const gui::TControl* control, POINT p) const;
    bool pointerOverButtons() const;
    void toggleSelection();
    void press(controls::Image* pressed);
    void photoMouseUp();
    void buttonMouseUp(Button button);
    void buttonEntered(Button button);
    void buttonLeft(Button button);

    static LRESULT CALLBACK pressHookProc(int code, WPARAM message, LPARAM record);

    Photo* photo_ = nullptr;
    std::array<controls::Image*, 7> shadows_{};
    std::array<gui::TShape*, 4> borders_{};
    PhotoImage* photoImage_ = nullptr;
    controls::Image* openFullSizeButton_ = nullptr;
    controls::Image* openPageButton_ = nullptr;
    controls::Image* selectionMark_ = nullptr;
    bool visible_ = false;
    bool shadowsShown_ = false;
    bool selected_ = false;
    bool hovered_ = false;

    static bool openOnClick_;
    static ThumbnailImage* hookedTile_;
    static controls::Image* pressedButton_;
    static HHOOK pressHook_;
};
