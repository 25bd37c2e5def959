#include "mainwindow/FullSizeVideo.h"

#include <exception>
#include <initializer_list>
#include <utility>

#include "common/OpenLink.h"
#include "common/ServiceHosts.h"
#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "gui/Application.h"
#include "gui/MediaPlayerHost.h"
#include "resources/SkinIds.h"

using gui::TMouseButton;
using gui::TObject;
using gui::TShiftState;
namespace VideoPlayState = gui::VideoPlayState;

namespace {

constexpr gui::TColor kFilledColour = 0xDE9E00;
constexpr gui::TColor kTrackColour = 0x45464B;
constexpr unsigned kClickSlackMs = 200;

// The face ids of a three-face picture follow its normal one.
constexpr int overFace(int normalId) {
    return normalId + 1;
}
constexpr int pressedFace(int normalId) {
    return normalId + 2;
}

bool pointerIn(const gui::TControl* control, POINT screen) {
    return control->Showing() && controls::rectContains(controls::getVisibleScreenRect(control), screen);
}

bool windowIsOrHolds(HWND outer, HWND window) {
    return outer && window && (outer == window || IsChild(outer, window));
}

}  // namespace

FullSizeVideo* FullSizeVideo::hookedVideo_ = nullptr;
controls::ImageButton* FullSizeVideo::pressedButton_ = nullptr;
HHOOK FullSizeVideo::hook_ = nullptr;
POINT FullSizeVideo::lastPointer_{};

std::wstring codecPageAddress() {
    return L"http://" + makerHost() + L"/k_lite_codec_pack_download.htm";
}

// ---- timers

FullSizeVideo::Timer::Timer(gui::TComponent* owner, std::function<void()> fired)
    : timer_(new gui::TTimer(owner)) {
    timer_->SetEnabled(false);
    timer_->SetOnTimer([fired](TObject*) { fired(); });
}

void FullSizeVideo::Timer::start(unsigned milliseconds) {
    timer_->Restart(milliseconds);
}

void FullSizeVideo::Timer::stop() {
    timer_->SetEnabled(false);
}

bool FullSizeVideo::Timer::running() const {
    return timer_->Enabled();
}

// ---- construction

FullSizeVideo::FullSizeVideo(FullSizeImage& view) : view_(view) {
    player_ = new gui::MediaPlayerHost(&view);
    player_->SetParent(&view);
    player_->SetVisible(false);
    player_->SetStretchToFit(true);
    player_->SetEnableContextMenu(false);
    player_->SetFullScreen(false);
    player_->SetWindowlessVideo(false);
    player_->SetUiMode(L"none");
    player_->SetAutoStart(true);
    player_->SetInvokeURLs(false);
    volume_ = player_->Volume();

    makeBigPlay();
    makeBar();

    positionTimer_ = std::make_unique<Timer>(&view, [this] { playback_->positionTick(); });
    revealTimer_ = std::make_unique<Timer>(&view, [this] { reveal(); });
    reopenTimer_ = std::make_unique<Timer>(&view, [this] { playback_->reopenExpired(); });
    clickTimer_ = new gui::TTimer(&view);
    clickTimer_->SetEnabled(false);
    clickTimer_->SetOnTimer([this](TObject*) {
        clickTimer_->SetEnabled(false);
        if (press_.clickTimeOver())
            endPress();
    });
    playback_ =
        std::make_unique<VideoPlayback>(*player_, static_cast<PlaybackView&>(*this),
                                        VideoPlayback::Timers{*positionTimer_, *revealTimer_, *reopenTimer_});

    player_->OnOpenStateChange = [this](long state) { playback_->openStateChanged(state); };
    player_->OnPlayStateChange = [this](long state) { playback_->playStateChanged(state); };
    player_->OnPlayerMouseDown = [this](short, short, long, long) {
        clickTimer_->SetEnabled(false);
        pressPart(PressedPart::Player);
        clickTimer_->SetInterval(GetDoubleClickTime() + kClickSlackMs);
        clickTimer_->SetEnabled(true);
        if (view_.onMouseDown)
            view_.onMouseDown(&view_);
    };
}

