// The info menu of the running program by real clicks and keys: its options on alice's grid, their
// check marks read from the open menu, and the settings they leave for the next start.
#include <gtest/gtest.h>

#include <map>

#include "common/RegistryValues.h"
#include "program/InfoMenu.h"
#include "program/MainRoadSupport.h"
#include "support/OpenedLinks.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace {

using programtest::InfoItem;
using testsupport::ScreenCapture;

// alice's grid at the default size, in window coordinates: 230-pixel tiles 270 pixels apart from
// (43, 188); two rows of four show whole.
RECT tileRect(int row, int column) {
    const int left = 43 + 270 * column;
    const int top = 188 + 270 * row;
    return RECT{left, top, left + 230, top + 230};
}

// The whole tiles that show a picture (the grid's pattern around them is dark).
int shownTiles(HWND window) {
    const ScreenCapture shot = ScreenCapture::ofWindow(window);
    int shown = 0;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column) {
            const RECT tile = tileRect(row, column);
            const int x = (tile.left + tile.right) / 2, y = tile.top + 20;
            const COLORREF c = shot.at(x, y);
            shown += std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) > 0x70 ? 1 : 0;
        }
    return shown;
}

// The settings key's values as stored, but for the work folder the harness gives every launch.
std::map<std::wstring, std::vector<BYTE>> storedSettings() {
    std::map<std::wstring, std::vector<BYTE>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    wchar_t name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, size = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
            break;
        if (std::wstring(name) != L"customTemporaryFolder")
            values[name] = std::vector<BYTE>(data, data + size);
    }
    RegCloseKey(key);
    return values;
}

DWORD storedDword(const std::map<std::wstring, std::vector<BYTE>>& values, const wchar_t* name) {
    auto it = values.find(name);
    DWORD value = 0xFFFFFFFF;
    if (it != values.end() && it->second.size() == sizeof(DWORD))
        memcpy(&value, it->second.data(), sizeof(DWORD));
    return value;
}

// The expected marks: the sixteen items, then the twelve overlay levels.
std::vector<bool> marks(std::vector<int> items, int overlayLevel) {
    std::vector<bool> expected(programtest::kInfoItemCount + programtest::kOverlayLevelCount, false);
    for (int item : items)
        expected[static_cast<size_t>(item)] = true;
    expected[static_cast<size_t>(programtest::kInfoItemCount + overlayLevel)] = true;
    return expected;
}

TEST(InfoMenu, OptionsToggleInExclusiveGroupsActAtOnceAndOutliveARestart) {
    mainroad::MainRoadSession session;
    ASSERT_TRUE(session.start());
    testsupport::ProgramUnderTest& program = session.program();
    const HWND window = program.mainWindow();
    session.typeUserName(L"alice");
    ASSERT_TRUE(session.waitForThumbnailCount(45, 30000));
    ASSERT_TRUE(testsupport::waitUntil([&] { return shownTiles(window) == 8; }, 10000));
    const auto choose = [&](InfoItem item, int level = -1) {
        EXPECT_TRUE(programtest::chooseInfoMenuItem(program, true, item, level)) << static_cast<int>(item);
    };
    enum { Tips, Shadows, FullSize, Select, Any, All, Clear, Slow, Moderate, Fast };

    // The form's marks, and the open menu for a person to look at.
    EXPECT_EQ(programtest::infoMenuChecks(program, true),
              marks({Tips, Shadows, FullSize, Any, Clear, Moderate}, 6));
    const HWND menu = programtest::openInfoMenu(program, true);
    ASSERT_NE(menu, nullptr);
    ScreenCapture::ofWindow(menu).saveArtifact(L"info-menu.png");
    testsupport::keyStroke(VK_ESCAPE, true);
    testsupport::keyStroke(VK_ESCAPE, false);

    // Shadows off: the strip under every whole tile changes in the same repaint.
    const ScreenCapture withShadows = ScreenCapture::ofWindow(window);
    choose(InfoItem::Shadows);
    const auto everyShadowGone = [&] {
        const ScreenCapture now = ScreenCapture::ofWindow(window);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 4; ++column) {
                const RECT tile = tileRect(row, column);
                const RECT strip{tile.left + 10, tile.bottom, tile.right - 10, tile.bottom + 4};
                bool changed = false;
                for (int y = strip.top; y < strip.bottom && !changed; ++y)
                    for (int x = strip.left; x < strip.right && !changed; ++x)
                        changed = now.at(x, y) != withShadows.at(x, y);
                if (!changed)
                    return false;
            }
        return true;
    };
    EXPECT_TRUE(testsupport::waitUntil(everyShadowGone, 5000));

    // Two words: any of them matches 15 items, both only the 6 captioned "Sun and sea".
    session.typeSearch(L"sea and");
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownTiles(window) == 8; }, 5000));
    choose(InfoItem::AllWordsMustMatch);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownTiles(window) == 6; }, 5000));
    choose(InfoItem::AnyWordMatches);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownTiles(window) == 8; }, 5000));
    choose(InfoItem::AllWordsMustMatch);
    EXPECT_TRUE(testsupport::waitUntil([&] { return shownTiles(window) == 6; }, 5000));

    // Every other item once; each group keeps one mark.
    choose(InfoItem::CaptionTooltips);
    choose(InfoItem::SelectOnClick);
    choose(InfoItem::ClearSearch);
    choose(InfoItem::SlowSlideshow);
    choose(InfoItem::SlideshowOverlay, 0);
    EXPECT_EQ(programtest::infoMenuChecks(program, true), marks({Select, All, Slow}, 0));
    // A second choice of a marked item leaves its group as it is.
    choose(InfoItem::FullSizeOnClick);
    choose(InfoItem::SelectOnClick);
    choose(InfoItem::SelectOnClick);
    choose(InfoItem::ModerateSlideshow);
    choose(InfoItem::FastSlideshow);
    choose(InfoItem::FastSlideshow);
    for (int level = 1; level < programtest::kOverlayLevelCount; ++level)
        choose(InfoItem::SlideshowOverlay, level);
    choose(InfoItem::SlideshowOverlay, 2);
    const std::vector<bool> chosen = marks({Select, All, Fast}, 2);
    EXPECT_EQ(programtest::infoMenuChecks(program, true), chosen);

    {
        testsupport::OpenedLinks links;
        choose(InfoItem::SendFeedback);
        EXPECT_EQ(links.waitForLog(), "mailto:support@pixhaul.invalid\n");
    }

    program.requestClose();
    ASSERT_TRUE(program.waitForExit());
    const auto written = storedSettings();
    for (const wchar_t* flag :
         {L"showTagsAsThumbnailTooltips", L"showThumbnailShadows", L"showFullSizeWhenThumbnailClicking",
          L"anyTagCanMatch", L"clearSearchWhenChangingUsername"})
        EXPECT_EQ(storedDword(written, flag), 0u) << flag;
    EXPECT_EQ(storedDword(written, L"slideshow"), 2u);
    EXPECT_EQ(storedDword(written, L"slideshowOverlay"), 2u);

    // The next start shows the same marks, and closing it unchanged writes the same values.
    ASSERT_TRUE(session.start(false));
    EXPECT_EQ(programtest::infoMenuChecks(session.program(), false), chosen);
    session.program().requestClose();
    ASSERT_TRUE(session.program().waitForExit());
    EXPECT_EQ(storedSettings(), written);
}

}  // namespace
