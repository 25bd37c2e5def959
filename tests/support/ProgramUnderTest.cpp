#include "support/ProgramUnderTest.h"

#include <map>

#include "support/RealInput.h"

#include "common/RegistryValues.h"

namespace testsupport {
namespace {

const wchar_t kTemporaryFolderValue[] = L"customTemporaryFolder";

// Runs a program and waits for it; its exit code, or ~0u when it did not start or end in time.
DWORD runAndWait(std::wstring commandLine, int timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

bool runRegsvr32(const wchar_t* switches) {
    const std::wstring command =
        std::wstring(L"regsvr32.exe ") + switches + L" \"" + binaryPath(L"Pxhl.dll") + L"\"";
    return runAndWait(command, 60000) == 0;
}

// The calling process's environment with the given variables set (an empty value removes one),
// as a block for CreateProcessW. Names compare without regard to case, as Windows does.
std::wstring environmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
    auto lower = [](std::wstring text) {
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(towlower(c));
        return text;
    };
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            const std::size_t equals = text.find(L'=', 1);  // "=C:=C:\..." entries start with '='
            if (equals != std::wstring::npos)
                variables[lower(text.substr(0, equals))] = text;
        }
        FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : changes) {
        if (value.empty())
            variables.erase(lower(name));
        else
            variables[lower(name)] = name + L"=" + value;
    }
    std::wstring block;
    for (const auto& entry : variables) {
        block += entry.second;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<std::pair<HWND, std::wstring>>*>*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->first && IsWindowVisible(window)) {
        wchar_t name[256] = L"";
        GetClassNameW(window, name, 256);
        found->second->emplace_back(window, name);
    }
    return TRUE;
}

BOOL CALLBACK collectText(HWND child, LPARAM parameter) {
    wchar_t name[64] = L"";
    GetClassNameW(child, name, 64);
    if (_wcsicmp(name, L"Static") == 0) {
        const int length = GetWindowTextLengthW(child);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(child, &text[0], length + 1)));
        if (!text.empty()) {
            auto* joined = reinterpret_cast<std::wstring*>(parameter);
            if (!joined->empty())
                *joined += L'\n';
            *joined += text;
        }
    }
    return TRUE;
}

}  // namespace

bool registerPxhl() {
    return runRegsvr32(L"/s");
}

bool unregisterPxhl() {
    return runRegsvr32(L"/s /u");
}

TemporaryFolderSetting::TemporaryFolderSetting(const std::wstring& folder, bool remove) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    hadValue_ = regValueExists(key, kTemporaryFolderValue);
    oldValue_ = regReadString(key, kTemporaryFolderValue);
    if (remove)
        RegDeleteValueW(key, kTemporaryFolderValue);
    else
        regWriteString(key, kTemporaryFolderValue, folder);
    RegCloseKey(key);
}

TemporaryFolderSetting::~TemporaryFolderSetting() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        regWriteString(key, kTemporaryFolderValue, oldValue_);
    else
        RegDeleteValueW(key, kTemporaryFolderValue);
    RegCloseKey(key);
}

ProgramUnderTest::ProgramUnderTest(ProgramOptions options) : options_(std::move(options)) {
    if (options_.temporaryFolder.empty()) {
        ownFolder_ = std::make_unique<TempFolder>();
        options_.temporaryFolder = ownFolder_->path();
    }
}

