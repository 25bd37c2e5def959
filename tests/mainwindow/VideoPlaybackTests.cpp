// The full-size view's video rules against a fake player, fake timers and a fake view; the
// control bar's arithmetic.
#include <gtest/gtest.h>

#include <algorithm>

#include "mainwindow/VideoControlBarLayout.h"
#include "mainwindow/VideoPlayback.h"
#include "mainwindow/VideoPlaybackClicks.h"

using namespace gui;

namespace {

// Plays what it is told and records it; its states are set by the test, as a real player's
// events would report them.
class FakePlayer : public VideoPlayer {
public:
    bool PlayerAvailable() const override { return available; }
    void SetUiMode(const std::wstring&) override {}
    void SetStretchToFit(bool) override {}
    void SetEnableContextMenu(bool) override {}
    void SetWindowlessVideo(bool) override {}
    void SetAutoStart(bool) override {}
    void SetInvokeURLs(bool) override {}
    std::wstring URL() const override { return url; }
    void SetURL(const std::wstring& address) override {
        url = address;
        ++opens;
    }
    long OpenState() const override { return 0; }
    long PlayState() const override { return playState; }
    void Play() override { ++plays; }
    void Pause() override { ++pauses; }
    void Stop() override { ++stops; }
    double CurrentPosition() const override { return position; }
    void SetCurrentPosition(double seconds) override { position = seconds; }
    void Step(long) override { ++steps; }
    double Duration() const override { return duration; }
    long Volume() const override { return 50; }
    void SetVolume(long) override {}
    bool Mute() const override { return false; }
    void SetMute(bool) override {}
    bool FullScreen() const override { return fullScreen; }
    void SetFullScreen(bool on) override { fullScreen = on; }
    void PlacePlayer(const RECT&) override {}
    RECT PlayerBounds() const override { return RECT{}; }
    void ShowPlayer(bool) override {}
    bool PlayerVisible() const override { return false; }
    void UpdatePlayer() override {}
    HWND PlayerWindow() const override { return nullptr; }

