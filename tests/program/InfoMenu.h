#pragma once
// The info menu of the running program, used as a person does: a real click on the info button,
// then the keyboard through the menu. Its check marks are read from the screen: the highlighted
// row shows its mark in the highlight's text colour.
#include <windows.h>

#include <vector>

#include "support/ProgramUnderTest.h"

namespace programtest {

// The menu's items in the order the keyboard reaches them (separators are skipped).
enum class InfoItem {
    CaptionTooltips,
    Shadows,
    FullSizeOnClick,
    SelectOnClick,
    AnyWordMatches,
    AllWordsMustMatch,
    ClearSearch,
    SlowSlideshow,
    ModerateSlideshow,
    FastSlideshow,
    SlideshowOverlay,
    RemoveUsernames,
    TemporaryFolder,
    CheckForUpdates,
    SendFeedback,
    About
};
constexpr int kInfoItemCount = 16;
constexpr int kOverlayLevelCount = 12;

// Clicks the info button: the large one of the start screen, or the bottom bar's once a user's
// photos are shown. The open menu's window, or null when none opened.
HWND openInfoMenu(const testsupport::ProgramUnderTest& program, bool userShown);

// Opens the menu and chooses the item by keyboard; for SlideshowOverlay, the submenu's level.
// True when the menu opened and closed again.
bool chooseInfoMenuItem(const testsupport::ProgramUnderTest& program, bool userShown, InfoItem item,
                        int overlayLevel = -1);

// The check marks of the sixteen items and then of the twelve overlay levels, read from the open
// menu row by row; the menu is closed again. Empty when the menu did not open.
std::vector<bool> infoMenuChecks(const testsupport::ProgramUnderTest& program, bool userShown);

}  // namespace programtest
