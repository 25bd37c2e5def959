#pragma once
// Waiting on the thread of the class library's application object: its windows' messages go
// through the application, as in the program's own loop. For suites that link the class library.
#include "gui/Application.h"
#include "support/MessagePump.h"

namespace testsupport {

// Every waiting message through the application object.
inline bool applicationMessages() {
    gui::Application->ProcessMessages();
    return false;
}

// Handles waiting messages until done() holds or the time is up; returns done().
inline bool pumpApplicationUntil(const std::function<bool()>& done, int timeoutMs) {
    return pumpUntil(done, static_cast<unsigned long>(timeoutMs), applicationMessages);
}

inline void pumpApplicationFor(int milliseconds) {
    pumpFor(static_cast<unsigned long>(milliseconds), applicationMessages);
}

}  // namespace testsupport
