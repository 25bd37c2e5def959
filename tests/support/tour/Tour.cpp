// The program's tour for scripts/run: starts Pixhaul.exe against the fixture site named by
// PIXHAUL_SERVICE_HOST and PIXHAUL_MAKER_HOST, walks through the steps below with real input and
// saves a screenshot after each into the folder given as the only argument.
//
//     pixhaul_tour.exe <folder for the pictures>
//
// Exit code 0 when every step showed what it waits for, 1 otherwise; the pictures are saved either way.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/ProgramUnderTest.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace {

using testsupport::ProgramUnderTest;

bool isMaximised(const ProgramUnderTest& program) {
    const RECT r = program.windowRect();
    return r.left == 0 && r.top == 0 && r.right - r.left >= GetSystemMetrics(SM_CXSCREEN) - 1 &&
           r.bottom - r.top >= GetSystemMetrics(SM_CYSCREEN) - 1;
}

// A double click on the top panel, below the user-name box and clear of the logo and buttons.
void doubleClickTopPanel(const ProgramUnderTest& program) {
    const RECT r = program.windowRect();
    const POINT point{(r.left + r.right) / 2, r.top + 75};
    testsupport::leftClick(point);
    testsupport::leftClick(point);
}

// The user-name box: its middle, and the history arrow at its right end (the main window's layout:
// a 3-pixel frame, the box 246 pixels in, 28 down, 29 high, ending 257 pixels before the right).
POINT userNameBoxPoint(const ProgramUnderTest& program) {
    const RECT r = program.windowRect();
    return POINT{r.left + 3 + 246 + 100, r.top + 3 + 28 + 14};
}

POINT historyArrowPoint(const ProgramUnderTest& program) {
    const RECT r = program.windowRect();
    return POINT{r.right - 3 - 257 - 4 - 12, r.top + 3 + 28 + 14};
}

void typeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        const WORD key = static_cast<WORD>(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
        testsupport::keyStroke(key, true);
        testsupport::keyStroke(key, false);
    }
}

// The grid has come: the content area shows many colours and stays the same for a while.
bool waitForGrid(const ProgramUnderTest& program) {
    const RECT r = program.windowRect();
    const RECT content{r.left + 3, r.top + 3 + 85 + 60, r.right - 3, r.bottom - 3 - 86};
    testsupport::ScreenCapture last(content);
    int stable = 0;
    return testsupport::waitUntil(
        [&] {
            Sleep(250);
            testsupport::ScreenCapture now(content);
            stable = now.samePixels(last) && now.distinctColours(4) > 200 ? stable + 1 : 0;
            last = std::move(now);
            return stable >= 4;
        },
        30000);
}

struct TourStep {
    const wchar_t* picture;
    const char* title;
    // Does what the step shows and waits until the program shows it; false when it did not.
    bool (*run)(ProgramUnderTest& program);
};

// The tour, in order. Each step starts where the one before it left the program.
const TourStep kTour[] = {
    {L"01-start-screen.png", "the start screen", [](ProgramUnderTest&) { return true; }},
    {L"02-maximised.png", "maximised by a double click on the top panel",
     [](ProgramUnderTest& program) {
         doubleClickTopPanel(program);
         return testsupport::waitUntil([&] { return isMaximised(program); }, 5000);
     }},
    {L"03-restored.png", "restored by another double click",
     [](ProgramUnderTest& program) {
         doubleClickTopPanel(program);
         return testsupport::waitUntil([&] { return !isMaximised(program); }, 5000);
     }},
    {L"04-alice-grid.png", "alice typed and Enter: her thumbnails in the grid",
     [](ProgramUnderTest& program) {
         testsupport::leftClick(userNameBoxPoint(program));
         typeText("alice");
         testsupport::keyStroke(VK_RETURN, true);
         testsupport::keyStroke(VK_RETURN, false);
         const bool shown = waitForGrid(program);
         testsupport::moveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
         return shown;
     }},
    {L"05-history-drop-down.png", "the history drop-down under the user-name box",
     [](ProgramUnderTest& program) {
         testsupport::leftClick(historyArrowPoint(program));
         const POINT below = userNameBoxPoint(program);
         return testsupport::waitUntil(
             [&] {
                 // The list's white rows cover the top of the dark toolbar.
                 testsupport::ScreenCapture rows(RECT{below.x, below.y + 20, below.x + 1, below.y + 21});
                 return rows.at(0, 0) == RGB(0xFF, 0xFF, 0xFF);
             },
             5000);
     }},
};

std::wstring variable(const wchar_t* name) {
    wchar_t value[512] = L"";
    const DWORD length = GetEnvironmentVariableW(name, value, 512);
    return length > 0 && length < 512 ? std::wstring(value) : std::wstring();
}

// Lets the program finish painting: the window's pixels stay the same over a few looks.
void waitForQuietScreen(const ProgramUnderTest& program) {
    testsupport::ScreenCapture last(program.windowRect());
    int stable = 0;
    testsupport::waitUntil(
        [&] {
            testsupport::ScreenCapture now(program.windowRect());
            stable = now.samePixels(last) ? stable + 1 : 0;
            last = std::move(now);
            return stable >= 3;
        },
        3000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixhaul_tour.exe <folder for the pictures>\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    CreateDirectoryW(folder.c_str(), nullptr);

    testsupport::ProgramOptions options;
    options.serviceHost = variable(L"PIXHAUL_SERVICE_HOST");
    options.makerHost = variable(L"PIXHAUL_MAKER_HOST");
    ProgramUnderTest program(options);
    if (!program.start()) {
        std::fprintf(stderr, "tour: %s\n", program.failure().c_str());
        return 1;
    }
    if (!program.waitForMainWindow()) {
        std::fprintf(stderr, "tour: the main window did not show\n");
        return 1;
    }
    // The pointer out of the way, so that nothing shows its hover look in the first picture.
    testsupport::moveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});

    bool allShown = true;
    int number = 1;
    for (const TourStep& step : kTour) {
        const bool shown = step.run(program);
        allShown = allShown && shown;
        waitForQuietScreen(program);
        const bool saved = testsupport::ScreenCapture(program.windowRect()).savePng(folder + step.picture);
        std::printf("tour: %d. %s%s -> %ls%s\n", number++, step.title, shown ? "" : " (NOT SHOWN)",
                    step.picture, saved ? "" : " (not saved)");
        std::fflush(stdout);
    }

    program.requestClose();
    if (!program.waitForExit(20000)) {
        std::fprintf(stderr, "tour: the program did not end after its close request\n");
        return 1;
    }
    return allShown ? 0 : 1;
}
