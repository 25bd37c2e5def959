#pragma once
// What the hosting tests share: the application object, OLE on the main thread, Pxhl.dll of this
// build registered in the test prefix, and the download peers (support/Peers.h) on 127.0.0.1 for the
// life of the test program.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace axtest {

// Handles waiting messages until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Handles waiting messages for a while.
void Pump(int milliseconds);

// Exceptions that reached the application object, as texts.
std::vector<std::wstring>& CaughtExceptions();

// Registers (or unregisters) Pxhl.dll of this build through its own entry points.
HRESULT RegisterPxhl();
HRESULT UnregisterPxhl();
// DllCanUnloadNow of the Pxhl.dll that COM loaded: S_OK when no object or lock remains.
HRESULT PxhlCanUnloadNow();

// "http://127.0.0.1:<port of nginx><path>"; files/ at full speed, slow/ at 256 KB/s.
std::wstring PeerUrl(const std::wstring& path);
// "http://127.0.0.1:<a port where nothing listens><path>": every connection is refused.
std::wstring RefusedUrl(const std::wstring& path);
// Windows path of a file that nginx serves ("files/small.bin").
std::wstring ServedPath(const std::wstring& relative);

}  // namespace axtest
