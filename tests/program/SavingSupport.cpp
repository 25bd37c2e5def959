#include "program/SavingSupport.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

#include "common/RegistryValues.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/ThumbnailGrid.h"
#include "saving/UnixTools.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace savingtest {
namespace {

namespace L = formlayout;

constexpr COLORREF kSelectedMarkBlue = RGB(0x00, 0xAE, 0xEF);

struct ChildSearch {
    int height;
    HWND found = nullptr;
    LONG top = -1;
};

// The lowest visible child of the given height.
BOOL CALLBACK findLowestChild(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    RECT r{};
    GetWindowRect(child, &r);
    if (IsWindowVisible(child) && r.bottom - r.top == search->height && r.top > search->top) {
        search->top = r.top;
        search->found = child;
    }
    return TRUE;
}

HWND childOfHeight(HWND parent, int height) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (r.bottom - r.top == height)
            return child;
    }
    return nullptr;
}

HWND bottomPanelOf(HWND mainWindow) {
    ChildSearch search{L::kBottomPanelHeight};
    EnumChildWindows(mainWindow, findLowestChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring controlText(HWND control) {
    // Text of another process's control: the control itself is asked.
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return std::wstring();
    return std::wstring(text, copied);
}

}  // namespace

int64_t ticks(const FILETIME& time) {
    return static_cast<int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

int64_t writeTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ticks(data.ftLastWriteTime);
}

void setWriteTime(const std::wstring& path, int64_t time) {
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, nullptr, nullptr, &stamp);
        CloseHandle(file);
    }
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string quotedUnixPath(const std::wstring& windowsPath) {
    return "\"" + unixPath(windowsPath) + "\"";
}

// ---- the progress strip

StripWatch::StripWatch(HWND mainWindow) {
    if (HWND bottom = bottomPanelOf(mainWindow))
        panel_ = childOfHeight(bottom, L::kDownloadPanelHeight);
    if (panel_)
        innerPanel_ = GetWindow(panel_, GW_CHILD);
    if (innerPanel_)
        sampler_ = std::thread([this] { run(); });
}

StripWatch::~StripWatch() {
    stop_ = true;
    if (sampler_.joinable())
        sampler_.join();
}

bool StripWatch::shown() const {
    return panel_ && IsWindowVisible(panel_);
}

int StripWatch::filledWidth() const {
    // The filled part is patterned in colour from the left on the black track; the percentage sits
    // in the middle rows, so a few rows near the top are read.
    const testsupport::ScreenCapture capture = testsupport::ScreenCapture::ofWindow(innerPanel_);
    int filled = 0;
    for (int y = 2; y < 6; ++y) {
        for (int x = capture.width() - 1; x >= filled; --x) {
            const COLORREF c = capture.at(x, y);
            if (std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) > 48) {
                filled = x + 1;
                break;
            }
        }
    }
    return filled;
}

void StripWatch::run() {
    // A value counts once two readings in a row agree: a repaint caught half-way is no value.
    int previous = -1;
    while (!stop_) {
        if (shown()) {
            const int width = filledWidth();
            if (width == previous && shown()) {
                std::lock_guard<std::mutex> hold(lock_);
                if (widths_.empty() || widths_.back() != width)
                    widths_.push_back(width);
            }
            previous = width;
        } else {
            previous = -1;
        }
        Sleep(15);
    }
}

std::vector<int> StripWatch::widths() const {
    std::lock_guard<std::mutex> hold(lock_);
    return widths_;
}

int StripWatch::fullWidth() const {
    RECT r{};
    GetWindowRect(innerPanel_, &r);
    return r.right - r.left;
}

double StripWatch::lastFraction() const {
    const std::vector<int> seen = widths();
    return seen.empty() || fullWidth() <= 0 ? 0 : static_cast<double>(seen.back()) / fullWidth();
}

bool StripWatch::neverDecreased() const {
    const std::vector<int> seen = widths();
    return std::is_sorted(seen.begin(), seen.end());
}

bool StripWatch::reachedFull() const {
    // The filled part's last column is its frame's dark edge.
    const std::vector<int> seen = widths();
    return !seen.empty() && seen.back() >= fullWidth() - 1;
}

POINT StripWatch::stopButton() const {
    RECT r{};
    GetWindowRect(panel_, &r);
    return POINT{r.right + 24 + L::kStopJobButtonSize / 2, r.top + L::kStopJobButtonSize / 2};
}

// ---- the session

bool SavingSession::startWith(const StartSettings& settings) {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKeyPath);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        regWriteBool(key, L"showFullSizeWhenThumbnailClicking", false);
        regWriteDword(key, L"thumbnailImageWidth", 150);
        regWriteDword(key, L"left", 0);
        regWriteDword(key, L"top", 0);
        regWriteDword(key, L"width", 1270);
        regWriteDword(key, L"height", 1000);
        regWriteBool(key, L"maximized", false);
        if (!settings.userName.empty())
            regWriteMultiString(key, L"usernames", {settings.userName + L"\n" + settings.folder});
        regWriteString(key, L"lastSavedPhotosZipFolderPath", settings.zipFolder);
        RegCloseKey(key);
    }
    return start(false);
}

bool SavingSession::loadUser(const std::wstring& name, size_t items) {
    typeUserName(name);
    return waitForUserNameText(name, 60000) && waitForThumbnailCount(items, 10000);
}

