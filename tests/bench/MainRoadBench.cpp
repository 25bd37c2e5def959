// The main road with the fixture site's 1,000-item user: from the load to every thumbnail in the
// grid (requests, working set), then the whole grid scrolled through at the smallest and the
// largest thumbnails: time per frame (scroll, layout and paint) and tiles made. With the argument
// "search": the caption search over the loaded grid instead, for short and long queries in both
// match modes, and one step through the full-size view. Prints figures.
#include "support/FixtureSite.h"

#include "common/ServiceHosts.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/FullSizeImage.h"
#include "mainwindow/Photo.h"
#include "mainwindow/SearchWords.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"
#include "support/ApplicationPump.h"
#include "support/ProgramUnderTest.h"
#include "support/TestSupport.h"
#include "tests/bench/BenchClock.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr size_t kItems = 1000;
constexpr int kScrollStep = 60;  // pixels per frame, about a wheel notch

double workingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

void scrollThrough(TForm1* form, int side) {
    form->thumbnailWidth = side;
    form->thumbnailHeight = side;
    gui::TControlScrollBar* bar = form->contentScrollBox->VertScrollBar();
    bar->SetPosition(0);
    form->resetScrollAnchor();
    form->layoutGrid();
    gui::Application->ProcessMessages();
    const int madeBefore = form->tilesMade;
    const int copiesBefore = PhotoImage::scaledCopies();
    const int last = bar->Range() - form->contentScrollBox->ClientHeight();
    std::vector<double> frames;
    for (int position = kScrollStep; position < last + kScrollStep; position += kScrollStep) {
        const double start = nowMs();
        bar->SetPosition(std::min(position, last));
        form->resetScrollAnchor();
        form->layoutGrid();
        frames.push_back(nowMs() - start);
    }
    if (frames.empty())
        return;
    std::sort(frames.begin(), frames.end());
    std::printf(
        "scrolled through at %d px: %zu frames of %d px; per frame median %.2f ms, 95th percentile "
        "%.2f ms, worst %.2f ms; tiles made %d (pool %zu, in use %zu), scaled copies %d\n",
        side, frames.size(), kScrollStep, frames[frames.size() / 2], frames[frames.size() * 95 / 100],
        frames.back(), form->tilesMade - madeBefore, form->tilePool.size(), form->tilesInUse.size(),
        PhotoImage::scaledCopies() - copiesBefore);
}

// The median time of a search's rebuild of the grid, over a number of runs.
double filterMs(TForm1* form, const std::wstring& query, bool allWords, size_t& listed) {
    form->allWordsMustMatchMenuItem->SetChecked(allWords);
    form->anyWordCanMatchMenuItem->SetChecked(!allWords);
    form->searchWords = parseSearchWords(query);
    std::vector<double> runs;
    for (int run = 0; run < 15; ++run) {
        const double start = nowMs();
        form->applySearchFilter();
        runs.push_back(nowMs() - start);
        gui::Application->ProcessMessages();
    }
    listed = form->visiblePhotos.size();
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void searchFigures(TForm1* form) {
    std::wstring longQuery;
    for (int word = 0; longQuery.size() < 5000; ++word)
        longQuery += L"word" + std::to_wstring(word) + (word % 7 ? L" " : L", sun ");
    longQuery.resize(5000);
    const std::pair<const wchar_t*, std::wstring> queries[] = {
        {L"1 word", L"sun"},
        {L"10 words", L"sun sea beach mountains dawn hiking nature party birthday family"},
        {L"5,000 characters", longQuery},
    };
    for (const auto& [name, query] : queries) {
        const double start = nowMs();
        const size_t words = parseSearchWords(query).size();
        const double parsing = nowMs() - start;
        for (bool allWords : {false, true}) {
            size_t listed = 0;
            const double ms = filterMs(form, query, allWords, listed);
            std::printf(
                "search %ls (%zu words, %s): the grid rebuilt in %.2f ms (median of 15), %zu listed; "
                "words parsed in %.2f ms\n",
                name, words, allWords ? "all must match" : "any can match", ms, listed, parsing);
        }
    }
}

// One step to the next item in the full-size view when its file is already there: the first item
// is opened and its neighbour fetched ahead, then the step is timed until the view shows it.
void stepFigures(TForm1* form) {
    form->searchWords.clear();
    form->applySearchFilter();
    Photo* first = form->visiblePhotos.at(0);
    Photo* next = form->visiblePhotos.at(1);
    form->showFullSize(first);
    const bool fetched = testsupport::pumpApplicationUntil(
        [&] { return first->fullSizePresent && next->fullSizePresent && form->fullSizeImage->hasPicture(); },
        60000);
    if (!fetched) {
        std::printf("the first item and its neighbour did not arrive in the Viewer folder\n");
        return;
    }
    const double start = nowMs();
    form->rightSlideshowImageButtonBtnClick(form->rightSlideshowImageButton);
    const double called = nowMs() - start;
    testsupport::pumpApplicationUntil(
        [&] { return form->fullSizePhoto() == next && form->fullSizeImage->hasPicture(); }, 10000);
    gui::Application->ProcessMessages();
    std::printf(
        "one step right with the file present: %.2f ms in the handler, %.2f ms until shown and painted\n",
        called, nowMs() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const bool search = argc > 1 && std::string(argv[1]) == "search";
    gui::TApplication application;
    application.Initialize();
    gui::OleInitializer ole;
    if (!testsupport::registerPxhl()) {
        std::printf("Pxhl.dll of this build could not be registered\n");
        return 1;
    }
    testsupport::FixtureSite site;
    if (!site.running()) {
        std::printf("the fixture site did not start: %s\n", site.failure().c_str());
        return 1;
    }
    SetEnvironmentVariableW(kServiceHostVariable, site.serviceHost().c_str());
    SetEnvironmentVariableW(kMakerHostVariable, site.makerHost().c_str());
    std::wstring message;
    loadServiceHosts(message);
    testsupport::TempFolder folder;
    testsupport::TemporaryFolderSetting setting(folder.path());

    auto* form = new TForm1(&application);
    form->AfterConstruction();
    form->Show();
    gui::Application->ProcessMessages();
    const double memoryBefore = workingSetMb();
    form->userNameEdit->SetText(L"big");
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    const double start = nowMs();
    form->loadUser();
    const bool done = testsupport::pumpApplicationUntil(
        [form] {
            return !form->pageLoading && !form->thumbnailsLoading && form->visiblePhotos.size() == kItems;
        },
        300000);
    const double elapsed = nowMs() - start;
    std::printf(
        "big (%zu items) from Enter to every thumbnail shown: %s in %.0f ms; %zu requests; working set "
        "%.1f MB (%.1f MB before)\n",
        kItems, done ? "done" : "NOT done", elapsed, site.requests().size(), workingSetMb(), memoryBefore);
    if (done && search) {
        searchFigures(form);
        stepFigures(form);
    } else if (done) {
        scrollThrough(form, 150);
        scrollThrough(form, 306);
        std::printf("working set after scrolling: %.1f MB\n", workingSetMb());
    }
    delete form;
    return done ? 0 : 1;
}
