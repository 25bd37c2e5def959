#pragma once
// What the full-size view needs of a video player: the player's settings, its URL, transport and
// states, its placement in the view, and its four events. MediaPlayerHost is the real one;
// tests give the view a fake. A player that is not available does nothing and reads as idle.
#include <windows.h>
#include <functional>
#include <string>

namespace gui {

// Play states the view acts on (as the player reports them).
namespace VideoPlayState {
constexpr long Undefined = 0;
constexpr long Stopped = 1;
constexpr long Paused = 2;
constexpr long Playing = 3;
}  // namespace VideoPlayState

// Open states the view acts on.
namespace VideoOpenState {
constexpr long Undefined = 0;
constexpr long PlaylistOpenNoMedia = 6;  // nothing could be opened (no codec, for instance)
constexpr long MediaOpen = 13;
constexpr long OpeningUnknownURL = 21;
}  // namespace VideoOpenState

class VideoPlayer {
public:
    virtual ~VideoPlayer() = default;

    // False when the player could not be made: the view then shows covers only.
    virtual bool PlayerAvailable() const = 0;

    // ---- settings
    virtual void SetUiMode(const std::wstring& mode) = 0;
    virtual void SetStretchToFit(bool stretch) = 0;
    virtual void SetEnableContextMenu(bool enable) = 0;
    virtual void SetWindowlessVideo(bool windowless) = 0;
    virtual void SetAutoStart(bool autoStart) = 0;
    virtual void SetInvokeURLs(bool invoke) = 0;

    // ---- media and transport
    virtual std::wstring URL() const = 0;
    // Opens the address (and plays it when automatic start is on).
    virtual void SetURL(const std::wstring& url) = 0;
    virtual long OpenState() const = 0;
    virtual long PlayState() const = 0;
    // Plays the open media; does nothing while no media is open.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    // Seconds from the start of the current media.
    virtual double CurrentPosition() const = 0;
    virtual void SetCurrentPosition(double seconds) = 0;
    virtual void Step(long frames) = 0;
    // Seconds; 0 when no media is open.
    virtual double Duration() const = 0;
    // 0 to 100.
    virtual long Volume() const = 0;
    virtual void SetVolume(long volume) = 0;
    virtual bool Mute() const = 0;
    virtual void SetMute(bool mute) = 0;
    virtual bool FullScreen() const = 0;
    virtual void SetFullScreen(bool fullScreen) = 0;

    // ---- placement in the parent window
    // bounds in the parent's client coordinates.
    virtual void PlacePlayer(const RECT& bounds) = 0;
    virtual RECT PlayerBounds() const = 0;
    virtual void ShowPlayer(bool visible) = 0;
    virtual bool PlayerVisible() const = 0;
    // Paints the player now.
    virtual void UpdatePlayer() = 0;
    // The window that receives the player's mouse input (null when none).
    virtual HWND PlayerWindow() const = 0;

    // ---- events, on the GUI thread
    std::function<void(long newState)> OnOpenStateChange;
    std::function<void(long newState)> OnPlayStateChange;
    std::function<void()> OnError;
    // A button went down on the picture (button and shift as the player reports them; x, y in
    // player coordinates).
    std::function<void(short button, short shift, long x, long y)> OnPlayerMouseDown;
};

}  // namespace gui
