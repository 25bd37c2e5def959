// The user's settings in the window: read once when the window is made, written once when it
// closes. The values, their types and limits are the settings module's; here they meet the
// window's place, the history, the thumbnail size and the info menu's checks.
#include "common/RegistryValues.h"
#include "gui/Application.h"
#include "mainwindow/ThumbnailGrid.h"
#include "mainwindow/Unit1.h"
#include "saving/Settings.h"

using namespace gui;

namespace {

BOOL CALLBACK addMonitorRect(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

std::vector<RECT> monitorRects() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, addMonitorRect, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace

void TForm1::loadSettings() {
    const Settings settings = loadSettingsFromKey(HKEY_CURRENT_USER, settingsKeyPath);

    // A place on a monitor that is gone would open the window where nobody sees it.
    if (settings.window) {
        const SavedWindowRect& saved = *settings.window;
        const RECT rect{saved.left, saved.top, saved.left + saved.width, saved.top + saved.height};
        if (rectMeetsAnyMonitor(rect, monitorRects())) {
            SetBounds(saved.left, saved.top, saved.width, saved.height);
            if (saved.maximized)
                maximizeToWorkArea();
        }
    }

    for (const HistoryEntry& entry : settings.usernames) {
        if (addUserNameToHistory(entry.name) && !entry.folder.empty())
            userNameFolders.insert(StringKey(new std::wstring(entry.name), new std::wstring(entry.folder)));
    }

    if (settings.thumbnailImageWidth) {
        const int width = *settings.thumbnailImageWidth;
        thumbnailWidth = width;
        thumbnailHeight = width;
        resizeThumbImageButton->SetLeft(thumbnailKnobLeft(width, resizeImage->Left(), resizeImage->Width(),
                                                          resizeThumbImageButton->Width()));
    }
    if (settings.lastSavedPhotosFolderPath)
        lastSavedPhotosFolderPath = *settings.lastSavedPhotosFolderPath;
    if (settings.lastSavedPhotosZipFolderPath)
        lastSavedPhotosZipFolderPath = *settings.lastSavedPhotosZipFolderPath;

    showCaptionsAsThumbnailTooltipsMenuItem->SetChecked(settings.showTagsAsThumbnailTooltips);
    contentScrollBox->SetShowHint(settings.showTagsAsThumbnailTooltips);
    showThumbnailShadowsMenuItem->SetChecked(settings.showThumbnailShadows);
    showFullSizeWhenThumbnailClickingMenuItem->SetChecked(settings.showFullSizeWhenThumbnailClicking);
    selectWhenThumbnailClickingMenuItem->SetChecked(!settings.showFullSizeWhenThumbnailClicking);
    applyClickMode();
    anyWordCanMatchMenuItem->SetChecked(settings.anyTagCanMatch);
    allWordsMustMatchMenuItem->SetChecked(!settings.anyTagCanMatch);
    clearSearchWhenChangingUsernameMenuItem->SetChecked(settings.clearSearchWhenChangingUsername);

    slowSlideshowMenuItem->SetChecked(settings.slideshow == kSlowSlideshow);
    moderateSlideshowMenuItem->SetChecked(settings.slideshow == kModerateSlideshow);
    fastSlideshowMenuItem->SetChecked(settings.slideshow == kFastSlideshow);
    applySlideshowInterval();
    const std::vector<TMenuItem*> overlays = overlayMenuItems();
    for (size_t level = 0; level < overlays.size(); ++level)
        overlays[level]->SetChecked(static_cast<int>(level) == settings.slideshowOverlay);
    applyOverlayLevel();
}

void TForm1::saveSettings() {
    Settings settings;

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(Handle(), &placement)) {
        // The placement is relative to the work area: stored in screen coordinates, a taskbar at
        // the top or left does not move the window a little on every start.
        RECT screenRect = placement.rcNormalPosition;
        HMONITOR monitor = MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (monitor && GetMonitorInfoW(monitor, &info))
            screenRect = workspaceToScreen(placement.rcNormalPosition, info.rcMonitor, info.rcWork);
        const bool minimized =
            IsIconic(Handle()) || (Application->Handle() && IsIconic(Application->Handle()));
        SavedWindowRect saved;
        saved.left = screenRect.left;
        saved.top = screenRect.top;
        saved.width = screenRect.right - screenRect.left;
        saved.height = screenRect.bottom - screenRect.top;
        saved.maximized = WindowState() == wsMaximized && !minimized;
        settings.window = saved;
    }

    for (int row = 0; row < userNameListBox->Items()->Count(); ++row) {
        // A row is a tab and the name.
        const std::wstring name = userNameListBox->Items()->Strings(row).substr(1);
        settings.usernames.push_back(HistoryEntry{name, findUserFolder(userNameFolders, name)});
    }

    settings.thumbnailImageWidth = thumbnailWidth;
    settings.lastSavedPhotosFolderPath = lastSavedPhotosFolderPath;
    settings.lastSavedPhotosZipFolderPath = lastSavedPhotosZipFolderPath;
    settings.showTagsAsThumbnailTooltips = showCaptionsAsThumbnailTooltipsMenuItem->Checked();
    settings.showThumbnailShadows = showThumbnailShadowsMenuItem->Checked();
    settings.showFullSizeWhenThumbnailClicking = showFullSizeWhenThumbnailClickingMenuItem->Checked();
    settings.anyTagCanMatch = anyWordCanMatchMenuItem->Checked();
    settings.clearSearchWhenChangingUsername = clearSearchWhenChangingUsernameMenuItem->Checked();
    settings.slideshow = slowSlideshowMenuItem->Checked()       ? kSlowSlideshow
                         : moderateSlideshowMenuItem->Checked() ? kModerateSlideshow
                                                                : kFastSlideshow;
    // Black when none of the lighter levels is checked.
    const std::vector<TMenuItem*> overlays = overlayMenuItems();
    settings.slideshowOverlay = kBlackOverlay;
    for (size_t level = 0; level + 1 < overlays.size(); ++level) {
        if (overlays[level]->Checked()) {
            settings.slideshowOverlay = static_cast<int>(level);
            break;
        }
    }
    saveSettingsToKey(HKEY_CURRENT_USER, settingsKeyPath, settings);
}

std::vector<TMenuItem*> TForm1::overlayMenuItems() const {
    return {transparentOverlayMenuItem, extraExtraLightOverlayMenuItem, extraLightOverlayMenuItem,
            veryLightOverlayMenuItem,   mediumLightOverlayMenuItem,     lightOverlayMenuItem,
            darkOverlayMenuItem,        mediumDarkOverlayMenuItem,      veryDarkOverlayMenuItem,
            extraDarkOverlayMenuItem,   extraExtraDarkOverlayMenuItem,  blackOverlayMenuItem};
}