FullSizeVideo::~FullSizeVideo() {
    stopTimers();
    if (hookedVideo_ == this)
        endPress();
    player_->OnOpenStateChange = nullptr;
    player_->OnPlayStateChange = nullptr;
    player_->OnPlayerMouseDown = nullptr;
}

gui::VideoPlayer& FullSizeVideo::player() {
    return *player_;
}

void FullSizeVideo::makeBigPlay() {
    bigPlay_ = new controls::Image(&view_);
    bigPlay_->SetParent(view_.picturePanel());
    bigPlay_->setTransparent(true);
    bigPlay_->setImageResourceId(skin::bigPlay);
    bigPlay_->SetVisible(false);
    bigPlay_->OnMouseEnter = [this](TObject*) {
        bigPlay_->setImageResourceId(press_.pressedPart() == PressedPart::BigPlay ? skin::bigPlayPressed
                                                                                  : skin::bigPlayOver);
    };
    bigPlay_->OnMouseLeave = [this](TObject*) { bigPlay_->setImageResourceId(skin::bigPlay); };
    bigPlay_->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        if (button != gui::mbLeft)
            return;
        bigPlay_->setImageResourceId(skin::bigPlayPressed);
        press_.pressed(PressedPart::BigPlay);
        if (view_.onMouseDown)
            view_.onMouseDown(&view_);
    };
    bigPlay_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button != gui::mbLeft || press_.pressedPart() != PressedPart::BigPlay)
            return;
        press_.pressed(PressedPart::None);
        // Where the button went up, not where the pointer is by now.
        const bool inside = pointerIn(bigPlay_, bigPlay_->ClientToScreen(POINT{x, y}));
        bigPlay_->setImageResourceId(inside ? skin::bigPlayOver : skin::bigPlay);
        if (inside)
            playback_->playPausePressed();
    };
}

void FullSizeVideo::makeBar() {
    playButton_ = makeButton(skin::videoPlayButton);
    playButton_->OnBtnClick = [this](TObject*) { playback_->playPausePressed(); };
    elapsed_ = makeShape(kFilledColour, kTrackColour);
    remaining_ = makeShape(gui::clBlack, kTrackColour);
    seekThumb_ = makeButton(skin::seekThumb);
    seekThumb_->OnBtnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        if (button == gui::mbLeft)
            thumbPressed(PressedPart::SeekThumb);
    };
    timeLabel_ = new gui::TLabel(&view_);
    timeLabel_->SetParent(&view_);
    timeLabel_->Font()->SetName(L"Arial");
    timeLabel_->Font()->SetSize(9);
    timeLabel_->Font()->SetStyle(gui::fsBold);
    timeLabel_->Font()->SetColor(gui::clWhite);
    timeLabel_->SetColor(gui::clBlack);
    timeLabel_->SetCaption(L"0:00");
    muteButton_ = makeButton(skin::soundOnButton);
    muteButton_->OnBtnClick = [this](TObject*) { toggleMute(); };
    muteButton_->SetTag(player_->Mute() ? 1 : 0);
    showMuteFace();
    volumeFilled_ = makeShape(kFilledColour, kFilledColour);
    volumeRest_ = makeShape(kTrackColour, kTrackColour);
    volumeThumb_ = makeButton(skin::seekThumb);
    volumeThumb_->OnBtnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
        if (button == gui::mbLeft)
            thumbPressed(PressedPart::VolumeThumb);
    };
    fullScreenButton_ = makeButton(skin::fullScreenButton);
    fullScreenButton_->OnBtnClick = [this](TObject*) {
        if (player_->PlayState() == VideoPlayState::Playing)
            player_->SetFullScreen(true);
    };
    leftStrip_ = makeShape(gui::clBlack, gui::clBlack);
    bottomStrip_ = makeShape(gui::clBlack, gui::clBlack);
    for (controls::ImageButton* thumb : {seekThumb_, volumeThumb_}) {
        thumb->setTransparent(true);
        thumb->SetMouseHookInfo(&pressedButton_, &hook_, hookProc, nullptr);
    }
}

