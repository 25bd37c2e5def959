// The program's tour for scripts/run: Pixhaul.exe walked through its main job with real input on
// the program tests' harness (their fixture site, sessions and screen readers), a screenshot of
// the screen after every step saved into the folder PIXHAUL_TOUR_FOLDER names (a Unix path).
// alice is loaded and searched, a photo viewed full size and stepped through, the slideshow run
// over a lighter overlay; five photos are saved into <folder>/photos, into <folder>/zip/alice.zip
// and printed to a file printer whose PostScript lands in <folder>/printed/pages.ps.
// A step that does not show what it should ends the tour with a failure that names it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/FormLayout.h"
#include "mainwindow/ThumbnailGrid.h"
#include "program/InfoMenu.h"
#include "program/SavingSupport.h"
#include "program/ViewingGrid.h"
#include "saving/SavedFiles.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestPrinter.h"

namespace {

using programtest::InfoItem;
using savingtest::JobButton;
using savingtest::SavingSession;
using savingtest::StripWatch;
using testsupport::waitNudging;
using testsupport::waitUntil;
using Numbers = std::vector<int>;

constexpr int kJobMs = 60000;
// alice's items with "sun" or "sea" in their captions, in feed order.
const Numbers kSunAndSea{45, 29, 27, 18, 16, 10};
// The overlay level the slideshow runs over: "Very Light", so that the grid shows through.
constexpr int kVeryLightOverlay = 3;

POINT centreOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

RECT screen() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

class Tour : public ::testing::Test {
protected:
    void SetUp() override {
        const char* folder = std::getenv("PIXHAUL_TOUR_FOLDER");
        ASSERT_TRUE(folder) << "PIXHAUL_TOUR_FOLDER names no folder for the tour's pictures";
        unixFolder = folder;
        this->folder = testsupport::windowsPath(unixFolder) + L"\\";
    }

    // Lets the program finish painting (the screen stays the same over a few looks), saves the
    // screen as <number>-<name>.png and tells what the step showed; shown again for the caller.
    bool step(const char* title, const std::wstring& name, bool shown) {
        testsupport::ScreenCapture last(screen());
        int stable = 0;
        waitUntil(
            [&] {
                testsupport::ScreenCapture now(screen());
                stable = now.samePixels(last) ? stable + 1 : 0;
                last = std::move(now);
                return stable >= 3;
            },
            3000);
        wchar_t file[16];
        swprintf(file, 16, L"%02d-", ++number);
        const bool saved = last.savePng(folder + file + name + L".png");
        std::printf("tour: %02d. %s%s -> %ls%ls.png%s\n", number, title, shown ? "" : " (NOT SHOWN)", file,
                    name.c_str(), saved ? "" : " (not saved)");
        std::fflush(stdout);
        return shown;
    }

    // The item the full-size view shows (the largest picture in the grid's area); -1 while none.
    int shownFullSize() const {
        int item = -1;
        LONG widest = 0;
        for (const viewing::ShownTile& tile : viewing::readGrid(grid))
            if (tile.photo.right - tile.photo.left > widest) {
                widest = tile.photo.right - tile.photo.left;
                item = tile.number;
            }
        return widest > 2 * GridMetrics().thumbnailWidth ? item : -1;
    }

    Numbers gridNumbers() const { return viewing::numbersOf(viewing::readGrid(grid)); }

    bool chooseInfoMenu(InfoItem item, int overlayLevel = -1) {
        return programtest::chooseInfoMenuItem(session.program(), true, item, overlayLevel);
    }

    // The toolbar's slideshow button sits midway between the select buttons and the search box.
    void clickSlideshowButton() {
        namespace L = formlayout;
        RECT client{};
        GetClientRect(session.program().mainWindow(), &client);
        const int toolbarWidth = client.right - 2 * L::kFrame;
        const int searchLeft = toolbarWidth - L::kSliderRightSpace - L::kSliderTrackWidth -
                               L::kSearchToSliderGap - L::kSearchPanelWidth;
        const int selectRight = L::kSelectAllLeft + 2 * L::kSelectButtonWidth + L::kToolbarButtonGap;
        const int left = selectRight + (searchLeft - selectRight - L::kSlideshowButtonWidth) / 2;
        programtest::click(programtest::windowPoint(
            session.program().mainWindow(), L::kFrame + left + L::kSlideshowButtonWidth / 2,
            L::kFrame + L::kTopPanelHeight + L::kToolbarButtonTop + L::kToolbarButtonHeight / 2));
        programtest::parkPointer();
    }

    void press(WORD key) {
        testsupport::pressKey(key);
        session.program().waitForInputIdle();
    }

    // Clicks a job button; the dialog it opens is shown in a step of its own. The dialog.
    HWND openJobDialog(JobButton button, const char* title, const wchar_t* name) {
        session.clickJobButton(button);
        const HWND dialog = session.program().waitForMessageBox(15000);
        step(title, name, dialog != nullptr);
        return dialog;
    }

