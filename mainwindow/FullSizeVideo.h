#pragma once
// The full-size view's video part: the system's media player over the cover, the big play picture,
// the control bar under the picture (play/pause, seek bar, time, mute, volume bar, full screen),
// its timers and the mouse hook that drags the thumbs and turns a click on the playing video into
// a selection toggle. What happens when is decided by VideoPlayback and ViewPressRules.
#include <memory>
#include <string>

#include "controls/Image.h"
#include "controls/ImageButton.h"
#include "gui/Label.h"
#include "gui/Shape.h"
#include "gui/Timer.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/VideoControlBarLayout.h"
#include "mainwindow/VideoPlayback.h"
#include "mainwindow/VideoPlaybackClicks.h"

namespace gui {
class MediaPlayerHost;
}

// The address of the codec page on the maker's site.
std::wstring codecPageAddress();

class FullSizeVideo : public FullSizeVideoPart, private PlaybackView {
public:
    // The player and the bar are made as parts of the view.
    explicit FullSizeVideo(FullSizeImage& view);
    ~FullSizeVideo() override;
    FullSizeVideo(const FullSizeVideo&) = delete;
    FullSizeVideo& operator=(const FullSizeVideo&) = delete;

    void open(const std::wstring& videoAddress) override;
    void pause() override;
    void hide() override;
    void showCover(bool withPlayer) override;
    void setVideoMode(bool on) override;
    void layout() override;
    void stopTimers() override;

    gui::VideoPlayer& player();
    const VideoPlayback& playback() const { return *playback_; }

private:
    // A gui timer as the playback drives it.
    class Timer : public PlaybackTimer {
    public:
        Timer(gui::TComponent* owner, std::function<void()> fired);
        void start(unsigned milliseconds) override;
        void stop() override;
        bool running() const override;

    private:
        gui::TTimer* timer_;
    };

    // PlaybackView
    bool coverShown() const override;
    bool seekThumbDragged() const override;
    void showBigPlay(bool shown) override;
    void showOpeningAnimation(bool shown) override;
    void showPauseFace(bool pause) override;
    void positionChanged() override;
    void playPressed() override;
    void offerCodec() override;

    void makeBigPlay();
    void makeBar();
    controls::ImageButton* makeButton(int normalId);
    gui::TShape* makeShape(gui::TColor brush, gui::TColor pen);
    void setButtonFaces(controls::ImageButton* button, int normalId);
    void layOutBar();
    void placeBigPlay();
    // Places the player inside the frame; update: paints it at once.
    void placePlayer(bool update);
    void reveal();
    void updateTimeLabel();
    void toggleMute();
    void showMuteFace();
    void pressPart(PressedPart part);
    void thumbPressed(PressedPart thumb);
    void endPress();
    // The hook's work; true when the message must not reach its window.
    bool hookMessage(WPARAM message, const MOUSEHOOKSTRUCT& record);
    void dragThumb(POINT pointer);

    static LRESULT CALLBACK hookProc(int code, WPARAM message, LPARAM record);

    FullSizeImage& view_;
    gui::MediaPlayerHost* player_ = nullptr;
    controls::Image* bigPlay_ = nullptr;
    controls::ImageButton* playButton_ = nullptr;
    gui::TShape* elapsed_ = nullptr;
    gui::TShape* remaining_ = nullptr;
    controls::ImageButton* seekThumb_ = nullptr;
    gui::TLabel* timeLabel_ = nullptr;
    controls::ImageButton* muteButton_ = nullptr;
    gui::TShape* volumeFilled_ = nullptr;
    gui::TShape* volumeRest_ = nullptr;
    controls::ImageButton* volumeThumb_ = nullptr;
    controls::ImageButton* fullScreenButton_ = nullptr;
    gui::TShape* leftStrip_ = nullptr;
    gui::TShape* bottomStrip_ = nullptr;
    std::unique_ptr<Timer> positionTimer_;
    std::unique_ptr<Timer> revealTimer_;
    std::unique_ptr<Timer> reopenTimer_;
    gui::TTimer* clickTimer_ = nullptr;
    std::unique_ptr<VideoPlayback> playback_;
    ViewPressRules press_;
    videobar::BarLayout bar_;
    double volume_ = 0;
    bool wasPlayingBeforeSeek_ = false;
    RECT playerScreenRect_{};

    // The view whose part is pressed, the hook and the last pointer position of a thumb drag.
    static FullSizeVideo* hookedVideo_;
    static controls::ImageButton* pressedButton_;
    static HHOOK hook_;
    static POINT lastPointer_;
};