controls::ImageButton* FullSizeVideo::makeButton(int normalId) {
    auto* button = new controls::ImageButton(&view_);
    button->SetParent(&view_);
    button->setAutoSize(true);
    setButtonFaces(button, normalId);
    button->SetVisible(false);
    return button;
}

void FullSizeVideo::setButtonFaces(controls::ImageButton* button, int normalId) {
    button->setNormalResourceId(normalId);
    button->setMouseOverResourceId(overFace(normalId));
    button->setMouseDownResourceId(pressedFace(normalId));
}

gui::TShape* FullSizeVideo::makeShape(gui::TColor brush, gui::TColor pen) {
    auto* shape = new gui::TShape(&view_);
    shape->SetParent(&view_);
    shape->Brush()->SetColor(brush);
    shape->Pen()->SetColor(pen);
    shape->SetVisible(false);
    return shape;
}

// ---- what the view asks

void FullSizeVideo::open(const std::wstring& videoAddress) {
    // Moving on from a video that played: its cover comes with the big play picture again.
    showBigPlay(true);
    showPauseFace(false);
    playback_->show(videoAddress);
}

void FullSizeVideo::pause() {
    playback_->pauseForShow();
}

void FullSizeVideo::hide() {
    playback_->leave(false);
    player_->ShowPlayer(false);
}

void FullSizeVideo::showCover(bool withPlayer) {
    if (withPlayer) {
        player_->ShowPlayer(true);
        placePlayer(false);
    } else {
        player_->ShowPlayer(false);
    }
}

void FullSizeVideo::setVideoMode(bool on) {
    playback_->setVideoMode(on);
    bigPlay_->SetVisible(on);
    for (gui::TControl* part : std::initializer_list<gui::TControl*>{
             playButton_, elapsed_, remaining_, seekThumb_, timeLabel_, muteButton_, volumeFilled_,
             volumeRest_, volumeThumb_, fullScreenButton_, leftStrip_, bottomStrip_})
        part->SetVisible(on);
    if (!on)
        player_->ShowPlayer(false);
    layout();
}

void FullSizeVideo::layout() {
    if (!playback_->videoMode())
        return;
    placeBigPlay();
    layOutBar();
    placePlayer(false);
}

void FullSizeVideo::stopTimers() {
    positionTimer_->stop();
    revealTimer_->stop();
    reopenTimer_->stop();
    clickTimer_->SetEnabled(false);
}

// ---- placing

void FullSizeVideo::placeBigPlay() {
    const gui::TPanel* panel = view_.picturePanel();
    const videobar::Box box = videobar::bigPlayBox(panel->Width(), panel->Height());
    bigPlay_->SetBounds(box.left, box.top, box.width, box.height);
}

void FullSizeVideo::layOutBar() {
    videobar::BarInput in;
    in.viewWidth = view_.Width();
    in.viewHeight = view_.Height();
    in.markSide = view_.selectionMark()->Width();
    in.labelWidth = timeLabel_->Width();
    in.labelHeight = timeLabel_->Height();
    in.position = playback_->position();
    in.duration = playback_->duration();
    in.volume = volume_;
    bar_ = videobar::layOutBar(in);
    const std::pair<gui::TControl*, videobar::Box> parts[] = {
        {playButton_, bar_.playButton},     {elapsed_, bar_.elapsed},
        {remaining_, bar_.remaining},       {seekThumb_, bar_.seekThumb},
        {timeLabel_, bar_.timeLabel},       {muteButton_, bar_.muteButton},
        {volumeFilled_, bar_.volumeFilled}, {volumeRest_, bar_.volumeRest},
        {volumeThumb_, bar_.volumeThumb},   {fullScreenButton_, bar_.fullScreenButton},
        {leftStrip_, bar_.leftStrip},       {bottomStrip_, bar_.bottomStrip}};
    for (const auto& [control, box] : parts)
        control->SetBounds(box.left, box.top, box.width, box.height);
    // The thumbs lie over their bars.
    seekThumb_->BringToFront();
    volumeThumb_->BringToFront();
}

