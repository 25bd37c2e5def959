#pragma once
// How the full-size view plays a video: it opens the address as soon as the video is shown, plays
// when the user asks, reopens an address the player still calls unknown, offers the codec page when
// nothing can be opened, and loops a video that ends. The player, the view's pictures and the
// timers are behind interfaces, so a fake player drives it in tests.
#include <string>

#include "gui/VideoPlayer.h"

// A timer as the playback starts and stops it; its owner calls the matching handler of
// VideoPlayback when it fires (the position timer repeats, the others fire once).
class PlaybackTimer {
public:
    virtual ~PlaybackTimer() = default;
    virtual void start(unsigned milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

// What the playback changes or asks in the view around the player.
class PlaybackView {
public:
    virtual ~PlaybackView() = default;
    // The cover (with its big play picture) is on screen, not the player.
    virtual bool coverShown() const = 0;
    virtual bool seekThumbDragged() const = 0;
    virtual void showBigPlay(bool shown) = 0;
    virtual void showOpeningAnimation(bool shown) = 0;
    // The play/pause button's face: pause while playing.
    virtual void showPauseFace(bool pause) = 0;
    // The position or the duration changed: the seek bar and the time label follow.
    virtual void positionChanged() = 0;
    // The user pressed play (the main window stops its slideshow).
    virtual void playPressed() = 0;
    // The video cannot be opened: tell the user about the codec (once per round).
    virtual void offerCodec() = 0;
};

class VideoPlayback {
public:
    // An address still unknown after this long is opened again.
    static constexpr unsigned kReopenDelayMs = 10000;
    // Reopens per round; the next expiry gives up as if nothing could be opened.
    static constexpr int kReopensPerRound = 2;
    // The duration shown until the media tells its own.
    static constexpr double kDefaultDuration = 15.0;
    static constexpr unsigned kPositionIntervalMs = 20;
    static constexpr unsigned kRevealDelayMs = 10;

    struct Timers {
        PlaybackTimer& position;  // the bar follows the playing video
        PlaybackTimer& reveal;    // the player takes the cover's place
        PlaybackTimer& reopen;
    };

    VideoPlayback(gui::VideoPlayer& player, PlaybackView& view, Timers timers);

    // The view shows a video's cover and opens its address: a new round.
    void show(const std::wstring& address);
    // The view leaves the video (another item, hidden, closed): a playing video pauses and the
    // round ends silently. videoMode is the mode the view takes on.
    void leave(bool videoMode);
    // Before the view shows other media: the bar stops following and a playing video pauses.
    void pauseForShow();
    bool videoMode() const { return videoMode_; }
    void setVideoMode(bool on) { videoMode_ = on; }

    // The play/pause button (and the big play picture).
    void playPausePressed();

    // The player's events.
    void openStateChanged(long state);
    void playStateChanged(long state);

    // The timers' handlers.
    void positionTick();
    void reopenExpired();

    // A seek drag moved the thumb: the player goes there and shows that frame.
    void seekTo(double seconds);

    double position() const { return position_; }
    double duration() const { return duration_; }
    bool needsReload() const { return needsReload_; }
    bool opening() const { return opening_; }
    bool promptShown() const { return promptShown_; }
    bool playWhenOpen() const { return playWhenOpen_; }

private:
    bool playing() const;
    void reopen();
    void openFailed();
    void startRound();

    gui::VideoPlayer& player_;
    PlaybackView& view_;
    Timers timers_;
    std::wstring address_;
    double position_ = 0;
    double duration_ = kDefaultDuration;
    bool videoMode_ = false;
    bool needsReload_ = false;
    bool opening_ = false;
    bool promptShown_ = false;
    bool playWhenOpen_ = false;
    int reopens_ = 0;
};
