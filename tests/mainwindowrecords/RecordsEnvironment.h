#pragma once
// Shared by the main window's record and pool tests: the application, OLE, this build's Pxhl.dll
// registered, the fixture site with the service host pointed at it, and one main window.
#include <winsock2.h>

#include <functional>
#include <string>

#include "mainwindow/Unit1.h"
#include "support/FixtureSite.h"

namespace records {

TForm1* form();
testsupport::FixtureSite& site();
// Handles waiting messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// "http://<service host><path>" on the fixture site.
std::wstring serviceUrl(const std::wstring& path);

}  // namespace records
