// Feed pages cut short and damaged at random, read to the end by the tokenizer and the JSON reader
// from a buffer that lies against an inaccessible page: any read outside the text faults.
#include "feed/Parser.h"
#include "feed/ParserJSON.h"
#include "support/FeedPages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using testsupport::FeedPage;
using testsupport::TestRandom;

// A copy of a text, NUL included, placed so that it ends right before an inaccessible page or
// starts right after one.
class GuardedText {
public:
    enum Placement { AgainstEnd, AgainstStart };

    GuardedText(const std::wstring& text, Placement placement) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t pageSize = info.dwPageSize;
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        const size_t dataPages = (bytes + pageSize - 1) / pageSize;
        const size_t total = (dataPages + 2) * pageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!base_) {
            return;
        }
        DWORD old;
        if (!VirtualProtect(base_, pageSize, PAGE_NOACCESS, &old) ||
            !VirtualProtect(base_ + total - pageSize, pageSize, PAGE_NOACCESS, &old)) {
            return;
        }
        char* data = placement == AgainstEnd ? base_ + total - pageSize - bytes : base_ + pageSize;
        std::memcpy(data, text.c_str(), bytes);
        text_ = reinterpret_cast<const wchar_t*>(data);
    }
    ~GuardedText() {
        if (base_) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    // Null when the buffer could not be set up.
    const wchar_t* text() const { return text_; }

private:
    char* base_ = nullptr;
    const wchar_t* text_ = nullptr;
};

// Tokens cover the text without gaps, each at least one character long.
void checkTokens(const wchar_t* text, const std::string& label) {
    const int32_t length = static_cast<int32_t>(wcslen(text));
    Parser parser;
    parser.setText(text, false);
    ParsedEntity entity;
    int32_t expectedStart = 0;
    int32_t tokens = 0;
    while (parser.getNextEntity(entity, true)) {
        ASSERT_EQ(expectedStart, entity.start) << label;
        ASSERT_GE(entity.length, 1) << label;
        ASSERT_LE(entity.end, length) << label;
        expectedStart = entity.end;
        ASSERT_LE(++tokens, length) << label;
    }
    EXPECT_EQ(length, expectedStart) << label;
}

// The reader reaches the end; every result consumes a token, so there are at most as many
// results as characters.
void checkReader(const wchar_t* text, const std::string& label) {
    const size_t length = wcslen(text);
    ParserJSON reader;
    reader.setText(text);
    std::wstring key;
    std::wstring value;
    bool objectStart = false;
    bool objectEnd = false;
    size_t results = 0;
    while (reader.next(key, value, objectStart, objectEnd)) {
        ASSERT_LE(++results, length) << label;
        ASSERT_FALSE(objectStart && objectEnd) << label;
    }
}

void checkEverywhere(const std::wstring& text, const std::string& label) {
    for (GuardedText::Placement placement : {GuardedText::AgainstEnd, GuardedText::AgainstStart}) {
        GuardedText guarded(text, placement);
        ASSERT_NE(nullptr, guarded.text());
        checkTokens(guarded.text(), label);
        checkReader(guarded.text(), label);
    }
}

const wchar_t* const kInsertions[] = {
    L"\\",
    L"\"",
    L"'",
    L"/",
    L"/*",
    L"//",
    L"*/",
    L"<!--",
    L"-->",
    L"\\u",
    L"\\u12",
    L"\\x",
    L"\\xFFFFFFFFFFFF",
    L"[",
    L"]",
    L"[[",
    L"]]]",
    L"{",
    L"}",
    L"{{",
    L"}}",
    L":",
    L",",
    L"\r\n",
    L"\n",
    L"&quot;",
    L"\xD800",
    L"\xDC00",
    L"\u00A0",
    L"-",
    L".",
    L"=/",
    L"(/",
    L"null",
    L"\"\"",
    L"\\\"",
};

std::wstring mutate(const std::wstring& page, TestRandom& random) {
    std::wstring text = page;
    const size_t edits = 1 + random.below(8);
    for (size_t i = 0; i < edits && !text.empty(); ++i) {
        const size_t at = random.below(text.size());
        switch (random.below(5)) {
        case 0:
            text.insert(at, kInsertions[random.below(sizeof(kInsertions) / sizeof(kInsertions[0]))]);
            break;
        case 1:
            text[at] = kInsertions[random.below(sizeof(kInsertions) / sizeof(kInsertions[0]))][0];
            break;
        case 2:
            text[at] = static_cast<wchar_t>(1 + random.below(0xFFFF));
            break;
        case 3:
            text.erase(at, 1 + random.below(16));
            break;
        default: {
            const size_t length = 1 + random.below(64);
            text.insert(random.below(text.size()), text.substr(at, length));
            break;
        }
        }
    }
    if (random.below(2) == 0 && !text.empty()) {
        text.resize(random.below(text.size()));
    }
    return text;
}

std::vector<FeedPage> basePages() {
    std::vector<FeedPage> pages;
    for (uint32_t seed : {11u, 23u, 2014u}) {
        pages.push_back(testsupport::makeFeedPage(seed, 6000));
    }
    return pages;
}

TEST(ParserRobustness, GeneratedPagesReadAsTheirItems) {
    for (const FeedPage& page : basePages()) {
        ParserJSON reader;
        reader.setText(page.text.c_str());
        std::wstring key;
        std::wstring value;
        bool objectStart = false;
        bool objectEnd = false;
        size_t starts = 0;
        size_t ends = 0;
        size_t lowResolutionUrls = 0;
        std::wstring moreAvailable;
        while (reader.next(key, value, objectStart, objectEnd)) {
            if (key == L"items") {
                starts += objectStart ? 1 : 0;
                ends += objectEnd ? 1 : 0;
            } else if (key == L"items.images.low_resolution.url") {
                EXPECT_EQ(0u, value.find(L"http://127.0.0.1:18081/cdn/alice/l/1001_")) << value;
                ++lowResolutionUrls;
            } else if (key == L"more_available") {
                moreAvailable = value;
            }
        }
        EXPECT_EQ(page.itemCount, starts);
        EXPECT_EQ(page.itemCount, ends);
        EXPECT_EQ(page.itemCount, lowResolutionUrls);
        EXPECT_EQ(L"true", moreAvailable);
    }
}

TEST(ParserRobustness, TruncatedPagesAreReadWithinTheText) {
    TestRandom random(20140305);
    int cases = 0;
    for (const FeedPage& page : basePages()) {
        for (int i = 0; i < 800; ++i) {
            const size_t length = random.below(page.text.size() + 1);
            checkEverywhere(page.text.substr(0, length), "cut at " + std::to_string(length));
            ++cases;
            if (HasFatalFailure()) {
                return;
            }
        }
    }
    EXPECT_EQ(2400, cases);
}

TEST(ParserRobustness, DamagedPagesAreReadWithinTheText) {
    TestRandom random(1394000000);
    const std::vector<FeedPage> pages = basePages();
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = mutate(pages[i % pages.size()].text, random);
        checkEverywhere(text, "mutation " + std::to_string(i));
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace
