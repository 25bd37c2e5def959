#include "program/MainRoadSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <regex>

#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace mainroad {
namespace {

using testsupport::keyStroke;
using testsupport::pressKey;

bool hasFocus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == window;
}

struct EditSearch {
    bool lowest = false;
    HWND found = nullptr;
    LONG top = std::numeric_limits<LONG>::max();
};

// The user-name box is the topmost edit of the window, the search box the lowest (in the toolbar).
BOOL CALLBACK findEdit(HWND child, LPARAM parameter) {
    wchar_t name[32] = L"";
    GetClassNameW(child, name, 32);
    RECT r{};
    GetWindowRect(child, &r);
    auto* search = reinterpret_cast<EditSearch*>(parameter);
    if (_wcsicmp(name, L"Edit") == 0 &&
        (search->found == nullptr || (r.top < search->top) != search->lowest)) {
        search->top = r.top;
        search->found = child;
    }
    return TRUE;
}

struct SizedChild {
    int size;
    HWND found = nullptr;
};

BOOL CALLBACK findSquareChild(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<SizedChild*>(parameter);
    RECT r{};
    GetWindowRect(child, &r);
    if (r.right - r.left == search->size && r.bottom - r.top == search->size)
        search->found = child;
    return TRUE;
}

void putOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

double number(const std::string& text) {
    return text == "null" ? 0 : std::stod(text);
}

std::vector<COLORREF> pixelsOf(const RECT& area) {
    testsupport::ScreenCapture capture(area);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < capture.height(); ++y)
        for (int x = 0; x < capture.width(); ++x)
            pixels.push_back(capture.at(x, y));
    return pixels;
}

}  // namespace

std::vector<LoggedRequest> parseLog(const std::string& json) {
    // The site writes every entry with the same keys in the same order.
    static const std::regex entry(
        "\\{\"time\": ([0-9.e+]+), \"port\": [0-9]+, \"host\": \"([a-z]+)\", \"method\": \"([A-Z]+)\", "
        "\"path\": \"([^\"]*)\", \"status\": ([0-9]+), \"end\": ([0-9.e+]+|null)\\}");
    std::vector<LoggedRequest> requests;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), entry); it != std::sregex_iterator();
         ++it) {
        const std::smatch& m = *it;
        requests.push_back(
            LoggedRequest{number(m[1]), number(m[6]), m[2], m[3], m[4], std::stoi(m[5].str())});
    }
    return requests;
}

std::vector<size_t> batchesOneAfterAnother(const std::vector<LoggedRequest>& requests,
                                           const std::function<size_t(const LoggedRequest&)>& batchOf) {
    // How many requests of a batch ran at once depends on the machine's load; that a batch waited
    // for the replies of the one before it does not.
    std::vector<size_t> sizes;
    std::vector<double> firstStart;
    std::vector<double> lastEnd;
    for (const LoggedRequest& request : requests) {
        const size_t batch = batchOf(request);
        if (batch >= sizes.size()) {
            sizes.resize(batch + 1, 0);
            firstStart.resize(batch + 1, std::numeric_limits<double>::max());
            lastEnd.resize(batch + 1, 0);
        }
        ++sizes[batch];
        firstStart[batch] = std::min(firstStart[batch], request.time);
        lastEnd[batch] =
            std::max(lastEnd[batch], request.end > 0 ? request.end : std::numeric_limits<double>::max());
    }
    for (size_t batch = 1; batch < sizes.size(); ++batch) {
        if (firstStart[batch] < lastEnd[batch - 1])
            return {};
    }
    return sizes;
}

bool MainRoadSession::startWithAlice() {
    if (!start())
        return false;
    typeUserName(L"alice");
    const bool loaded = waitForUserNameText(L"alice", 60000) && waitForThumbnailCount(45, 10000);
    EXPECT_TRUE(loaded) << site().logText();
    return loaded;
}