void FullSizeVideo::placePlayer(bool update) {
    if (!player_->PlayerVisible())
        return;
    const videobar::Box box = videobar::playerBox(view_.Width(), view_.Height());
    const RECT bounds{box.left, box.top, box.left + box.width, box.top + box.height};
    const POINT origin = view_.ClientToScreen(POINT{bounds.left, bounds.top});
    const RECT screen{origin.x, origin.y, origin.x + box.width, origin.y + box.height};
    // The main window moving moves the player too: compared on the screen.
    if (!EqualRect(&screen, &playerScreenRect_)) {
        const bool sameSize =
            screen.right - screen.left == playerScreenRect_.right - playerScreenRect_.left &&
            screen.bottom - screen.top == playerScreenRect_.bottom - playerScreenRect_.top;
        // A player that is not playing repaints after a move only when its size changes too.
        if (sameSize && player_->PlayState() != VideoPlayState::Playing)
            player_->PlacePlayer(RECT{bounds.left, bounds.top, bounds.right, bounds.bottom - 1});
        player_->PlacePlayer(bounds);
        playerScreenRect_ = screen;
    }
    if (update)
        player_->UpdatePlayer();
}

void FullSizeVideo::reveal() {
    revealTimer_->stop();
    if (!coverShown())
        return;
    view_.picturePanel()->SetVisible(false);
    player_->ShowPlayer(true);
    playerScreenRect_ = RECT{};
    placePlayer(true);
}

// ---- PlaybackView

bool FullSizeVideo::coverShown() const {
    return view_.picturePanel()->Visible();
}

bool FullSizeVideo::seekThumbDragged() const {
    return hookedVideo_ == this && press_.pressedPart() == PressedPart::SeekThumb;
}

void FullSizeVideo::showBigPlay(bool shown) {
    // It comes back as it first showed, whatever face it had when it went.
    bigPlay_->setImageResourceId(skin::bigPlay);
    bigPlay_->SetVisible(shown);
    if (shown)
        bigPlay_->BringToFront();
}

void FullSizeVideo::showOpeningAnimation(bool shown) {
    if (shown)
        view_.startOpening();
    else
        view_.stopOpening();
}

void FullSizeVideo::showPauseFace(bool pause) {
    playButton_->SetTag(pause ? 1 : 0);
    setButtonFaces(playButton_, pause ? skin::videoPauseButton : skin::videoPlayButton);
    playButton_->Repaint();
}

void FullSizeVideo::positionChanged() {
    updateTimeLabel();
    if (playback_->videoMode())
        layOutBar();
}

void FullSizeVideo::playPressed() {
    if (view_.onPlayPressed)
        view_.onPlayPressed(&view_);
}

void FullSizeVideo::offerCodec() {
    HWND owner = view_.HandleAllocated() ? GetAncestor(view_.Handle(), GA_ROOT) : nullptr;
    const int answer =
        MessageBoxW(owner,
                    L"Windows Media Player needs codec to play Instagram video (MP4 video). You need "
                    L"to download and install the required codec for Windows Media Player.\r\n"
                    L"Do you want to download and install the required free codec (K-Lite / Basic "
                    L"Pack) now?",
                    L"Pixhaul", MB_YESNO | MB_ICONWARNING);
    if (answer != IDYES)
        return;
    const std::wstring address = codecPageAddress();
    if (!openLink(owner, address)) {
        const std::wstring text = webPageOpenFailedText(address);
        MessageBoxW(owner, text.c_str(), L"Pixhaul", MB_OK | MB_ICONWARNING);
    }
}

// ---- bar

