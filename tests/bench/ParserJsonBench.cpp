// Prints how fast the JSON reader (and the tokenizer under it) reads a 5 MB feed page.
#include "feed/Parser.h"
#include "feed/ParserJSON.h"
#include "support/FeedPages.h"
#include "tests/bench/BenchClock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRuns = 7;

size_t readWithParserJSON(const std::wstring& text) {
    ParserJSON reader;
    reader.setText(text.c_str());
    std::wstring key;
    std::wstring value;
    bool objectStart = false;
    bool objectEnd = false;
    size_t results = 0;
    while (reader.next(key, value, objectStart, objectEnd)) {
        ++results;
    }
    return results;
}

size_t readWithParser(const std::wstring& text) {
    Parser parser;
    parser.setText(text.c_str(), false);
    parser.setEntityRecognition(false);
    ParsedEntity entity;
    size_t tokens = 0;
    while (parser.getNextEntity(entity, false)) {
        ++tokens;
    }
    return tokens;
}

}  // namespace

int main() {
    // About 5 MB once encoded as UTF-8, the way the page arrives.
    const size_t targetBytes = 5 * 1000 * 1000;
    testsupport::FeedPage page = testsupport::makeFeedPage(2014, targetBytes);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, page.text.c_str(), static_cast<int>(page.text.size()),
                                    nullptr, 0, nullptr, nullptr);
    while (static_cast<size_t>(bytes) > targetBytes + targetBytes / 50) {
        page = testsupport::makeFeedPage(2014, page.text.size() * targetBytes / static_cast<size_t>(bytes));
        bytes = WideCharToMultiByte(CP_UTF8, 0, page.text.c_str(), static_cast<int>(page.text.size()),
                                    nullptr, 0, nullptr, nullptr);
    }
    const double megabytes = bytes / 1e6;
    std::printf("feed page: %.2f MB as UTF-8, %zu characters, %zu items\n", megabytes, page.text.size(),
                page.itemCount);

    size_t results = 0;
    const double readerTime = medianMs(kRuns, [&](int) { results = readWithParserJSON(page.text); }) / 1000;
    std::printf("ParserJSON: %.1f MB/s (%.3f s for %zu results, median of %d runs)\n", megabytes / readerTime,
                readerTime, results, kRuns);

    size_t tokens = 0;
    const double parserTime = medianMs(kRuns, [&](int) { tokens = readWithParser(page.text); }) / 1000;
    std::printf("Parser alone: %.1f MB/s (%.3f s for %zu tokens, median of %d runs)\n",
                megabytes / parserTime, parserTime, tokens, kRuns);
    return 0;
}
