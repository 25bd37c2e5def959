#include <windows.h>

#include "MessagePump.h"

#include <algorithm>

namespace testsupport {

bool dispatchOneMessage() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool pumpUntil(const std::function<bool()>& done, unsigned long timeoutMs, MessageHandler handle) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        while (handle()) {
            if (done())
                return true;
        }
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        // Other threads change what done() reads without a message: look again every 10 ms.
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)), QS_ALLINPUT);
    }
}

void pumpWaiting() {
    while (dispatchOneMessage()) {
    }
}

void pumpFor(unsigned long milliseconds, MessageHandler handle) {
    pumpUntil([] { return false; }, milliseconds, handle);
}

}  // namespace testsupport
