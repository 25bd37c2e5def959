#pragma once
// FullSizeImage: one item of the grid shown large inside the grid's scroll box. A black panel with
// a 3-pixel frame, a picture panel holding the picture and its selection mark, and two loading
// animations: a big one in the middle while the item's file downloads, a small one over a video's
// cover while the video opens. A video is shown through its video part (player and control bar),
// which the view holds but does not know in detail.
#include "controls/AnimatedGif.h"
#include "controls/Image.h"
#include "gui/Bitmap.h"
#include "gui/GdiPlus.h"
#include "gui/Panel.h"
#include "gui/Shape.h"
#include <functional>
#include <memory>
#include <string>

struct Photo;
class FullSizeImage;

namespace gui {
class CustomScrollBar;
}

// The video part of the view: the player, the big play picture, the control bar and their timers.
// The view calls it at these points; without one the view shows covers only.
class FullSizeVideoPart {
public:
    virtual ~FullSizeVideoPart() = default;
    // A video is shown: its cover is up, the player opens the address.
    virtual void open(const std::wstring& videoAddress) = 0;
    // Pauses a playing video (another item is shown, or the media hides).
    virtual void pause() = 0;
    // The media hides: the player is hidden and an open under way ends silently.
    virtual void hide() = 0;
    // The cover is shown; withPlayer: the player is shown over it and placed.
    virtual void showCover(bool withPlayer) = 0;
    // The view switched between video and photo mode: the big play picture and the control bar.
    virtual void setVideoMode(bool on) = 0;
    // The view's or the picture panel's size or place changed.
    virtual void layout() = 0;
    // The window closes: every timer of the video part stops.
    virtual void stopTimers() = 0;
};

class FullSizeImage : public gui::TPanel {
public:
    using Callback = std::function<void(FullSizeImage*)>;

    static constexpr int kFrameWidth = 3;
    static constexpr int kControlBarHeight = 27;

    FullSizeImage(gui::TComponent* owner, gui::TWinControl* parent);
    ~FullSizeImage() override;

    // Installs the video part (the view owns it).
    void setVideoPart(std::unique_ptr<FullSizeVideoPart> part);
    FullSizeVideoPart* videoPart() const { return video_.get(); }

    // The item shown; null: no selection and no hint.
    void setPhoto(Photo* photo);
    Photo* photo() const { return photo_; }

    // Shows the picture file: for a photo the picture itself, for a video (videoAddress not empty)
    // its cover, and the video part opens the address. scrollBar, when given, is disabled and
    // keeps its position while a video is up.
    void showMedia(const std::wstring& pictureFile, const std::wstring& videoAddress,
                   gui::CustomScrollBar* scrollBar = nullptr);
    // Pauses, hides and empties what is shown; videoMode is the mode the view takes.
    void hideMedia(bool videoMode);
    // The picture panel in front, the loading animations stopped; withPlayer: a video's player too.
    void showCover(bool withPlayer, bool redraw);
    void startLoading();
    void stopLoading();
    bool isLoading() const { return bigLoading_->Visible(); }
    // The small animation over the cover while a video opens.
    void startOpening();
    void stopOpening();

    bool isSelected() const { return selected_; }
    void setSelected(bool on);
    // A click on the picture, the mark or the player: the selection toggles and is reported.
    void toggleSelection();
    bool isVideoMode() const { return videoMode_; }
    void setVideoMode(bool on);
    void setDoubleBuffered(bool on);

    // The picture's size plus the frame on both sides (plus the control bar in video mode); the
    // frame alone without a picture.
    int bitmapWidth() const;
    int bitmapHeight() const;
    // True when a picture was decoded from the last file shown.
    bool hasPicture() const { return picture_->BitmapWidth() > 0; }

    gui::TPanel* picturePanel() const { return picturePanel_; }
    controls::Image* picture() const { return picture_; }
    controls::Image* selectionMark() const { return selectionMark_; }
    controls::AnimatedGif* bigLoading() const { return bigLoading_; }
    controls::AnimatedGif* smallLoading() const { return smallLoading_; }

    Callback onSelectionChanged;
    Callback onMouseDown;
    Callback onPlayPressed;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Resize() override;

private:
    void layoutParts();
    void placePicturePanel();
    void placeSelectionMark();
    void showMarkFace(bool pressed);
    bool pointerOver(const gui::TControl* control) const;
    // Whether a screen point lies on the visible part of a shown control.
    bool pointIn(const gui::TControl* control, POINT screen) const;
    void loadPicture(const std::wstring& path);

    gui::GdiPlusSession gdiPlus_;  // first: it outlives every picture below
    gui::TShape* frame_ = nullptr;
    controls::AnimatedGif* bigLoading_ = nullptr;
    gui::TPanel* picturePanel_ = nullptr;
    controls::Image* picture_ = nullptr;
    controls::AnimatedGif* smallLoading_ = nullptr;
    controls::Image* selectionMark_ = nullptr;
    // The shown file decoded into memory of our own, so the file stays free to be deleted.
    gui::TBitmap decoded_;
    std::unique_ptr<Gdiplus::Bitmap> shownPicture_;
    // The mark's faces: [selected][normal, pointer over, pressed].
    std::unique_ptr<Gdiplus::Bitmap> markFaces_[2][3];
    std::unique_ptr<FullSizeVideoPart> video_;
    Photo* photo_ = nullptr;
    bool selected_ = false;
    bool videoMode_ = false;
    bool markPressed_ = false;
};
