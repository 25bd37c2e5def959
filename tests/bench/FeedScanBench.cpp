// Records per second from the feed page scan, over every feed page of the fixture site's
// 1,000-item user. Usage: FeedScanBench <folder holding big-media-1.json ...>
#include "common/TextFunctions.h"
#include "feed/FeedPageScan.h"
#include "feed/FeedPageWorker.h"
#include "feed/Parser.h"
#include "tests/bench/BenchClock.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: FeedScanBench <folder of feed pages>\n");
        return 2;
    }
    initScriptTokenTables();

    std::wstring folder = ansiStringToWString(argv[1]);
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    std::vector<std::unique_ptr<std::wstring>> pages;
    for (int number = 1;; ++number) {
        std::unique_ptr<std::wstring> text =
            readPageText(folder + L"big-media-" + std::to_wstring(number) + L".json");
        if (!text)
            break;
        pages.push_back(std::move(text));
    }
    if (pages.empty()) {
        std::fprintf(stderr, "FeedScanBench: no pages in %s\n", argv[1]);
        return 1;
    }

    const double start = nowMs();
    size_t records = 0;
    size_t bytes = 0;
    int rounds = 0;
    double seconds = 0;
    do {
        for (const auto& page : pages) {
            records += scanFeedPage(*page, 1).photos.size();
            bytes += page->size() * sizeof(wchar_t);
        }
        ++rounds;
        seconds = (nowMs() - start) / 1000;
    } while (seconds < 2.0 && rounds < 1000);

    std::printf(
        "feed page scan: %zu pages, %zu records per round, %d rounds in %.2f s: "
        "%.0f records/s (%.1f MB/s of text)\n",
        pages.size(), records / rounds, rounds, seconds, records / seconds, bytes / seconds / 1e6);
    return 0;
}
