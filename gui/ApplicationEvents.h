#pragma once
// TApplicationEvents: a component that receives the application's events: every message the
// loop takes from the queue (also inside modal loops), hints about to show, restore after
// minimising, activation changes. Any number may exist; each one gets every event.
#include "gui/Component.h"
#include "gui/Events.h"
#include <vector>

namespace gui {

class TApplicationEvents : public TComponent {
public:
    explicit TApplicationEvents(TComponent* owner);
    ~TApplicationEvents() override;

    // Called before the message is translated and dispatched; Handled = true drops it.
    TMessageEvent OnMessage;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnRestore;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Every living instance, oldest first.
    static const std::vector<TApplicationEvents*>& All();
    static bool Alive(const TApplicationEvents* events);
};

}  // namespace gui
