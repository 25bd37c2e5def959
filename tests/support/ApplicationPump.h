#pragma once
// Waiting on the thread of the class library's application object: its windows' messages go
// through the application, as in the program's own loop. For suites that link the class library.
#include "gui/Application.h"
#include <functional>

namespace testsupport {

// Handles waiting messages until done() holds or the time is up; returns done().
inline bool pumpApplicationUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return done();
        gui::Application->ProcessMessages();
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace testsupport
