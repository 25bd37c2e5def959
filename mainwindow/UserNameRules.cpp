#include "mainwindow/UserNameRules.h"

#include "common/TextFunctions.h"

#include <windows.h>

#include <vector>

std::wstring extractUserName(const std::wstring& text) {
    std::wstring lower = toLowerCase(trimString(text));
    // A link shared from a phone carries a query or a fragment; neither belongs to the name.
    lower = lower.substr(0, lower.find_first_of(L"?#"));
    size_t end = lower.size();
    while (end > 0 && lower[end - 1] == L'/') {
        --end;
    }
    size_t begin = end;
    while (begin > 0 && lower[begin - 1] != L'/') {
        --begin;
    }
    const std::wstring segment = trimString(lower.substr(begin, end - begin));
    if (segment.empty()) {
        return segment;
    }
    std::vector<WORD> types(segment.size());
    if (!GetStringTypeW(CT_CTYPE1, segment.c_str(), static_cast<int>(segment.size()), types.data())) {
        return segment;
    }
    std::wstring name;
    for (size_t i = 0; i < segment.size(); ++i) {
        if ((types[i] & C1_SPACE) == 0) {
            name += segment[i];
        }
    }
    return name;
}
