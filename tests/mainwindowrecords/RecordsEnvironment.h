#pragma once
// What the main window's record and pool tests share: the application object, OLE on the main
// thread, this build's Pxhl.dll registered, the fixture site on free ports with the program's
// service host pointed at it, and one main window made as the program makes it.
#include <windows.h>

#include <functional>
#include <string>

class TForm1;

namespace testsupport {
class FixtureSite;
}

namespace records {

TForm1* form();
testsupport::FixtureSite& site();

// Handles waiting messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// Pxhl.dll of this build through its own entry points.
HRESULT registerPxhl();
HRESULT unregisterPxhl();

// "http://<service host><path>" on the fixture site.
std::wstring serviceUrl(const std::wstring& path);

}  // namespace records
