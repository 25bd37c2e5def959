#pragma once
// The system's media player control, hosted in place and driven through VideoPlayer. When the
// player cannot be made, or a call into it fails (players without codecs or with parts missing
// do), the call does nothing and the view carries on.
#include "gui/TOleControl.h"
#include "gui/VideoPlayer.h"

struct IWMPPlayer4;

namespace gui {

class MediaPlayerHost : public TOleControl, public VideoPlayer {
public:
    // The system's media player.
    explicit MediaPlayerHost(TComponent* owner);
    // Another class in its place (a class that is not a media player gives an unavailable one).
    MediaPlayerHost(TComponent* owner, const CLSID& classId);
    ~MediaPlayerHost() override;

    bool PlayerAvailable() const override;

    void SetUiMode(const std::wstring& mode) override;
    void SetStretchToFit(bool stretch) override;
    void SetEnableContextMenu(bool enable) override;
    void SetWindowlessVideo(bool windowless) override;
    void SetAutoStart(bool autoStart) override;
    void SetInvokeURLs(bool invoke) override;

    std::wstring URL() const override;
    void SetURL(const std::wstring& url) override;
    long OpenState() const override;
    long PlayState() const override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    double CurrentPosition() const override;
    void SetCurrentPosition(double seconds) override;
    void Step(long frames) override;
    double Duration() const override;
    long Volume() const override;
    void SetVolume(long volume) override;
    bool Mute() const override;
    void SetMute(bool mute) override;
    bool FullScreen() const override;
    void SetFullScreen(bool fullScreen) override;

    void PlacePlayer(const RECT& bounds) override;
    RECT PlayerBounds() const override;
    void ShowPlayer(bool visible) override;
    bool PlayerVisible() const override;
    void UpdatePlayer() override;
    HWND PlayerWindow() const override;

private:
    void connectEvents();

    Microsoft::WRL::ComPtr<IWMPPlayer4> player_;
};

}  // namespace gui
