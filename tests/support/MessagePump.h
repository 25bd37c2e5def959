#pragma once
// Message pumping for tests that wait for a window's work on their own thread. Free of the
// Windows headers, so that it goes before or after the sockets' and windows.h alike (times are
// milliseconds, a DWORD).
#include <functional>

namespace testsupport {

// Handles some of the thread's waiting messages; true when there may be more to handle now.
using MessageHandler = bool (*)();
// One message straight to its window (done() is looked at after each).
bool dispatchOneMessage();

// Pumps the thread's messages until `done` is true; false when `timeoutMs` passed first.
bool pumpUntil(const std::function<bool()>& done, unsigned long timeoutMs = 60000,
               MessageHandler handle = dispatchOneMessage);
// Dispatches the messages already waiting, without waiting for more.
void pumpWaiting();
// Pumps for a while.
void pumpFor(unsigned long milliseconds, MessageHandler handle = dispatchOneMessage);

}  // namespace testsupport
