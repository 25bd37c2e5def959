#include "gui/MediaPlayerHost.h"

#include "gui/OleValues.h"

#include <wmp.h>
#include <wmpids.h>

namespace gui {

namespace {

VARIANT_BOOL flag(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

MediaPlayerHost::MediaPlayerHost(TComponent* owner) : MediaPlayerHost(owner, __uuidof(WindowsMediaPlayer)) {}

MediaPlayerHost::MediaPlayerHost(TComponent* owner, const CLSID& classId) : TOleControl(owner, classId) {
    if (!Available())
        return;
    player_ = Host().As<IWMPPlayer4>(__uuidof(IWMPPlayer4));
    Host().OnClosing = [this] { player_.Reset(); };
    if (player_)
        connectEvents();
}

MediaPlayerHost::~MediaPlayerHost() {
    // No event may reach this object once its own part is gone.
    player_.Reset();
    Host().Close();
}

void MediaPlayerHost::connectEvents() {
    // Without events the view still shows covers and can start a video; nothing to report.
    if (FAILED(Host().ConnectEvents(__uuidof(_WMPOCXEvents))))
        return;
    Host().SetEventHandler(DISPID_WMPCOREEVENT_OPENSTATECHANGE, [this](OleEventArguments& a) {
        if (auto handler = OnOpenStateChange)
            handler(a.Integer(0));
    });
    Host().SetEventHandler(DISPID_WMPCOREEVENT_PLAYSTATECHANGE, [this](OleEventArguments& a) {
        if (auto handler = OnPlayStateChange)
            handler(a.Integer(0));
    });
    Host().SetEventHandler(DISPID_WMPCOREEVENT_ERROR, [this](OleEventArguments&) {
        if (auto handler = OnError)
            handler();
    });
    Host().SetEventHandler(DISPID_WMPOCXEVENT_MOUSEDOWN, [this](OleEventArguments& a) {
        if (auto handler = OnPlayerMouseDown)
            handler(static_cast<short>(a.Integer(0)), static_cast<short>(a.Integer(1)), a.Integer(2),
                    a.Integer(3));
    });
}

bool MediaPlayerHost::PlayerAvailable() const {
    return player_ != nullptr;
}

// ---- settings

void MediaPlayerHost::SetUiMode(const std::wstring& mode) {
    if (player_)
        player_->put_uiMode(OleString(mode).Get());
}

void MediaPlayerHost::SetStretchToFit(bool stretch) {
    if (player_)
        player_->put_stretchToFit(flag(stretch));
}

void MediaPlayerHost::SetEnableContextMenu(bool enable) {
    if (player_)
        player_->put_enableContextMenu(flag(enable));
}

void MediaPlayerHost::SetWindowlessVideo(bool windowless) {
    if (player_)
        player_->put_windowlessVideo(flag(windowless));
}

void MediaPlayerHost::SetAutoStart(bool autoStart) {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    if (player_ && SUCCEEDED(player_->get_settings(settings.GetAddressOf())) && settings)
        settings->put_autoStart(flag(autoStart));
}

void MediaPlayerHost::SetInvokeURLs(bool invoke) {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    if (player_ && SUCCEEDED(player_->get_settings(settings.GetAddressOf())) && settings)
        settings->put_invokeURLs(flag(invoke));
}

// ---- media and transport

std::wstring MediaPlayerHost::URL() const {
    OleString url;
    if (!player_ || FAILED(player_->get_URL(url.Out())))
        return std::wstring();
    return url.Text();
}

void MediaPlayerHost::SetURL(const std::wstring& url) {
    if (player_)
        player_->put_URL(OleString(url).Get());
}

long MediaPlayerHost::OpenState() const {
    WMPOpenState state = wmposUndefined;
    if (!player_ || FAILED(player_->get_openState(&state)))
        return VideoOpenState::Undefined;
    return static_cast<long>(state);
}

long MediaPlayerHost::PlayState() const {
    WMPPlayState state = wmppsUndefined;
    if (!player_ || FAILED(player_->get_playState(&state)))
        return VideoPlayState::Undefined;
    return static_cast<long>(state);
}

void MediaPlayerHost::Play() {
    // With nothing open there is nothing to play, and a player whose open failed (no codec, no
    // file) may fail badly when asked to.
    if (OpenState() != VideoOpenState::MediaOpen)
        return;
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    if (player_ && SUCCEEDED(player_->get_controls(controls.GetAddressOf())) && controls)
        controls->play();
}

void MediaPlayerHost::Pause() {
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    if (player_ && SUCCEEDED(player_->get_controls(controls.GetAddressOf())) && controls)
        controls->pause();
}

void MediaPlayerHost::Stop() {
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    if (player_ && SUCCEEDED(player_->get_controls(controls.GetAddressOf())) && controls)
        controls->stop();
}

double MediaPlayerHost::CurrentPosition() const {
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    double position = 0;
    if (!player_ || FAILED(player_->get_controls(controls.GetAddressOf())) || !controls ||
        FAILED(controls->get_currentPosition(&position)))
        return 0;
    return position;
}

void MediaPlayerHost::SetCurrentPosition(double seconds) {
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    if (player_ && SUCCEEDED(player_->get_controls(controls.GetAddressOf())) && controls)
        controls->put_currentPosition(seconds);
}

void MediaPlayerHost::Step(long frames) {
    Microsoft::WRL::ComPtr<IWMPControls> controls;
    if (!player_ || FAILED(player_->get_controls(controls.GetAddressOf())) || !controls)
        return;
    Microsoft::WRL::ComPtr<IWMPControls2> stepping;
    if (SUCCEEDED(controls->QueryInterface(__uuidof(IWMPControls2),
                                           reinterpret_cast<void**>(stepping.GetAddressOf()))) &&
        stepping)
        stepping->step(frames);
}

double MediaPlayerHost::Duration() const {
    Microsoft::WRL::ComPtr<IWMPMedia> media;
    double duration = 0;
    if (!player_ || FAILED(player_->get_currentMedia(media.GetAddressOf())) || !media ||
        FAILED(media->get_duration(&duration)))
        return 0;
    return duration;
}

long MediaPlayerHost::Volume() const {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    LONG volume = 0;
    if (!player_ || FAILED(player_->get_settings(settings.GetAddressOf())) || !settings ||
        FAILED(settings->get_volume(&volume)))
        return 0;
    return volume;
}

void MediaPlayerHost::SetVolume(long volume) {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    if (player_ && SUCCEEDED(player_->get_settings(settings.GetAddressOf())) && settings)
        settings->put_volume(volume);
}

bool MediaPlayerHost::Mute() const {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    VARIANT_BOOL mute = VARIANT_FALSE;
    if (!player_ || FAILED(player_->get_settings(settings.GetAddressOf())) || !settings ||
        FAILED(settings->get_mute(&mute)))
        return false;
    return mute != VARIANT_FALSE;
}

void MediaPlayerHost::SetMute(bool mute) {
    Microsoft::WRL::ComPtr<IWMPSettings> settings;
    if (player_ && SUCCEEDED(player_->get_settings(settings.GetAddressOf())) && settings)
        settings->put_mute(flag(mute));
}

bool MediaPlayerHost::FullScreen() const {
    VARIANT_BOOL fullScreen = VARIANT_FALSE;
    if (!player_ || FAILED(player_->get_fullScreen(&fullScreen)))
        return false;
    return fullScreen != VARIANT_FALSE;
}

void MediaPlayerHost::SetFullScreen(bool fullScreen) {
    if (player_)
        player_->put_fullScreen(flag(fullScreen));
}

// ---- placement

void MediaPlayerHost::PlacePlayer(const RECT& bounds) {
    SetBoundsRect(bounds);
}

RECT MediaPlayerHost::PlayerBounds() const {
    return BoundsRect();
}

void MediaPlayerHost::ShowPlayer(bool visible) {
    SetVisible(visible);
}

bool MediaPlayerHost::PlayerVisible() const {
    return Visible();
}

void MediaPlayerHost::UpdatePlayer() {
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HWND MediaPlayerHost::PlayerWindow() const {
    if (HWND window = ControlWindow())
        return window;
    return HandleAllocated() ? const_cast<MediaPlayerHost*>(this)->Handle() : nullptr;
}

}  // namespace gui