void SavingSession::clickTiles(const std::vector<int>& positions) {
    // The grid's scroll box fills the middle of the window; its tiles are drawn, not windows.
    const HWND main = program().mainWindow();
    RECT client{};
    GetClientRect(main, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(main, &middle);
    const HWND box = WindowFromPoint(middle);
    RECT area{};
    GetClientRect(box, &area);
    POINT origin{0, 0};
    ClientToScreen(box, &origin);
    const GridMetrics metrics;
    const int columns = gridColumns(metrics, area.right);
    const bool ownBarShown = (GetWindowLongW(box, GWL_STYLE) & WS_VSCROLL) != 0;
    const int left = gridLeft(metrics, area.right, columns, ownBarShown ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    auto photoAt = [&](int position) {
        const TileOrigin tile = tileOrigin(metrics, left, 0, static_cast<size_t>(position), columns);
        return POINT{origin.x + tile.left, origin.y + tile.top};
    };
    // A selected tile's mark in its bottom right corner is filled blue; a hovered tile shows its
    // border and an empty mark, so the border alone cannot tell.
    auto shownSelected = [&](int position) {
        const POINT photo = photoAt(position);
        const int w = metrics.thumbnailWidth;
        const int h = metrics.thumbnailHeight;
        const testsupport::ScreenCapture corner(
            RECT{photo.x + w - 32, photo.y + h - 32, photo.x + w, photo.y + h});
        return corner.count(RECT{0, 0, 32, 32}, kSelectedMarkBlue, 16) > 40;
    };
    // A click that arrives while the window is still busy may be lost: a tile that does not show
    // its selection in time is clicked again.
    for (int position : positions) {
        const POINT photo = photoAt(position);
        for (int attempt = 0; attempt < 3 && !shownSelected(position); ++attempt) {
            testsupport::leftClick(
                {photo.x + metrics.thumbnailWidth / 2, photo.y + metrics.thumbnailHeight / 2});
            testsupport::waitUntil([&] { return shownSelected(position); }, 5000);
        }
    }
    programtest::parkPointer();
}

void SavingSession::clickJobButton(JobButton button) {
    const HWND bottom = bottomPanelOf(program().mainWindow());
    RECT r{};
    GetWindowRect(bottom, &r);
    const int zipLeft = (r.right - r.left - L::kBottomButtonWidth) / 2;
    const int step = L::kBottomButtonWidth + L::kBottomButtonGap;
    const int left = button == JobButton::folder ? zipLeft - step
                     : button == JobButton::zip  ? zipLeft
                                                 : zipLeft + step;
    testsupport::leftClick({r.left + left + L::kBottomButtonWidth / 2,
                            r.top + L::kBottomButtonTop + L::kBottomButtonHeight / 2});
    programtest::parkPointer();
}

HWND SavingSession::waitForDialog(int timeoutMs) {
    HWND dialog = nullptr;
    testsupport::waitUntil(
        [&] {
            for (const auto& [window, className] : testsupport::visibleWindowsOf(program().processId()))
                if (className == L"#32770")
                    dialog = window;
            return dialog != nullptr || !program().running();
        },
        timeoutMs);
    return dialog;
}

void SavingSession::pressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    testsupport::waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

std::wstring SavingSession::confirmFolderDialog() {
    const HWND dialog = waitForDialog();
    if (!dialog)
        return L"(no folder dialog)";
    // The dialog selects the folder it opens on once it has shown; its edit box then names it.
    const HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    const HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    std::wstring named;
    testsupport::waitUntil(
        [&] {
            named = controlText(edit);
            return tree && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0 && !named.empty();
        },
        10000);
    const std::wstring texts = testsupport::ProgramUnderTest::messageBoxText(dialog) + L"\n" + named;
    pressButton(dialog, IDOK);
    return texts;
}

std::wstring SavingSession::confirmSaveDialog(const std::wstring& path) {
    const HWND dialog = waitForDialog();
    if (!dialog)
        return L"(no save dialog)";
    wchar_t caption[128] = L"";
    GetWindowTextW(dialog, caption, 128);
    // The file-name box is a combo box in newer dialogs and an edit box in older ones.
    for (int id : {cmb13, edt1}) {
        if (HWND box = GetDlgItem(dialog, id)) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                                2000, &result);
        }
    }
    pressButton(dialog, IDOK);
    return caption;
}

std::wstring SavingSession::answerBox(int id, int timeoutMs) {
    const HWND box = waitForDialog(timeoutMs);
    if (!box)
        return std::wstring();
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    const std::wstring text =
        std::wstring(caption) + L": " + testsupport::ProgramUnderTest::messageBoxText(box);
    pressButton(box, id);
    return text;
}

SiteItem SavingSession::siteItem(int position, const std::string& url, const std::wstring& name,
                                 const std::string& thumbnail) {
    // The program stamps every file of an item with its item time: the thumbnail file too.
    const std::string thumbnailBytes = testsupport::httpExchange(site().imagePort(), "GET", thumbnail);
    int64_t time = -1;
    for (const mainroad::ThumbnailFile& file : thumbnailFiles())
        if (file.bytes == thumbnailBytes)
            time = ticks(file.time);
    return SiteItem{position, url, name, testsupport::httpExchange(site().imagePort(), "GET", url), time};
}

std::vector<SiteItem> SavingSession::aliceItems(const std::vector<int>& positions) {
    std::vector<SiteItem> items;
    for (int position : positions) {
        // The grid shows alice's 45 items newest first; 44 and 30 are the videos with an address.
        const std::string number = std::to_string(45 - position);
        const bool video = number == "44" || number == "30";
        const std::string file = "1001_" + number + (video ? ".mp4" : ".jpg");
        items.push_back(siteItem(position, std::string("/cdn/alice/") + (video ? "v/" : "s/") + file,
                                 L"alice_" + std::wstring(file.begin(), file.end()),
                                 "/cdn/alice/l/1001_" + number + ".jpg"));
    }
    return items;
}

}  // namespace savingtest
