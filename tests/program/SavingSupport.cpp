#include "program/SavingSupport.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

#include "common/RegistryValues.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/ThumbnailGrid.h"
#include "program/ViewingGrid.h"
#include "saving/UnixTools.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace savingtest {
namespace {

namespace L = formlayout;

constexpr int kDialogMs = 15000;
// The accent colour: a selected tile's mark and the progress strip's frame.
constexpr COLORREF kAccentBlue = RGB(0x00, 0xAE, 0xEF);

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
    // The strip is framed in the accent colour around the black track. Right after it shows, the
    // screen may still hold the job buttons it covers: until its frame is there, no reading counts.
    const testsupport::ScreenCapture capture = testsupport::ScreenCapture::ofWindow(panel_);
    const int w = capture.width();
    const int h = capture.height();
    for (const POINT& edge : {POINT{0, h / 2}, POINT{w - 1, h / 2}, POINT{w / 2, 0}, POINT{w / 2, h - 1}}) {
        if (!testsupport::closeTo(capture.at(edge.x, edge.y), kAccentBlue, 16))
            return -1;
    }
    // The filled part is patterned in colour from the left on the track; the percentage sits in the
    // middle rows, so a few rows near the top are read (the track starts at the frame's inner edge).
    int filled = 0;
    for (int y = 3; y < 7; ++y) {
        for (int x = w - 2; x > filled; --x) {
            const COLORREF c = capture.at(x, y);
            if (std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) > 48) {
                filled = x;
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
            if (width >= 0 && width == previous && shown()) {
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
    const HWND box = viewing::gridWindow(program().mainWindow());
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
        return corner.count(RECT{0, 0, 32, 32}, kAccentBlue, 16) > 40;
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

void SavingSession::pressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    testsupport::waitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

std::wstring SavingSession::confirmFolderDialog() {
    const HWND dialog = program().waitForMessageBox(kDialogMs);
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
    const HWND dialog = program().waitForMessageBox(kDialogMs);
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
    const HWND box = program().waitForMessageBox(timeoutMs);
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
