#include "mainwindow/VideoPlayback.h"

namespace VideoOpenState = gui::VideoOpenState;
namespace VideoPlayState = gui::VideoPlayState;

VideoPlayback::VideoPlayback(gui::VideoPlayer& player, PlaybackView& view, Timers timers)
    : player_(player), view_(view), timers_(timers) {}

bool VideoPlayback::playing() const {
    return player_.PlayState() == VideoPlayState::Playing;
}

void VideoPlayback::pauseForShow() {
    if (!videoMode_)
        return;
    timers_.position.stop();
    if (playing())
        player_.Pause();
}

void VideoPlayback::startRound() {
    timers_.reopen.stop();
    reopens_ = 0;
    opening_ = false;
}

void VideoPlayback::show(const std::wstring& address) {
    pauseForShow();
    startRound();
    address_ = address;
    position_ = 0;
    duration_ = kDefaultDuration;
    view_.positionChanged();
    videoMode_ = true;
    // Set before the player stops, so the stop is not taken for a video that ended.
    needsReload_ = true;
    promptShown_ = false;
    playWhenOpen_ = false;
    player_.Stop();
    player_.SetURL(address_);
}

void VideoPlayback::leave(bool videoMode) {
    if (playing())
        player_.Pause();
    timers_.position.stop();
    timers_.reveal.stop();
    startRound();
    playWhenOpen_ = false;
    videoMode_ = videoMode;
}

void VideoPlayback::playPausePressed() {
    if (playing()) {
        player_.Pause();
        return;
    }
    view_.playPressed();
    // Without a player no event ever comes: the cover keeps its play picture.
    if (!player_.PlayerAvailable()) {
        view_.showOpeningAnimation(false);
        view_.showBigPlay(true);
        return;
    }
    if (needsReload_ || promptShown_) {
        view_.showBigPlay(false);
        view_.showOpeningAnimation(true);
        playWhenOpen_ = true;
        if (!needsReload_) {
            // The last round gave up: a new one.
            promptShown_ = false;
            needsReload_ = true;
            startRound();
            player_.Stop();
            player_.SetURL(address_);
        }
        return;
    }
    view_.showBigPlay(false);
    player_.Play();
}

void VideoPlayback::openFailed() {
    timers_.reopen.stop();
    opening_ = false;
    needsReload_ = false;
    promptShown_ = true;
    if (!playWhenOpen_)
        return;
    playWhenOpen_ = false;
    view_.showOpeningAnimation(false);
    view_.showBigPlay(true);
    view_.offerCodec();
}

void VideoPlayback::openStateChanged(long state) {
    if (!videoMode_) {
        if (state == VideoOpenState::MediaOpen) {
            opening_ = false;
            needsReload_ = false;
            player_.Pause();
        }
        return;
    }
    switch (state) {
    case VideoOpenState::PlaylistOpenNoMedia:
        if (opening_ && !promptShown_)
            openFailed();
        opening_ = false;
        break;
    case VideoOpenState::MediaOpen: {
        timers_.reopen.stop();
        opening_ = false;
        view_.showOpeningAnimation(false);
        needsReload_ = false;
        player_.Pause();
        // The media may tell another duration than the one shown: keep the place in the video.
        const double fraction = duration_ < 1 ? 0 : position_ / duration_;
        duration_ = player_.Duration();
        player_.SetCurrentPosition(duration_ * fraction);
        position_ = player_.CurrentPosition();
        view_.positionChanged();
        if (playWhenOpen_) {
            playWhenOpen_ = false;
            player_.Play();
        }
        break;
    }
    case VideoOpenState::OpeningUnknownURL:
        opening_ = true;
        timers_.reopen.start(kReopenDelayMs);
        break;
    default:
        break;
    }
}

void VideoPlayback::playStateChanged(long state) {
    if (!videoMode_) {
        if (state == VideoPlayState::Playing)
            player_.Pause();
        return;
    }
    if (state == VideoPlayState::Playing) {
        timers_.position.start(kPositionIntervalMs);
        if (!view_.seekThumbDragged())
            view_.showPauseFace(true);
        if (view_.coverShown())
            timers_.reveal.start(kRevealDelayMs);
        return;
    }
    timers_.position.stop();
    if (state == VideoPlayState::Stopped && !needsReload_)
        player_.Play();  // the video loops
    else if (state == VideoPlayState::Paused && !view_.seekThumbDragged())
        view_.showPauseFace(false);
}

void VideoPlayback::positionTick() {
    if (view_.coverShown())
        return;
    position_ = player_.CurrentPosition();
    view_.positionChanged();
}

void VideoPlayback::reopenExpired() {
    timers_.reopen.stop();
    if (!videoMode_ || !opening_)
        return;
    // A player that never gets further would be reopened for ever: a round gives up in the end.
    if (reopens_ >= kReopensPerRound) {
        openFailed();
        return;
    }
    ++reopens_;
    needsReload_ = true;
    opening_ = false;
    promptShown_ = false;
    player_.Stop();
    player_.SetURL(address_);
}

void VideoPlayback::seekTo(double seconds) {
    position_ = seconds;
    player_.SetCurrentPosition(seconds);
    player_.Step(1);
    if (view_.coverShown())
        timers_.reveal.start(kRevealDelayMs);
    view_.positionChanged();
}
