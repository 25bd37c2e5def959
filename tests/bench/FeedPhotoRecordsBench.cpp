// How long the main window takes to take in 10,000 media items from the feed worker: records of a
// page (20 items) posted as the worker posts them, each item turned into a photo with its caption
// words, time and file name; then how long clearing them takes. Prints figures (aim: under 1 s in all).
#include <windows.h>

#include <cstdio>
#include <string>

#include "feed/FeedRecords.h"
#include "gui/Application.h"
#include "gui/OleControlHost.h"
#include "mainwindow/Unit1.h"
#include "support/ProgramUnderTest.h"
#include "tests/bench/BenchClock.h"

namespace {

constexpr int kItems = 10000;
constexpr int kBatch = 500;  // well below the limit of a thread's message queue
constexpr int kPage = 20;

}  // namespace

int main() {
    gui::TApplication application;
    application.Initialize();
    gui::OleInitializer ole;
    if (!testsupport::registerPxhl()) {
        std::printf("Pxhl.dll of this build could not be registered\n");
        return 1;
    }
    auto* form = new TForm1(&application);
    form->AfterConstruction();
    const HWND window = form->Handle();
    const int generation = ++form->pageGeneration;
    form->currentUserName = L"big";

    const std::wstring caption =
        L"Sunrise over the harbour, #travel #morning with @friend (again!) - the best light of the year";
    double handling = 0;
    for (int first = 0; first < kItems; first += kBatch) {
        for (int page = first; page < first + kBatch; page += kPage) {
            auto* record = new FeedPhotosMessageInfo(generation, {});
            for (int i = page; i < page + kPage; ++i) {
                const std::wstring id = std::to_wstring(1000000000 + i) + L"_1001";
                record->photos.push_back(std::make_unique<PhotoMessageInfo>(
                    generation, L"http://127.0.0.1/cdn/big/l/" + id + L".jpg",
                    L"http://127.0.0.1/cdn/big/s/" + id + L".jpg", L"", L"March 5, 2014", caption,
                    L"http://127.0.0.1/p/" + id, id));
            }
            if (!PostMessageW(window, WM_FEED_PHOTOS, reinterpret_cast<WPARAM>(record), 0))
                delete record;
        }
        const double start = nowMs();
        application.ProcessMessages();
        handling += nowMs() - start;
    }
    std::printf("feed photo records: %zu of %d taken in %.1f ms (%.1f us each)\n", form->photos.size(),
                kItems, handling, handling * 1000.0 / kItems);

    const double clearStart = nowMs();
    form->photoFileNames.clear();
    clearPhotos(form);
    std::printf("clearing %d photos: %.1f ms\n", kItems, nowMs() - clearStart);
    delete form;
    return 0;
}
