// The main road with the fixture site's 1,000-item user: from the load to every thumbnail in the
// grid (requests, working set), then the whole grid scrolled through at the smallest and the
// largest thumbnails: time per frame (scroll, layout and paint) and tiles made. Prints figures.
#include "support/FixtureSite.h"

#include "common/ServiceHosts.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Photo.h"
#include "mainwindow/Thumbnailimage.h"
#include "mainwindow/Unit1.h"
#include "support/ProgramUnderTest.h"
#include "support/TestSupport.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr size_t kItems = 1000;
constexpr int kScrollStep = 60;  // pixels per frame, about a wheel notch

double now() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const double start = now();
    while (!done()) {
        if (now() - start > timeoutMs)
            return false;
        gui::Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The window takes one control at its start: Pxhl.dll of this build (two folders up) is registered first.
bool registerPxhl() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll = path;
    for (int up = 0; up < 3; ++up)
        dll = dll.substr(0, dll.find_last_of(L"\\/"));
    HMODULE module = LoadLibraryW((dll + L"\\Pxhl.dll").c_str());
    FARPROC entry = module ? GetProcAddress(module, "DllRegisterServer") : nullptr;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    return entry && reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(entry))() == S_OK;
}

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
        const double start = now();
        bar->SetPosition(std::min(position, last));
        form->resetScrollAnchor();
        form->layoutGrid();
        frames.push_back(now() - start);
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

}  // namespace

int main() {
    gui::TApplication application;
    application.Initialize();
    gui::OleInitializer ole;
    if (!registerPxhl()) {
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
    const double start = now();
    form->loadUser();
    const bool done = pumpUntil(
        [form] {
            return !form->pageLoading && !form->thumbnailsLoading && form->visiblePhotos.size() == kItems;
        },
        300000);
    const double elapsed = now() - start;
    std::printf(
        "big (%zu items) from Enter to every thumbnail shown: %s in %.0f ms; %zu requests; working set "
        "%.1f MB (%.1f MB before)\n",
        kItems, done ? "done" : "NOT done", elapsed, site.requests().size(), workingSetMb(), memoryBefore);
    if (done) {
        scrollThrough(form, 150);
        scrollThrough(form, 306);
        std::printf("working set after scrolling: %.1f MB\n", workingSetMb());
    }
    delete form;
    return done ? 0 : 1;
}
