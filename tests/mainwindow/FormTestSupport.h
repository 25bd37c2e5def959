#pragma once
// What the main window's in-process tests share: OLE and the application for the whole run, the
// control of this build registered, message pumping with deadlines, a work folder of the test's
// own, opening the window, and drags made of real input.
#include "common/RegistryValues.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFolder.h"
#include "support/ProgramUnderTest.h"
#include "support/TestSupport.h"
#include <functional>
#include <string>

namespace formtest {

// Handles messages until done() holds or the time is up; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
void pump(int milliseconds);

// Settings of earlier windows removed, so each window starts from the defaults (a window place
// saved by an earlier test would move it).
class FreshSettings {
public:
    FreshSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath); }
};

// The work folder of the window under test, chosen through the setting the program reads, with
// every other setting at its default.
class WorkFolderSetting {
public:
    WorkPaths paths() const { return workPathsFor(folder_.path() + L"Pixhaul"); }

private:
    FreshSettings fresh_;
    testsupport::TempFolder folder_;
    testsupport::TemporaryFolderSetting setting_{folder_.path()};
};

// Makes the main window as the entry does, shows it and waits until it has the foreground.
TForm1* openForm();
RECT windowRect(TForm1* form);
// A press, a move in steps and a release, as a hand would make them.
void drag(POINT from, POINT to);
// A press and a release where the pointer is moved first.
void click(POINT at);
bool existsFile(const std::wstring& path);

}  // namespace formtest
