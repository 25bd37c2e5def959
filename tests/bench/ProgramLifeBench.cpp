// How long Pixhaul.exe takes from its start to a painted start screen, and from a close request to
// the end of its process: several launches against the fixture site, each with a fresh work
// folder. Prints figures (aim: a painted start screen within 2 s).
//
// Needs PIXHAUL_SOURCE_DIR and PIXHAUL_BINARY_DIR (tests/bench/run sets them) and a 1280x1024 screen.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/FixtureSite.h"
#include "support/ProgramUnderTest.h"
#include "support/ScreenCapture.h"
#include "tests/bench/BenchClock.h"

namespace {

constexpr int kLaunches = 5;

// The start screen is painted once its frame and the top panel's accent show.
bool startScreenPainted(HWND window) {
    const testsupport::ScreenCapture shot = testsupport::ScreenCapture::ofWindow(window);
    const COLORREF accent = RGB(0x00, 0xAE, 0xEF);
    return shot.height() > 2 && shot.at(1, 1) == RGB(255, 255, 255) &&
           shot.at(1, shot.height() - 2) == accent && shot.at(shot.width() / 2, 10) == accent;
}

void printFigures(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-36s median %7.1f ms   min %7.1f ms   max %7.1f ms\n", what, times[times.size() / 2],
                times.front(), times.back());
}

}  // namespace

int main() {
    testsupport::FixtureSite site;
    if (!site.running()) {
        std::fprintf(stderr, "program life: %s\n", site.failure().c_str());
        return 1;
    }
    if (!testsupport::registerPxhl()) {
        std::fprintf(stderr, "program life: regsvr32 could not register Pxhl.dll\n");
        return 1;
    }
    std::vector<double> toWindow, toPainted, toExit;
    for (int i = 0; i < kLaunches; ++i) {
        testsupport::ProgramOptions options;
        options.serviceHost = site.serviceHost();
        options.makerHost = site.makerHost();
        testsupport::ProgramUnderTest program(options);
        const double start = nowMs();
        if (!program.start()) {
            std::fprintf(stderr, "program life: %s\n", program.failure().c_str());
            return 1;
        }
        HWND window = program.waitForMainWindow();
        const double shown = nowMs();
        if (!window || !testsupport::waitUntil([&] { return startScreenPainted(window); }, 20000)) {
            std::fprintf(stderr, "program life: the start screen did not show\n");
            return 1;
        }
        const double painted = nowMs();
        program.requestClose();
        const double closing = nowMs();
        if (!program.waitForExit(20000)) {
            std::fprintf(stderr, "program life: the program did not end after its close request\n");
            return 1;
        }
        toExit.push_back(nowMs() - closing);
        toWindow.push_back(shown - start);
        toPainted.push_back(painted - start);
    }
    std::printf("Pixhaul.exe, %d launches against the fixture site:\n", kLaunches);
    printFigures("start to visible main window", toWindow);
    printFigures("start to painted start screen", toPainted);
    printFigures("close request to process end", toExit);
    return 0;
}
