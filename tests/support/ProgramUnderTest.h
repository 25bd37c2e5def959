#pragma once
// Pixhaul.exe of this build as a separate process, the way a person runs it: Pxhl.dll registered in
// the prefix with regsvr32, the service and maker hosts pointed at the fixture site, a work folder
// of its own (the customTemporaryFolder setting), and its windows found, read and closed from here.
// Suites that use it take the desktop lock: they need the pointer, the focus and the screen.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

// regsvr32 /s [/u] on this build's Pxhl.dll; true when it reports success.
bool registerPxhl();
bool unregisterPxhl();

// The settings key's customTemporaryFolder for one scope: written (or removed when folder is
// empty and remove is set), and the earlier state put back at the end.
class TemporaryFolderSetting {
public:
    TemporaryFolderSetting(const std::wstring& folder, bool remove = false);
    ~TemporaryFolderSetting();
    TemporaryFolderSetting(const TemporaryFolderSetting&) = delete;
    TemporaryFolderSetting& operator=(const TemporaryFolderSetting&) = delete;

private:
    bool hadValue_ = false;
    std::wstring oldValue_;
};

struct ProgramOptions {
    // PIXHAUL_SERVICE_HOST and PIXHAUL_MAKER_HOST (host:port); empty leaves the variable unset.
    std::wstring serviceHost;
    std::wstring makerHost;
    // Written as customTemporaryFolder before the start; empty: a fresh folder of the launch's own.
    std::wstring temporaryFolder;
    // Settings of earlier runs (window place, history ...) removed before the start, so every
    // launch begins from the program's defaults.
    bool clearSettings = true;
    // More variables for the program; an empty value removes the variable.
    std::vector<std::pair<std::wstring, std::wstring>> environment;
};

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(ProgramOptions options);
    // Ends the program if it still runs: a close request, then termination.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts <build>/Pixhaul.exe; false (see failure()) when it cannot start.
    bool start();
    const std::string& failure() const { return failure_; }

    // The program's main window once it is visible; null when it did not show in time.
    HWND waitForMainWindow(int timeoutMs = 30000);
    HWND mainWindow() const { return window_; }
    RECT windowRect() const;
    // A message box of the program (dialog class "#32770") once it is visible; null when none came.
    HWND waitForMessageBox(int timeoutMs = 10000) const;
    // Every text a message box shows (its static texts), joined by line feeds.
    static std::wstring messageBoxText(HWND box);
    // Answers a message box with its default button.
    static void dismissMessageBox(HWND box);

    // Waits until the program has handled the input sent so far and waits for more; true when it did.
    bool waitForInputIdle(int timeoutMs = 5000) const;
    // True while a window of the program's GUI thread holds the mouse capture.
    bool holdsCapture() const;
    // A left-button drag as a person makes it, in a few steps: the pointer moves once the program
    // has taken the press (it holds the capture), and each step waits until the program shows that
    // it followed: followed(dx, dy) holds for the distance moved so far (or 2 s have passed).
    void drag(POINT from, POINT to, const std::function<bool(int dx, int dy)>& followed) const;

    // Asks the main window to close, as the system menu's Close would.
    void requestClose() const;
    // Waits for the process to end; true when it did.
    bool waitForExit(int timeoutMs = 20000) const;
    bool running() const;
    // The exit code once ended; STILL_ACTIVE while it runs.
    DWORD exitCode() const;
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE processHandle() const { return info_.hProcess; }
    // The folder the program keeps its work files in: the temporary folder + "Pixhaul\".
    std::wstring workFolder() const;

private:
    ProgramOptions options_;
    std::unique_ptr<TempFolder> ownFolder_;
    std::unique_ptr<TemporaryFolderSetting> setting_;
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
    std::string failure_;
};

// Top-level windows of a process that are visible, with their class names.
std::vector<std::pair<HWND, std::wstring>> visibleWindowsOf(DWORD processId);

}  // namespace testsupport
