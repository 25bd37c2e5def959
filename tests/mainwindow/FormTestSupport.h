#pragma once
// What the main window's in-process tests share: OLE and the application for the whole run, the
// control of this build registered, message pumping with deadlines, a work folder of the test's
// own, opening the window, and drags made of real input.
#include "common/RegistryValues.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/WorkFolder.h"
#include "support/ApplicationPump.h"
#include "support/ProgramUnderTest.h"
#include "support/TestSupport.h"
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {
class FixtureSite;
}
class ThumbnailImage;

namespace formtest {

// Handles messages through the application until done() holds or the time is up; returns done().
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    return testsupport::pumpApplicationUntil(done, timeoutMs);
}
inline void pump(int milliseconds) {
    testsupport::pumpApplicationFor(milliseconds);
}

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

// The fixture site as the service, started once for the tests that load users.
testsupport::FixtureSite& serviceSite();
// Loads the user as if the name had been typed.
void loadTyped(TForm1* form, const std::wstring& name);
// The load has ended with count photos shown.
bool loaded(TForm1* form, size_t count);
// The tile of the photo at this visible position, or null.
ThumbnailImage* tileAt(TForm1* form, int visibleIndex);
POINT centreOf(TForm1* form, const ThumbnailImage* tile);

// Answers every message box the test's thread shows with OK and keeps their texts.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_(GetCurrentThreadId()), worker_([this] { run(); }) {}
    ~MessageBoxWatcher() {
        stop_ = true;
        worker_.join();
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<std::wstring> texts() {
        std::lock_guard<std::mutex> hold(lock_);
        return texts_;
    }

private:
    void run();
    static BOOL CALLBACK answer(HWND window, LPARAM self);

    DWORD thread_;
    std::atomic<bool> stop_{false};
    HWND answered_ = nullptr;
    std::mutex lock_;
    std::vector<std::wstring> texts_;
    std::thread worker_;
};

}  // namespace formtest
