// The main road with the fixture site's 1,000-item user: from the load to every thumbnail in the
// grid (requests, working set), then the whole grid scrolled through at the smallest and the
// largest thumbnails: time per frame (scroll, layout and paint) and tiles made. Prints figures.
// Usage: MainRoadBench <empty work folder>, with the site of the calling script (its hosts in
// PIXHAUL_SERVICE_HOST and PIXHAUL_MAKER_HOST): the user is loaded once to warm the site and then
// timed; the work folder receives the site's log of the timed load (log.json), every thumbnail
// the program saved (thumbs\NNNN, feed order) and their addresses (thumbs.txt), for the script's
// comparison with curl. MainRoadBench search: with a site of its own, the caption search over the
// loaded grid instead, for short and long queries in both match modes, and one step through the
// full-size view.
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
#include <fstream>
#include <functional>
#include <memory>
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

// Whether every tile in the grid shows its picture.
bool picturesShown(TForm1* form) {
    return std::all_of(form->tilesInUse.begin(), form->tilesInUse.end(),
                       [](ThumbnailImage* tile) { return tile->photoImage()->hasPicture(); });
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
    // A frame also takes what arrived for the window meanwhile (pictures decoded elsewhere).
    for (int position = kScrollStep; position < last + kScrollStep; position += kScrollStep) {
        const double start = nowMs();
        bar->SetPosition(std::min(position, last));
        form->resetScrollAnchor();
        form->layoutGrid();
        gui::Application->ProcessMessages();
        frames.push_back(nowMs() - start);
    }
    if (frames.empty())
        return;
    const double end = nowMs();
    testsupport::pumpApplicationUntil([form] { return picturesShown(form); }, 10000);
    const double shown = nowMs() - end;
    std::sort(frames.begin(), frames.end());
    std::printf(
        "scrolled through at %d px: %zu frames of %d px; per frame median %.2f ms, 95th percentile "
        "%.2f ms, worst %.2f ms; tiles made %d (pool %zu, in use %zu), scaled copies %d; every picture "
        "shown %.0f ms after the last frame\n",
        side, frames.size(), kScrollStep, frames[frames.size() / 2], frames[frames.size() * 95 / 100],
        frames.back(), form->tilesMade - madeBefore, form->tilePool.size(), form->tilesInUse.size(),
        PhotoImage::scaledCopies() - copiesBefore, shown);
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

// The port of a "127.0.0.1:<port>" host variable, 0 when it is not set.
int hostPort(const wchar_t* variable) {
    wchar_t value[64] = {};
    GetEnvironmentVariableW(variable, value, 64);
    const wchar_t* colon = wcsrchr(value, L':');
    return colon ? _wtoi(colon + 1) : 0;
}

// Loads big and waits for every thumbnail, and for the grid's tiles to show their pictures; the
// milliseconds taken, or -1 when it did not finish.
double loadBig(TForm1* form) {
    form->userNameEdit->SetText(L"big");
    form->userNameEdit->Font()->SetColor(static_cast<gui::TColor>(0x303335));
    const double start = nowMs();
    form->loadUser();
    const bool done = testsupport::pumpApplicationUntil(
        [form] {
            return form->loadState == LoadState::idle && form->visiblePhotos.size() == kItems &&
                   picturesShown(form);
        },
        300000);
    return done ? nowMs() - start : -1;
}

// What the script compares with curl: the site's log, the saved thumbnails and their addresses.
void keepRoad(TForm1* form, const std::string& work, const std::string& log) {
    std::ofstream(work + "\\log.json", std::ios::binary) << log;
    std::ofstream urls(work + "\\thumbs.txt", std::ios::binary);
    CreateDirectoryA((work + "\\thumbs").c_str(), nullptr);
    for (size_t index = 0; index < form->photos.size(); ++index) {
        const Photo& photo = *form->photos[index];
        char name[16];
        std::snprintf(name, sizeof(name), "%04zu", index);
        CopyFileW(
            photo.thumbnailPath.c_str(),
            (std::wstring(work.begin(), work.end()) + L"\\thumbs\\" + std::wstring(name, name + 4)).c_str(),
            FALSE);
        urls << std::string(photo.lowResolutionUrl.begin(), photo.lowResolutionUrl.end()) << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool search = argc > 1 && std::string(argv[1]) == "search";
    if (argc < 2) {
        std::fprintf(stderr, "usage: MainRoadBench <empty work folder> | search\n");
        return 2;
    }
    gui::TApplication application;
    application.Initialize();
    gui::OleInitializer ole;
    if (!testsupport::registerPxhl()) {
        std::printf("Pxhl.dll of this build could not be registered\n");
        return 1;
    }
    std::unique_ptr<testsupport::FixtureSite> site;
    if (search) {
        site = std::make_unique<testsupport::FixtureSite>();
        if (!site->running()) {
            std::printf("the fixture site did not start: %s\n", site->failure().c_str());
            return 1;
        }
        SetEnvironmentVariableW(kServiceHostVariable, site->serviceHost().c_str());
        SetEnvironmentVariableW(kMakerHostVariable, site->makerHost().c_str());
    }
    const int servicePort = hostPort(kServiceHostVariable);
    std::wstring message;
    loadServiceHosts(message);
    testsupport::TempFolder folder;
    testsupport::TemporaryFolderSetting setting(folder.path());

    auto* form = new TForm1(&application);
    form->AfterConstruction();
    form->Show();
    gui::Application->ProcessMessages();
    const double memoryBefore = workingSetMb();
    if (!search) {
        // The site draws every picture on its first request: that is not the program's time.
        loadBig(form);
        testsupport::httpExchange(servicePort, "POST", "/__reset");
    }
    const double elapsed = loadBig(form);
    const bool done = elapsed >= 0;
    const std::string log = testsupport::httpExchange(servicePort, "GET", "/__log");
    size_t requests = 0;
    for (size_t at = log.find("\"path\""); at != std::string::npos; at = log.find("\"path\"", at + 1))
        ++requests;
    std::printf(
        "big (%zu items) from Enter to every thumbnail shown: %s in %.0f ms; %zu requests; working set "
        "%.1f MB (%.1f MB before)\n",
        kItems, done ? "done" : "NOT done", elapsed, requests, workingSetMb(), memoryBefore);
    if (done && search) {
        searchFigures(form);
        stepFigures(form);
    } else if (done) {
        keepRoad(form, argv[1], log);
        scrollThrough(form, 150);
        scrollThrough(form, 306);
        std::printf("working set after scrolling: %.1f MB\n", workingSetMb());
    }
    std::fflush(stdout);
    delete form;
    return done ? 0 : 1;
}