ProgramUnderTest::~ProgramUnderTest() {
    if (info_.hProcess) {
        if (running()) {
            requestClose();
            if (!waitForExit(10000)) {
                TerminateProcess(info_.hProcess, 1);
                WaitForSingleObject(info_.hProcess, 10000);
            }
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
}

bool ProgramUnderTest::start() {
    if (options_.clearSettings)
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath);
    setting_ = std::make_unique<TemporaryFolderSetting>(options_.temporaryFolder);

    std::vector<std::pair<std::wstring, std::wstring>> changes{
        {L"PIXHAUL_SERVICE_HOST", options_.serviceHost}, {L"PIXHAUL_MAKER_HOST", options_.makerHost}};
    changes.insert(changes.end(), options_.environment.begin(), options_.environment.end());
    std::wstring environment = environmentBlock(changes);

    const std::wstring path = binaryPath(L"Pixhaul.exe");
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        failure_ = "Pixhaul.exe is not built";
        return false;
    }
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        &environment[0], nullptr, &startup, &info_)) {
        failure_ = "cannot start Pixhaul.exe, error " + std::to_string(GetLastError());
        info_ = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

HWND ProgramUnderTest::waitForMainWindow(int timeoutMs) {
    // The largest visible window of the process that is not a dialog box: hint and drop-down
    // windows are top-level windows too.
    waitUntil(
        [this] {
            window_ = nullptr;
            long largest = 0;
            for (const auto& [window, className] : visibleWindowsOf(processId())) {
                RECT r{};
                GetWindowRect(window, &r);
                const long area = static_cast<long>(r.right - r.left) * (r.bottom - r.top);
                if (className != L"#32770" && area > largest) {
                    largest = area;
                    window_ = window;
                }
            }
            return window_ != nullptr || !running();
        },
        timeoutMs);
    return window_;
}

RECT ProgramUnderTest::windowRect() const {
    RECT r{};
    if (window_)
        GetWindowRect(window_, &r);
    return r;
}

HWND ProgramUnderTest::waitForMessageBox(int timeoutMs) const {
    HWND box = nullptr;
    // A box is shown before it takes the keyboard: keys sent meanwhile would reach the window
    // behind it. Input waits until the box is its thread's active window.
    waitUntil(
        [&] {
            box = nullptr;
            for (const auto& [window, className] : visibleWindowsOf(processId()))
                if (className == L"#32770")
                    box = window;
            GUITHREADINFO thread{};
            thread.cbSize = sizeof(thread);
            return (box && GetGUIThreadInfo(info_.dwThreadId, &thread) && thread.hwndActive == box) ||
                   !running();
        },
        timeoutMs);
    return box;
}

std::wstring ProgramUnderTest::messageBoxText(HWND box) {
    std::wstring joined;
    EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&joined));
    return joined;
}

void ProgramUnderTest::dismissMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool ProgramUnderTest::waitForInputIdle(int timeoutMs) const {
    return info_.hProcess && WaitForInputIdle(info_.hProcess, static_cast<DWORD>(timeoutMs)) == 0;
}

bool ProgramUnderTest::holdsCapture() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return info_.dwThreadId && GetGUIThreadInfo(info_.dwThreadId, &info) && info.hwndCapture != nullptr;
}

void ProgramUnderTest::drag(POINT from, POINT to, const std::function<bool(int dx, int dy)>& followed) const {
    moveMouseTo(from);
    mouseButton(true, true);
    waitUntil([this] { return holdsCapture(); }, 2000);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        const int dx = (to.x - from.x) * i / steps;
        const int dy = (to.y - from.y) * i / steps;
        moveMouseTo({from.x + dx, from.y + dy});
        // Under Wine the last move can wait in the program's queue until the next input comes: a
        // wheel turn of nothing is input that changes nothing and lets it through.
        for (int tries = 0; tries < 10 && !waitUntil([&] { return followed(dx, dy); }, 200); ++tries)
            mouseWheel(0);
    }
    mouseButton(true, false);
    waitUntil([this] { return !holdsCapture(); }, 2000);
}

void ProgramUnderTest::requestClose() const {
    if (window_)
        PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool ProgramUnderTest::waitForExit(int timeoutMs) const {
    return info_.hProcess &&
           WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool ProgramUnderTest::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramUnderTest::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::wstring ProgramUnderTest::workFolder() const {
    std::wstring folder = options_.temporaryFolder;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Pixhaul\\";
}

std::vector<std::pair<HWND, std::wstring>> visibleWindowsOf(DWORD processId) {
    std::vector<std::pair<HWND, std::wstring>> windows;
    std::pair<DWORD, std::vector<std::pair<HWND, std::wstring>>*> search{processId, &windows};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return windows;
}

}  // namespace testsupport