    std::wstring url;
    long playState = VideoPlayState::Undefined;
    double position = 0;
    double duration = 0;
    int opens = 0, plays = 0, pauses = 0, stops = 0, steps = 0;
    bool fullScreen = false;
    bool available = true;
};

struct FakeTimer : PlaybackTimer {
    void start(unsigned milliseconds) override { interval = milliseconds, on = true; }
    void stop() override { on = false; }
    bool running() const override { return on; }
    unsigned interval = 0;
    bool on = false;
};

struct FakeView : PlaybackView {
    bool coverShown() const override { return cover; }
    bool seekThumbDragged() const override { return dragging; }
    void showBigPlay(bool shown) override { bigPlay = shown; }
    void showOpeningAnimation(bool shown) override { animation = shown; }
    void showPauseFace(bool pause) override { pauseFace = pause; }
    void positionChanged() override {}
    void playPressed() override { ++playPresses; }
    void offerCodec() override { ++prompts; }
    bool cover = true, dragging = false, bigPlay = true, animation = false, pauseFace = false;
    int playPresses = 0, prompts = 0;
};

struct Rig {
    Rig() { playback.show(L"http://127.0.0.1/v.mp4"); }
    // How Wine's player answers an address it cannot open.
    void failedOpen() {
        for (long state : {6L, 21L, 0L})
            playback.openStateChanged(state);
    }
    void reopenFires() {
        ASSERT_TRUE(reopen.on);
        EXPECT_EQ(reopen.interval, VideoPlayback::kReopenDelayMs);
        playback.reopenExpired();
    }
    FakePlayer player;
    FakeView view;
    FakeTimer position, reveal, reopen;
    VideoPlayback playback{player, view, {position, reveal, reopen}};
};

TEST(VideoPlayback, WithoutAPlayerPlayLeavesTheCoverWithItsPlayPicture) {
    Rig rig;
    rig.player.available = false;
    rig.playback.playPausePressed();
    EXPECT_TRUE(rig.view.playPresses == 1 && rig.view.bigPlay && !rig.view.animation);
}

TEST(VideoPlayback, AFailingAddressIsOpenedThreeTimesThenThePromptComesOnceAndPlayStartsANewRound) {
    Rig rig;
    rig.failedOpen();
    rig.playback.playPausePressed();  // while the first open is under way
    EXPECT_TRUE(rig.view.playPresses == 1 && !rig.view.bigPlay && rig.view.animation);
    for (int open = 2; open <= 4; ++open) {
        rig.reopenFires();  // the third expiry gives up
        EXPECT_EQ(rig.player.opens, std::min(open, 3));
        EXPECT_EQ(rig.view.prompts, open / 4);
        rig.failedOpen();  // after the prompt: a late answer of the player asks nothing more
    }
    EXPECT_TRUE(rig.view.bigPlay && !rig.view.animation && !rig.playback.needsReload());
    rig.playback.reopenExpired();
    EXPECT_EQ(rig.view.prompts, 1);

    rig.playback.playPausePressed();
    EXPECT_EQ(rig.player.opens, 4);
    for (int i = 0; i < 3; ++i) {
        rig.failedOpen();
        rig.reopenFires();
    }
    EXPECT_EQ(rig.player.opens, 6);
    EXPECT_EQ(rig.view.prompts, 2);

    // A player that tells at once that nothing opens: one prompt a round all the same.
    rig.playback.playPausePressed();
    for (int i = 0; i < 2; ++i) {
        rig.playback.openStateChanged(VideoOpenState::OpeningUnknownURL);
        rig.playback.openStateChanged(VideoOpenState::PlaylistOpenNoMedia);
    }
    EXPECT_EQ(rig.view.prompts, 3);
}

TEST(VideoPlayback, ARoundEndsSilentlyWithoutPlayOrWhenTheViewMovesOn) {
    Rig rig;
    for (int i = 0; i < 3; ++i) {
        rig.failedOpen();
        rig.reopenFires();
    }
    EXPECT_TRUE(rig.view.prompts == 0 && rig.playback.promptShown());  // nobody asked to play
    rig.playback.playPausePressed();                                   // play opens again at once
    rig.failedOpen();
    rig.playback.leave(false);
    rig.failedOpen();
    EXPECT_FALSE(rig.reopen.on);
    EXPECT_EQ(rig.view.prompts, 0);
    EXPECT_EQ(rig.player.opens, 4);
}

TEST(VideoPlayback, MediaOpenKeepsThePlaceAcrossANewDurationAndPlaysWhenAsked) {
    Rig rig;
    rig.playback.playPausePressed();
    rig.player.duration = 40;
    rig.playback.openStateChanged(VideoOpenState::MediaOpen);
    EXPECT_EQ(rig.player.plays, 1);
    EXPECT_FALSE(rig.playback.needsReload() || rig.playback.playWhenOpen() || rig.view.animation);

    // Played to a quarter, then the media opens again telling another duration.
    rig.view.cover = false;
    rig.player.position = 10;
    rig.playback.positionTick();
    rig.player.duration = 80;
    rig.playback.openStateChanged(VideoOpenState::MediaOpen);
    EXPECT_TRUE(rig.player.position == 20 && rig.playback.position() == 20);
    EXPECT_EQ(rig.player.plays, 1);  // not asked this time

    // Under a second there is no place to keep.
    rig.player.duration = 0.5;
    rig.playback.openStateChanged(VideoOpenState::MediaOpen);
    rig.player.duration = 60;
    rig.playback.openStateChanged(VideoOpenState::MediaOpen);
    EXPECT_EQ(rig.player.position, 0);
}

TEST(VideoPlayback, PlayStatesDriveTheBarAndTheVideoLoopsUnlessReloading) {
    Rig rig;
    rig.playback.openStateChanged(VideoOpenState::MediaOpen);
    rig.playback.playStateChanged(VideoPlayState::Playing);
    EXPECT_TRUE(rig.position.on && rig.reveal.on && rig.view.pauseFace);
    rig.playback.playStateChanged(VideoPlayState::Paused);
    EXPECT_FALSE(rig.position.on || rig.view.pauseFace);
    rig.playback.playStateChanged(VideoPlayState::Stopped);
    EXPECT_EQ(rig.player.plays, 1);  // loops

    rig.playback.show(L"http://127.0.0.1/w.mp4");  // reloading: a stop is no end of a video
    rig.playback.playStateChanged(VideoPlayState::Stopped);
    EXPECT_EQ(rig.player.plays, 1);

    rig.playback.leave(false);  // outside video mode playing is answered with pause
    const int pauses = rig.player.pauses;
    rig.playback.playStateChanged(VideoPlayState::Playing);
    EXPECT_EQ(rig.player.pauses, pauses + 1);
}

TEST(VideoPlaybackClicks, ADoubleClickOnThePlayerTogglesOnceAndNeverReachesIt) {
    ViewPressRules rules;
    int toggles = 0;
    auto release = [&](bool inside) {
        ViewPressRules::Release r = rules.released(inside, false);
        toggles += r.toggleSelection;
        return r;
    };
    rules.pressed(PressedPart::Player);
    EXPECT_FALSE(release(true).removeHook);  // the hook waits for a second click
    EXPECT_TRUE(rules.swallowPlayerPress());
    ViewPressRules::Release second = release(true);
    EXPECT_TRUE(second.swallow && !second.removeHook);
    EXPECT_EQ(toggles, 1);
    EXPECT_TRUE(rules.clickTimeOver());
    EXPECT_EQ(rules.pressedPart(), PressedPart::None);

    // The click time ends while the second press is held: its release goes, with the hook.
    rules.pressed(PressedPart::Player);
    release(true);
    rules.swallowPlayerPress();
    EXPECT_FALSE(rules.clickTimeOver());
    EXPECT_TRUE(release(true).removeHook);
    EXPECT_EQ(toggles, 2);

    // Released outside: no toggle; a seek drag of a playing video plays on.
    rules.pressed(PressedPart::Player);
    EXPECT_TRUE(release(false).removeHook);
    EXPECT_FALSE(rules.swallowPlayerPress());
    rules.pressed(PressedPart::SeekThumb);
    EXPECT_TRUE(rules.released(true, true).resumePlay);
    EXPECT_EQ(toggles, 2);
}

TEST(VideoControlBar, LayoutAtTheDefaultWidthAndANarrowOne) {
    using namespace videobar;
    BarInput in{618, 645, 36, 26, 14, 7.5, 15, 50};
    BarLayout bar = layOutBar(in);
    // free = 618 - 36 - 3 - 17 - 26 - 17 - 16 - 105 = 398: volume 100, seek 298 from 50.
    EXPECT_EQ(bar.playButton, (Box{18, 609 + 9, 17, 17}));
    EXPECT_EQ(bar.elapsed, (Box{50, 609 + 14, 143, 7}));  // round(285 / 2)
    EXPECT_EQ(bar.remaining, (Box{206, 623, 142, 7}));
    EXPECT_EQ(bar.seekThumb.left, 188);
    EXPECT_EQ(bar.seekDragMax, 330);
    EXPECT_EQ(bar.timeLabel, (Box{363, 620, 26, 14}));
    EXPECT_EQ(bar.volumeFilled, (Box{436, 624, 44, 5}));  // round(87 / 2)
    EXPECT_EQ(bar.volumeRest, (Box{493, 625, 43, 3}));
    EXPECT_EQ(bar.fullScreenButton.left, 551);
    EXPECT_EQ(bar.leftStrip, (Box{0, 615, 3, 27}));
    EXPECT_EQ(bar.bottomStrip, (Box{0, 642, 582, 3}));
    EXPECT_EQ(seekPositionAt(bar.seekDragMax, bar.seekDragMin, bar.seekDragMax, 15), 15);
    EXPECT_EQ(volumeAt(bar.volumeDragMin + 44, bar.volumeDragMin, bar.volumeDragMax), 51);
    EXPECT_EQ(draggedThumbLeft(bar.volumeThumb.left, 500, bar.volumeDragMin, bar.volumeDragMax), 518);

    // free = 400 - 220 = 180 <= 200: split evenly. Under a second the seek bar stays empty;
    // a volume above 100 fills the bar and no more.
    in.viewWidth = 400;
    in.duration = 0.9;
    in.volume = 150;
    bar = layOutBar(in);
    EXPECT_EQ(bar.elapsed.width, 0);
    EXPECT_EQ(bar.remaining.width, 90 - 13);
    EXPECT_EQ(bar.timeLabel.left, 50 + 90 + 15);
    EXPECT_EQ(bar.volumeFilled.width, 90 - 13);
    EXPECT_EQ(bar.volumeRest.width, 0);
}

TEST(VideoControlBar, TimeLabelPlayerAndBigPlay) {
    using namespace videobar;
    EXPECT_EQ(timeLabelText(754.3), L"9:59");
    EXPECT_EQ(timeLabelText(59.9), L"0:59");
    EXPECT_EQ(timeLabelText(-1), L"0:00");
    EXPECT_EQ(playerBox(618, 645), (Box{3, 3, 612, 612}));
    EXPECT_EQ(bigPlayBox(612, 612), (Box{234, 234, 144, 144}));
    EXPECT_EQ(bigPlayBox(306, 400), (Box{117, (400 - 94) / 2, 72, 72}));
}

}  // namespace
