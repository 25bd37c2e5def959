#include "saving/Settings.h"

#include "common/RegistryKey.h"
#include "common/RegistryValues.h"
#include "common/StringKeyCollection.h"
#include "common/TextFunctions.h"

#include <algorithm>

namespace {

std::optional<int> readNumber(HKEY key, const wchar_t* name) {
    if (!regValueStoredAs(key, name, REG_DWORD, sizeof(DWORD))) {
        return std::nullopt;
    }
    return regReadDword(key, name);
}

void readFlag(HKEY key, const wchar_t* name, bool& flag) {
    if (regValueStoredAs(key, name, REG_DWORD, sizeof(DWORD))) {
        flag = regReadBool(key, name);
    }
}

std::optional<std::wstring> readText(HKEY key, const wchar_t* name) {
    if (!regValueStoredAs(key, name, REG_SZ, 0)) {
        return std::nullopt;
    }
    return regReadString(key, name);
}

std::optional<SavedWindowRect> readWindowRect(HKEY key) {
    const std::optional<int> left = readNumber(key, L"left");
    const std::optional<int> top = readNumber(key, L"top");
    const std::optional<int> width = readNumber(key, L"width");
    const std::optional<int> height = readNumber(key, L"height");
    const std::optional<int> maximized = readNumber(key, L"maximized");
    if (!left || !top || !width || !height || !maximized) {
        return std::nullopt;
    }
    return SavedWindowRect{*left, *top, *width, *height, *maximized != 0};
}

}  // namespace

Settings readSettings(HKEY key) {
    Settings settings;
    settings.window = readWindowRect(key);
    if (regValueStoredAs(key, L"usernames", REG_MULTI_SZ, 0)) {
        settings.usernames = parseHistoryEntries(regReadMultiString(key, L"usernames"));
    }
    if (const std::optional<int> width = readNumber(key, L"thumbnailImageWidth")) {
        settings.thumbnailImageWidth = std::clamp(*width, kMinThumbnailWidth, kMaxThumbnailWidth);
    }
    settings.lastSavedPhotosFolderPath = readText(key, L"lastSavedPhotosFolderPath");
    settings.lastSavedPhotosZipFolderPath = readText(key, L"lastSavedPhotosZipFolderPath");
    readFlag(key, L"showTagsAsThumbnailTooltips", settings.showTagsAsThumbnailTooltips);
    readFlag(key, L"showThumbnailShadows", settings.showThumbnailShadows);
    readFlag(key, L"showFullSizeWhenThumbnailClicking", settings.showFullSizeWhenThumbnailClicking);
    readFlag(key, L"anyTagCanMatch", settings.anyTagCanMatch);
    readFlag(key, L"clearSearchWhenChangingUsername", settings.clearSearchWhenChangingUsername);
    if (const std::optional<int> speed = readNumber(key, L"slideshow")) {
        settings.slideshow = std::clamp(*speed, kSlowSlideshow, kFastSlideshow);
    }
    if (const std::optional<int> overlay = readNumber(key, L"slideshowOverlay")) {
        settings.slideshowOverlay = std::clamp(*overlay, 0, kBlackOverlay);
    }
    return settings;
}

void writeSettings(HKEY key, const Settings& settings) {
    if (settings.window) {
        regWriteDword(key, L"left", static_cast<DWORD>(settings.window->left));
        regWriteDword(key, L"top", static_cast<DWORD>(settings.window->top));
        regWriteDword(key, L"width", static_cast<DWORD>(settings.window->width));
        regWriteDword(key, L"height", static_cast<DWORD>(settings.window->height));
        regWriteBool(key, L"maximized", settings.window->maximized);
    }
    regWriteMultiString(key, L"usernames", formatHistoryEntries(settings.usernames));
    if (settings.thumbnailImageWidth) {
        regWriteDword(key, L"thumbnailImageWidth", static_cast<DWORD>(*settings.thumbnailImageWidth));
    }
    regWriteString(key, L"lastSavedPhotosFolderPath", settings.lastSavedPhotosFolderPath.value_or(L""));
    regWriteString(key, L"lastSavedPhotosZipFolderPath", settings.lastSavedPhotosZipFolderPath.value_or(L""));
    regWriteBool(key, L"showTagsAsThumbnailTooltips", settings.showTagsAsThumbnailTooltips);
    regWriteBool(key, L"showThumbnailShadows", settings.showThumbnailShadows);
    regWriteBool(key, L"showFullSizeWhenThumbnailClicking", settings.showFullSizeWhenThumbnailClicking);
    regWriteBool(key, L"anyTagCanMatch", settings.anyTagCanMatch);
    regWriteBool(key, L"clearSearchWhenChangingUsername", settings.clearSearchWhenChangingUsername);
    regWriteDword(key, L"slideshow", static_cast<DWORD>(settings.slideshow));
    regWriteDword(key, L"slideshowOverlay", static_cast<DWORD>(settings.slideshowOverlay));
}

Settings loadSettingsFromKey(HKEY root, const wchar_t* path) {
    RegistryKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        return Settings();
    }
    return readSettings(key.get());
}

bool saveSettingsToKey(HKEY root, const wchar_t* path, const Settings& settings) {
    RegistryKey key;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    writeSettings(key.get(), settings);
    return true;
}

std::vector<HistoryEntry> parseHistoryEntries(const std::vector<std::wstring>& texts) {
    std::vector<HistoryEntry> entries;
    for (const std::wstring& text : texts) {
        const size_t lineFeed = text.find(L'\n');
        HistoryEntry entry;
        entry.name = trimString(text.substr(0, lineFeed));
        if (lineFeed != std::wstring::npos) {
            entry.folder = trimString(text.substr(lineFeed + 1));
        }
        if (entry.name.empty()) {
            continue;
        }
        const bool known = std::any_of(entries.begin(), entries.end(), [&](const HistoryEntry& kept) {
            return compareStrings(kept.name, entry.name, false) == 0;
        });
        if (!known) {
            entries.push_back(entry);
        }
    }
    return entries;
}

std::vector<std::wstring> formatHistoryEntries(const std::vector<HistoryEntry>& entries) {
    std::vector<std::wstring> texts;
    texts.reserve(entries.size());
    for (const HistoryEntry& entry : entries) {
        texts.push_back(entry.name + L"\n" + entry.folder);
    }
    return texts;
}

std::wstring findUserFolder(StringKeyCollection& folders, const std::wstring& name) {
    StringKey found;
    if (!folders.find(name, found)) {
        for (bool more = folders.first(found); more; more = folders.next(found)) {
            if (compareStrings(*found.text, name, false) == 0) {
                break;
            }
        }
    }
    if (found.text == nullptr || found.value == nullptr) {
        return std::wstring();
    }
    return *static_cast<const std::wstring*>(found.value);
}

bool rectMeetsAnyMonitor(const RECT& rect, const std::vector<RECT>& monitors) {
    for (const RECT& monitor : monitors) {
        RECT common;
        if (IntersectRect(&common, &rect, &monitor)) {
            return true;
        }
    }
    return false;
}

RECT workspaceToScreen(const RECT& workspaceRect, const RECT& monitorRect, const RECT& workArea) {
    RECT screen = workspaceRect;
    OffsetRect(&screen, workArea.left - monitorRect.left, workArea.top - monitorRect.top);
    return screen;
}