bool MainRoadSession::start(bool clearSettings, const std::string& siteMode,
                            const std::wstring& temporaryFolder) {
    if (!site().reset() || (!siteMode.empty() && !site().setMode(siteMode)))
        return false;
    testsupport::ProgramOptions options = programtest::siteOptions();
    options.clearSettings = clearSettings;
    options.temporaryFolder = temporaryFolder;
    // An earlier run puts its settings back when it goes: before this start, not after it.
    program_.reset();
    program_ = programtest::launch(options);
    if (!program_)
        return false;
    EditSearch search;
    EnumChildWindows(program_->mainWindow(), findEdit, reinterpret_cast<LPARAM>(&search));
    edit_ = search.found;
    if (!edit_ || !testsupport::waitUntil([&] { return !userNameText().empty(); }, 10000))
        return false;
    // The start face once the window has painted it: two reads in a row agree.
    programtest::parkPointer();
    testsupport::waitUntil(
        [&] {
            std::vector<COLORREF> face = pixelsOf(startStopRect());
            const bool settled = face == goFace_;
            goFace_ = std::move(face);
            return settled;
        },
        5000);
    return true;
}

HWND MainRoadSession::userNamePanel() const {
    // The edit sits in its own panel inside the box's panel.
    return GetParent(GetParent(edit_));
}

RECT MainRoadSession::startStopRect() const {
    RECT panel{};
    GetWindowRect(userNamePanel(), &panel);
    // The button is 88 x 27, 6 pixels right of the box and 1 pixel below its top.
    return RECT{panel.right + 6, panel.top + 1, panel.right + 6 + 88, panel.top + 1 + 27};
}

void MainRoadSession::typeUserName(const std::wstring& text, bool enter) {
    replaceText(edit_, text);
    // Input arrives in its own time: the load is asked for once the box shows the name, and taken
    // as begun once the box no longer shows it or the profile was requested.
    testsupport::waitUntil([&] { return userNameText() == text; }, 5000);
    if (enter)
        pressEnterAndWait(text);
}

void MainRoadSession::replaceText(HWND edit, const std::wstring& text, bool paste) {
    // A click right after a message box closed may only activate the window: click until the box
    // has the focus.
    RECT r{};
    GetWindowRect(edit, &r);
    auto editFocused = [&] { return hasFocus(edit); };
    for (int attempt = 0; attempt < 3 && !editFocused(); ++attempt) {
        testsupport::leftClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        testsupport::waitUntil(editFocused, 2000);
    }
    // Whatever the box shows goes: select it all, then type over it.
    pressKey(VK_END);
    keyStroke(VK_SHIFT, true);
    pressKey(VK_HOME);
    keyStroke(VK_SHIFT, false);
    pressKey(VK_DELETE);
    if (paste) {
        putOnClipboard(text);
        keyStroke(VK_CONTROL, true);
        pressKey('V');
        keyStroke(VK_CONTROL, false);
    } else {
        testsupport::typeText(text);
    }
    programtest::parkPointer();
}

void MainRoadSession::pressEnterAndWait(const std::wstring& typed) {
    const std::string profile = "/" + std::string(typed.begin(), typed.end());
    const size_t asked = countRequests(profile);
    pressKey(VK_RETURN);
    testsupport::waitUntil(
        [&] { return userNameText() != typed || countRequests(profile) > asked || messageBoxShown(); }, 5000);
}

void MainRoadSession::pasteUserName(const std::wstring& text) {
    replaceText(edit_, text, true);
    testsupport::waitUntil([&] { return userNameText() == text; }, 5000);
    pressEnterAndWait(text);
}

