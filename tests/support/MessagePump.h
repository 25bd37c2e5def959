#pragma once
// Message pumping for tests that wait for a window's work on their own thread.
#include <winsock2.h>
#include <windows.h>

#include <functional>

namespace testsupport {

// Pumps every message of the thread until `done` is true; false when `timeoutMs` passed first.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000);
// Dispatches the messages already waiting, without waiting for more.
void pumpWaiting();
// Pumps for a while.
void pumpFor(DWORD milliseconds);

}  // namespace testsupport
