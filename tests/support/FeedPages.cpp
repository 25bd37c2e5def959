#include "support/FeedPages.h"

namespace testsupport {
namespace {

// Caption pieces as they stand in the page text: raw non-ASCII and emoji, and JSON escapes.
const wchar_t* const kCaptionWords[] = {
    L"Sun",
    L"and",
    L"sea",
    L"#beach",
    L"Caf\\u00e9",
    L"Caf\u00E9",
    L"\\ud83c\\udf05",
    L"\U0001F305",
    L"Z\u00FCrich,",
    L"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1",
    L"\u6771\u4EAC",
    L"\u2014",
    L"na\u00EFve",
    L"She said \\\"hello\\\"",
    L"left \\\\o\\/",
    L"Line one\\nline two\\twith a tab",
    L"100%",
    L"'single'",
    L"&",
    L"<angle>",
    L"@friend",
    L"\U0001F389\U0001F382",
    L"#birthday",
    L"\u041F\u0440\u0438\u0432\u0435\u0442",
    L"\u0645\u0631\u062D\u0628\u0627",
    L"\u2713 \u2600 \u2665",
    L"path a\\/b\\/c",
    L"\\u00dcn\\u00efc\\u00f6d\\u00e9",
    L"back\\\\slash",
    L"\U0001F468\u200D\U0001F469",
};

const wchar_t* const kTags[] = {L"beach", L"sun", L"hiking", L"nature", L"birthday", L"caf\\u00e9"};
const wchar_t* const kUsers[] = {L"alice", L"bob", L"carol", L"dave"};

void appendUrl(std::wstring& out, const wchar_t* kind, const std::wstring& id, const wchar_t* extension) {
    out += L"\"http:\\/\\/127.0.0.1:18081\\/cdn\\/alice\\/";
    out += kind;
    out += L"\\/";
    out += id;
    out += extension;
    out += L'"';
}

void appendImage(std::wstring& out, const wchar_t* name, const wchar_t* kind, const std::wstring& id,
                 int size) {
    out += L'"';
    out += name;
    out += L"\":{\"url\":";
    appendUrl(out, kind, id, L".jpg");
    out += L",\"width\":" + std::to_wstring(size) + L",\"height\":" + std::to_wstring(size) + L"}";
}

void appendItem(std::wstring& out, TestRandom& random, size_t number) {
    const std::wstring id = L"1001_" + std::to_wstring(100000 - number);
    const std::wstring time = std::to_wstring(1394000000 - 86400 * static_cast<long long>(number));
    const bool video = random.below(5) == 0;

    out += L"{\"id\":\"" + id + L"\",\"code\":\"A" + std::to_wstring(number) + L"\",\"type\":\"";
    out += video ? L"video" : L"image";
    out += L"\",\"created_time\":";
    out += random.below(2) ? L"\"" + time + L"\"" : time;
    out += L",\"link\":\"http:\\/\\/127.0.0.1:18080\\/p\\/A" + std::to_wstring(number) + L"\\/\"";

    if (random.below(8) == 0) {
        out += L",\"caption\":null";
    } else {
        out += L",\"caption\":{\"id\":\"9" + std::to_wstring(number) + L"\",\"created_time\":\"" + time +
               L"\",\"text\":\"";
        const size_t words = 1 + random.below(12);
        for (size_t i = 0; i < words; ++i) {
            if (i > 0) {
                out += L' ';
            }
            out += kCaptionWords[random.below(sizeof(kCaptionWords) / sizeof(kCaptionWords[0]))];
        }
        out += L"\",\"from\":{\"id\":\"1001\",\"username\":\"alice\"}}";
    }

    out += L",\"tags\":[";
    const size_t tags = random.below(4);
    for (size_t i = 0; i < tags; ++i) {
        out += i > 0 ? L",\"" : L"\"";
        out += kTags[random.below(sizeof(kTags) / sizeof(kTags[0]))];
        out += L'"';
    }
    out += L"]";

    out += L",\"images\":{";
    appendImage(out, L"thumbnail", L"t", id, 150);
    out += L',';
    appendImage(out, L"low_resolution", L"l", id, 320);
    out += L',';
    appendImage(out, L"standard_resolution", L"s", id, 640);
    out += L'}';
    if (video) {
        out += L",\"alt_media_url\":";
        appendUrl(out, L"v", id, L".mp4");
    }

    const size_t likes = random.below(4);
    out += L",\"likes\":{\"count\":" + std::to_wstring(likes * 7) + L",\"data\":[";
    for (size_t i = 0; i < likes; ++i) {
        const size_t user = random.below(sizeof(kUsers) / sizeof(kUsers[0]));
        out += i > 0 ? L",{" : L"{";
        out += L"\"username\":\"" + std::wstring(kUsers[user]) + L"\",\"id\":\"" +
               std::to_wstring(1001 + user) + L"\"}";
    }
    out += L"]}";
    out += random.below(3) == 0 ? L",\"location\":{\"latitude\":-33.8568,\"longitude\":151.2153,"
                                  L"\"name\":\"Caf\\u00e9 \\\"Sol\\\"\"}"
                                : L",\"location\":null";
    out += L",\"user_has_liked\":false,\"user\":{\"id\":\"1001\",\"username\":\"alice\"}}";
}

}  // namespace

FeedPage makeFeedPage(uint32_t seed, size_t minimumLength) {
    TestRandom random(seed);
    FeedPage page;
    page.text = L"{\"status\":\"ok\",\"items\":[";
    while (page.text.size() < minimumLength || page.itemCount == 0) {
        if (page.itemCount > 0) {
            page.text += L',';
        }
        appendItem(page.text, random, page.itemCount);
        ++page.itemCount;
    }
    page.text += L"],\"more_available\":true}";
    return page;
}

}  // namespace testsupport
