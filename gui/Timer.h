#pragma once
// TTimer: calls OnTimer every Interval milliseconds while Enabled. An interval of 0 never fires;
// a stopped, restarted or deleted timer never sees a tick that was already on its way.
#include "gui/Component.h"
#include "gui/Events.h"

namespace gui {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    // Starts the count again from now with this interval, whether or not it was running.
    void Restart(unsigned milliseconds) {
        SetEnabled(false);
        SetInterval(milliseconds);
        SetEnabled(true);
    }
    // Assign through SetOnTimer so that a timer waiting only for its handler starts.
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    // True while the system timer runs.
    bool Running() const { return id_ != 0; }
    // The identifier of the current run (0 when stopped); a new one for every start.
    UINT_PTR Identifier() const { return id_; }

    // Delivers a tick for a timer identifier (the timer window's WM_TIMER).
    static void Tick(UINT_PTR id);

private:
    void update();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    UINT_PTR id_ = 0;
};

}  // namespace gui