    // The job's strip showed (or was seen filling) and has hidden again.
    static bool stripRan(const StripWatch& strip) {
        return (waitUntil([&] { return strip.shown(); }, 10000) || !strip.widths().empty()) &&
               waitUntil([&] { return !strip.shown(); }, kJobMs);
    }

    std::string unixFolder;
    std::wstring folder;
    int number = 0;
    SavingSession session;
    HWND grid = nullptr;
};

TEST_F(Tour, TheMainJob) {
    const std::wstring photos = folder + L"photos";
    const std::wstring zipPath = folder + L"zip\\alice.zip";
    const std::string pages = unixFolder + "/printed/pages.ps";
    TestPrinter printer(testsupport::widen(pages));
    ASSERT_TRUE(printer.installed()) << printer.problem();
    // alice's save folder in the history is where the folder dialog opens; the zip dialog opens on
    // the zip folder.
    ASSERT_TRUE(session.startWith({L"alice", photos, folder + L"zip"}));
    step("the start screen", L"start", true);

    ASSERT_TRUE(step("alice typed and Enter: her 45 thumbnails in the grid", L"alice",
                     session.loadUser(L"alice", 45)));
    grid = viewing::gridWindow(session.program().mainWindow());

    session.typeSearch(L"sun sea");
    programtest::parkPointer();
    ASSERT_TRUE(step("\"sun sea\" searched: the six items whose captions hold either word", L"search",
                     waitNudging([&] { return gridNumbers() == kSunAndSea; })));

    ASSERT_TRUE(chooseInfoMenu(InfoItem::FullSizeOnClick));
    programtest::click(centreOf(viewing::readGrid(grid).at(0).photo));
    programtest::parkPointer();
    ASSERT_TRUE(step("the first one clicked: item 45 full size", L"full-size",
                     waitNudging([&] { return shownFullSize() == 45; })));
    press(VK_RIGHT);
    ASSERT_TRUE(step("the right arrow: the next item of the search, 29", L"next",
                     waitNudging([&] { return shownFullSize() == 29; })));

    ASSERT_TRUE(chooseInfoMenu(InfoItem::SlideshowOverlay, kVeryLightOverlay));
    clickSlideshowButton();
    ASSERT_TRUE(step("the slideshow over the \"Very Light\" overlay, stepped on by itself to 27",
                     L"slideshow", waitNudging([&] { return shownFullSize() == 27; }, 20000)));
    press(VK_ESCAPE);
    ASSERT_TRUE(waitNudging([&] { return shownFullSize() == -1; })) << "Escape did not close the view";

    ASSERT_TRUE(chooseInfoMenu(InfoItem::SelectOnClick));
    session.clickTiles({0, 1, 2, 3, 4});
    ASSERT_TRUE(step("five of them selected", L"selected", waitNudging([&] {
                         return viewing::selectedNumbers(viewing::readGrid(grid)) ==
                                Numbers(kSunAndSea.begin(), kSunAndSea.begin() + 5);
                     })));

    {
        // The site holds every reply half-way, so that the strip shows the save under way.
        ASSERT_TRUE(session.site().setMode("hold_full=1"));
        StripWatch strip(session.program().mainWindow());
        ASSERT_TRUE(
            openJobDialog(JobButton::folder, "Save: the folder dialog on alice's folder", L"folder-dialog"));
        session.confirmFolderDialog();
        ASSERT_TRUE(step("the save under way, its replies held half-way", L"saving",
                         waitUntil([&] { return strip.lastFraction() > 0.4; }, kJobMs)));
        ASSERT_TRUE(session.site().setMode("release=1"));
        ASSERT_TRUE(step("saved: five files in photos/", L"saved",
                         waitUntil([&] { return !strip.shown(); }, kJobMs) && filesIn(photos).size() == 5));
    }
    {
        StripWatch strip(session.program().mainWindow());
        ASSERT_TRUE(openJobDialog(JobButton::zip, "Zip: the save dialog", L"zip-dialog"));
        session.confirmSaveDialog(zipPath);
        ASSERT_TRUE(step("zipped: zip/alice.zip", L"zipped", stripRan(strip) && fileExists(zipPath)));
    }
    {
        StripWatch strip(session.program().mainWindow());
        const HWND dialog = openJobDialog(JobButton::print, "Print: the print dialog", L"print-dialog");
        ASSERT_TRUE(dialog);
        SavingSession::pressButton(dialog, IDOK);
        // The spooler writes the job's PostScript when it ends.
        const auto jobWritten = [&] {
            return testsupport::readFileBytes(testsupport::widen(pages)).find("%%EOF") != std::string::npos;
        };
        ASSERT_TRUE(step("printed: five pages in printed/pages.ps", L"printed",
                         stripRan(strip) && waitUntil(jobWritten, kJobMs)));
    }
    EXPECT_FALSE(session.messageBoxShown());

    session.program().requestClose();
    ASSERT_TRUE(step("the window closed: the program has ended", L"closed", session.program().waitForExit()));
}

}  // namespace