void FullSizeVideo::updateTimeLabel() {
    const std::wstring text = videobar::timeLabelText(playback_->position());
    if (text == timeLabel_->Caption())
        return;
    timeLabel_->SetCaption(text);
    timeLabel_->Repaint();
}

void FullSizeVideo::toggleMute() {
    player_->SetMute(!player_->Mute());
    muteButton_->SetTag(player_->Mute() ? 1 : 0);
    showMuteFace();
}

void FullSizeVideo::showMuteFace() {
    setButtonFaces(muteButton_, muteButton_->Tag() ? skin::soundMutedButton : skin::soundOnButton);
    muteButton_->Repaint();
}

// ---- the hook

void FullSizeVideo::pressPart(PressedPart part) {
    press_.pressed(part);
    hookedVideo_ = this;
    if (!hook_)
        hook_ = SetWindowsHookExW(WH_MOUSE, hookProc, gui::HInstance(), GetCurrentThreadId());
}

void FullSizeVideo::thumbPressed(PressedPart thumb) {
    pressPart(thumb);
    GetCursorPos(&lastPointer_);
    // A video does not play on while its place is dragged; it plays again at the release.
    wasPlayingBeforeSeek_ =
        thumb == PressedPart::SeekThumb && player_->PlayState() == VideoPlayState::Playing;
    if (wasPlayingBeforeSeek_)
        player_->Pause();
    if (view_.onMouseDown)
        view_.onMouseDown(&view_);
}

void FullSizeVideo::endPress() {
    press_.pressed(PressedPart::None);
    hookedVideo_ = nullptr;
    pressedButton_ = nullptr;
    if (hook_) {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
}

void FullSizeVideo::dragThumb(POINT pointer) {
    const bool seeking = press_.pressedPart() == PressedPart::SeekThumb;
    controls::ImageButton* thumb = seeking ? seekThumb_ : volumeThumb_;
    const int dragMin = seeking ? bar_.seekDragMin : bar_.volumeDragMin;
    const int dragMax = seeking ? bar_.seekDragMax : bar_.volumeDragMax;
    const int left = videobar::draggedThumbLeft(thumb->Left(), pointer.x - lastPointer_.x, dragMin, dragMax);
    if (left == thumb->Left())
        return;
    lastPointer_ = pointer;
    if (seeking) {
        playback_->seekTo(videobar::seekPositionAt(left, dragMin, dragMax, playback_->duration()));
        return;
    }
    volume_ = videobar::volumeAt(left, dragMin, dragMax);
    player_->SetVolume(static_cast<long>(volume_));
    // Turning the volume up or down speaks again.
    if (muteButton_->Tag()) {
        player_->SetMute(false);
        muteButton_->SetTag(0);
        showMuteFace();
    }
    layOutBar();
}

bool FullSizeVideo::hookMessage(WPARAM message, const MOUSEHOOKSTRUCT& record) {
    const PressedPart part = press_.pressedPart();
    switch (message) {
    case WM_MOUSEMOVE:
        if (part == PressedPart::SeekThumb || part == PressedPart::VolumeThumb)
            dragThumb(record.pt);
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return windowIsOrHolds(player_->PlayerWindow(), record.hwnd) && press_.swallowPlayerPress();
    case WM_LBUTTONUP: {
        const ViewPressRules::Release release = press_.released(
            part == PressedPart::Player && pointerIn(player_, record.pt), wasPlayingBeforeSeek_);
        if (release.removeHook)
            endPress();
        if (release.resumePlay)
            player_->Play();
        if (release.toggleSelection)
            view_.toggleSelection();
        return release.swallow;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK FullSizeVideo::hookProc(int code, WPARAM message, LPARAM record) {
    if (code == HC_ACTION && hookedVideo_) {
        try {
            if (hookedVideo_->hookMessage(message, *reinterpret_cast<const MOUSEHOOKSTRUCT*>(record)))
                return 1;
        } catch (...) {
            gui::Application->HandleException(nullptr, std::current_exception());
        }
    }
    return CallNextHookEx(hook_, code, message, record);
}
