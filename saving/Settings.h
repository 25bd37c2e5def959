#pragma once
// The user's settings as they are kept under the settings key: every value with its registry name,
// its type and its default, and the reading and writing of the whole set. A stored value counts
// only with the type and size it is written with (a 4-byte REG_DWORD, a REG_SZ, a REG_MULTI_SZ);
// anything else counts as absent, so the default stays. The main window copies a loaded set into
// its controls and fields, and collects one from them before it closes.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class StringKeyCollection;

// Bounds of the thumbnail side in pixels; a stored width outside them is moved to the nearest one.
constexpr int kMinThumbnailWidth = 150;
constexpr int kMaxThumbnailWidth = 306;

// Slideshow speeds in the order of their menu items; a stored number outside them selects the
// nearest end.
constexpr int kSlowSlideshow = 0;
constexpr int kModerateSlideshow = 1;
constexpr int kFastSlideshow = 2;

// Overlay levels 0 (transparent) to 11 (black), in the order of the overlay menu's items.
constexpr int kDarkOverlay = 6;
constexpr int kBlackOverlay = 11;

// The restored (normal) rectangle of the main window in screen coordinates, and whether it was
// maximized.
struct SavedWindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
};

// One row of the user-name history with the folder that user's photos were last saved to (empty
// for none).
struct HistoryEntry {
    std::wstring name;
    std::wstring folder;
};

// A default-made set is the first start: the window's design defaults stay where a member is
// empty, and the flags and numbers are those the menus show at first.
struct Settings {
    // Present only when all five of left, top, width, height and maximized were stored.
    std::optional<SavedWindowRect> window;
    // In list order; the first of names that differ only in case wins, with its folder.
    std::vector<HistoryEntry> usernames;
    // Clamped to kMinThumbnailWidth..kMaxThumbnailWidth.
    std::optional<int> thumbnailImageWidth;
    std::optional<std::wstring> lastSavedPhotosFolderPath;
    std::optional<std::wstring> lastSavedPhotosZipFolderPath;
    bool showTagsAsThumbnailTooltips = true;
    bool showThumbnailShadows = true;
    bool showFullSizeWhenThumbnailClicking = true;
    bool anyTagCanMatch = true;
    bool clearSearchWhenChangingUsername = true;
    int slideshow = kModerateSlideshow;   // kSlowSlideshow..kFastSlideshow
    int slideshowOverlay = kDarkOverlay;  // 0..kBlackOverlay
};

// Reads the set from an open key.
Settings readSettings(HKEY key);

// Writes every value of the set into an open key. The window rectangle is written only when the
// set has one.
void writeSettings(HKEY key, const Settings& settings);

// Reads the set from the key under root; the defaults when the key cannot be opened (first start,
// no access).
Settings loadSettingsFromKey(HKEY root, const wchar_t* path);

// Opens or creates the key under root and writes the set. False when the key cannot be opened or
// created; then nothing is written.
bool saveSettingsToKey(HKEY root, const wchar_t* path, const Settings& settings);

// The history entries of the stored strings ("name\nfolder", "name\n" or "name"): names and
// folders trimmed, empty names skipped, and of names that differ only in case the first kept.
std::vector<HistoryEntry> parseHistoryEntries(const std::vector<std::wstring>& texts);

// The stored strings of history entries: "name\nfolder", or "name\n" without a folder.
std::vector<std::wstring> formatHistoryEntries(const std::vector<HistoryEntry>& entries);

// The folder kept for a history name: the entry with exactly this name, else the first whose name
// differs only in case (a user typed in another case than the history row). Empty when none.
std::wstring findUserFolder(StringKeyCollection& folders, const std::wstring& name);

// True when the rectangle shares at least one pixel with one of the monitor rectangles. A stored
// rectangle that meets none (a monitor was removed) or is empty is not applied.
bool rectMeetsAnyMonitor(const RECT& rect, const std::vector<RECT>& monitors);

// The rectangle a window placement reports (workspace coordinates: relative to the work area of
// its monitor) in screen coordinates, so that a taskbar at the top or left does not move a
// restored window on every start.
RECT workspaceToScreen(const RECT& workspaceRect, const RECT& monitorRect, const RECT& workArea);