HWND MainRoadSession::searchEdit() const {
    EditSearch search{true};
    EnumChildWindows(program_->mainWindow(), findEdit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void MainRoadSession::typeSearch(const std::wstring& text, bool paste) {
    replaceText(searchEdit(), text, paste);
    testsupport::waitUntil([&] { return textOf(searchEdit()) == text; }, 10000);
    pressKey(VK_RETURN);
}

void MainRoadSession::clickStartStop() {
    const RECT r = startStopRect();
    testsupport::leftClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    // The pointer rests on the top panel below the button: one that leaves the window at once may
    // leave the button its hover face.
    testsupport::moveMouseTo({(r.left + r.right) / 2, r.bottom + 20});
}

std::wstring MainRoadSession::userNameText() const {
    return textOf(edit_);
}

std::wstring MainRoadSession::textOf(HWND edit) {
    // GetWindowText reads only captions of another process's windows: the edit is asked itself.
    std::wstring text(8192, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return std::wstring();
    text.resize(copied);
    return text;
}

bool MainRoadSession::waitForUserNameText(const std::wstring& text, int timeoutMs) {
    return testsupport::waitUntil([&] { return userNameText() == text; }, timeoutMs);
}

bool MainRoadSession::userNameEditFocused() const {
    return hasFocus(edit_);
}

std::wstring MainRoadSession::answerMessageBox(int timeoutMs) {
    HWND box = program_->waitForMessageBox(timeoutMs);
    if (!box) {
        saveScreenshot(L"main-road-no-box.png");
        return L"(no box; the box read " + userNameText() + L")";
    }
    // The texts are set before the box shows; the caption is read with them.
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    std::wstring text = std::wstring(caption) + L": " + testsupport::ProgramUnderTest::messageBoxText(box);
    testsupport::ProgramUnderTest::dismissMessageBox(box);
    testsupport::waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return text;
}

bool MainRoadSession::messageBoxShown() const {
    for (const auto& [window, className] : testsupport::visibleWindowsOf(program_->processId()))
        if (className == L"#32770")
            return true;
    return false;
}

std::vector<LoggedRequest> MainRoadSession::requests(const std::string& pathPrefix) const {
    std::vector<LoggedRequest> found;
    for (const LoggedRequest& request : parseLog(programtest::site().logText()))
        if (request.path.compare(0, pathPrefix.size(), pathPrefix) == 0)
            found.push_back(request);
    return found;
}

bool MainRoadSession::waitForRequests(const std::string& pathPrefix, size_t count, int timeoutMs) const {
    return testsupport::waitUntil([&] { return countRequests(pathPrefix) >= count; }, timeoutMs);
}

std::vector<ThumbnailFile> MainRoadSession::thumbnailFiles() const {
    std::vector<ThumbnailFile> files;
    const std::wstring folder = program_->workFolder() + L"Thumbnails\\";
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::wstring name = data.cFileName;
        const bool unfinished = name.size() > 4 && name.compare(name.size() - 4, 4, L".tmp") == 0;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !unfinished)
            files.push_back(ThumbnailFile{data.cFileName, data.ftLastWriteTime, std::string()});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (ThumbnailFile& file : files)
        file.bytes = testsupport::readFileBytes(folder + file.name);
    return files;
}

bool MainRoadSession::waitForThumbnailCount(size_t count, int timeoutMs) const {
    return testsupport::waitUntil([&] { return thumbnailFiles().size() == count; }, timeoutMs);
}

bool MainRoadSession::waitForGoFace(bool shown, int timeoutMs) const {
    // The faces' writing is compared, not their backgrounds: the button may keep its hover tint
    // after a click under Wine.
    auto writing = [](COLORREF c) { return GetRValue(c) < 128; };
    auto showsGoFace = [&] {
        const std::vector<COLORREF> now = pixelsOf(startStopRect());
        if (now.size() != goFace_.size() || now.empty())
            return false;
        size_t differing = 0;
        size_t written = 0;
        for (size_t i = 0; i < now.size(); ++i) {
            differing += writing(now[i]) != writing(goFace_[i]) ? 1 : 0;
            written += writing(goFace_[i]) ? 1 : 0;
        }
        return written > 0 && differing * 20 <= written;
    };
    if (testsupport::waitUntil([&] { return showsGoFace() == shown; }, timeoutMs))
        return true;
    saveScreenshot(L"main-road-face-not-shown.png");
    return false;
}

bool MainRoadSession::pieVisible() const {
    SizedChild search{19};
    EnumChildWindows(userNamePanel(), findSquareChild, reinterpret_cast<LPARAM>(&search));
    return search.found && IsWindowVisible(search.found);
}

void MainRoadSession::saveScreenshot(const std::wstring& name) const {
    testsupport::ScreenCapture::ofWindow(program_->mainWindow()).saveArtifact(name);
}

}  // namespace mainroad
