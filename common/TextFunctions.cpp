#include "common/TextFunctions.h"

#include <oleauto.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

bool isBlank(wchar_t c) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE2, &c, 1, &type))
        return false;
    return type == C2_BLOCKSEPARATOR || type == C2_SEGMENTSEPARATOR || type == C2_WHITESPACE;
}

int compareCounted(const wchar_t* a, size_t lengthA, const wchar_t* b, size_t lengthB, bool caseSensitive) {
    // CompareStringW takes int lengths; texts that long do not occur in this program.
    const int result = CompareStringW(LOCALE_USER_DEFAULT, caseSensitive ? 0 : NORM_IGNORECASE, a,
                                      static_cast<int>(std::min<size_t>(lengthA, INT_MAX)), b,
                                      static_cast<int>(std::min<size_t>(lengthB, INT_MAX)));
    switch (result) {
    case CSTR_EQUAL:
        return 0;
    case CSTR_GREATER_THAN:
        return 1;
    default:
        return -1;
    }
}

// Copies the text into a terminated buffer, converts it in place and keeps it up to the first NUL.
template <typename Convert>
std::wstring convertCase(const std::wstring& text, Convert convert) {
    std::vector<wchar_t> buffer(text.begin(), text.end());
    buffer.push_back(L'\0');
    if (!text.empty())
        convert(buffer.data(), static_cast<DWORD>(text.size()));
    return std::wstring(buffer.data());
}

void appendField(const std::wstring& field, bool lowerCase,
                 std::vector<std::unique_ptr<std::wstring>>& parts) {
    std::wstring part = trimString(field);
    if (lowerCase)
        part = toLowerCase(part);
    parts.push_back(std::make_unique<std::wstring>(std::move(part)));
}

bool isIgnoredSymbol(wchar_t c) {
    const wchar_t withLetter[2] = {c, L'a'};
    const wchar_t letter[1] = {L'a'};
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNORESYMBOLS, withLetter, 2, letter,
                          1) == CSTR_EQUAL;
}

}  // namespace

int roundHalfAwayFromZero(double x) {
    if (std::isnan(x))
        return 0;
    const double fraction = x - std::trunc(x);
    double rounded;
    if (x >= 0)
        rounded = fraction >= 0.5 ? std::ceil(x) : std::floor(x);
    else
        rounded = fraction > -0.5 ? std::ceil(x) : std::floor(x);
    if (rounded >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (rounded <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(rounded);
}

std::wstring trimString(const std::wstring& text) {
    size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    if (start == text.size())
        return std::wstring();
    size_t end = text.size() - 1;
    while (end > start && isBlank(text[end]))
        --end;
    return text.substr(start, end - start + 1);
}

std::wstring toUpperCase(const std::wstring& text) {
    return convertCase(text, [](wchar_t* units, DWORD count) { CharUpperBuffW(units, count); });
}

std::wstring toLowerCase(const std::wstring& text) {
    return convertCase(text, [](wchar_t* units, DWORD count) { CharLowerBuffW(units, count); });
}

int compareStrings(const std::wstring& a, const std::wstring& b, bool caseSensitive) {
    return compareCounted(a.data(), a.size(), b.data(), b.size(), caseSensitive);
}

int compareStrings(const wchar_t* a, const wchar_t* b, bool caseSensitive) {
    return compareCounted(a, wcslen(a), b, wcslen(b), caseSensitive);
}

std::wstring formatString(const wchar_t* format, ...) {
    // The runtime's own formatter, not the C99 one the compiler would pick for vswprintf: the
    // program's formats pass wide strings to %s.
    va_list arguments;
    va_start(arguments, format);
    va_list counting;
    va_copy(counting, arguments);
    const int count = _vscwprintf(format, counting);
    va_end(counting);

    std::wstring result;
    if (count > 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(count) + 1, L'\0');
        const int written = _vsnwprintf(buffer.data(), buffer.size(), format, arguments);
        if (written >= 0)
            result.assign(buffer.data(), static_cast<size_t>(written));
    }
    va_end(arguments);
    return result;
}

int stringToInt(const std::wstring& text, int defaultValue) {
    // The automation parsers take a non-const pointer but do not write through it.
    OLECHAR* chars = const_cast<OLECHAR*>(text.c_str());
    LONG whole = 0;
    double real = 0;
    if (FAILED(VarI4FromStr(chars, LOCALE_USER_DEFAULT, 0, &whole)))
        return defaultValue;
    if (FAILED(VarR8FromStr(chars, LOCALE_USER_DEFAULT, 0, &real)))
        return defaultValue;
    // VarI4FromStr rounds "4.2" to 4; only a text that denotes a whole number counts.
    if (std::trunc(real) == static_cast<double>(whole) && static_cast<double>(whole) - real == 0)
        return static_cast<int>(whole);
    return defaultValue;
}

void splitString(const std::wstring& text, const std::wstring& delimiters,
                 std::vector<std::unique_ptr<std::wstring>>& parts, bool lowerCase) {
    size_t start = 0;
    for (;;) {
        const size_t position =
            delimiters.empty() ? std::wstring::npos : text.find_first_of(delimiters, start);
        if (position == std::wstring::npos) {
            if (start < text.size())
                appendField(text.substr(start), lowerCase, parts);
            return;
        }
        if (position > start)
            appendField(text.substr(start, position - start), lowerCase, parts);
        start = position + 1;
    }
}

void blankSymbolsAndEmoji(std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c >= 0xD800 && c <= 0xD83D && i + 1 < text.size()) {
            text[i] = L' ';
            text[i + 1] = L' ';
            ++i;
        } else if (isIgnoredSymbol(c)) {
            text[i] = L' ';
        }
    }
}

std::wstring wideStringToWString(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(text, text + length);
    buffer.push_back(L'\0');
    return std::wstring(buffer.data());
}

std::wstring wideStringToWString(BSTR text) {
    return wideStringToWString(text, SysStringLen(text));
}

std::wstring ansiStringToWString(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int sourceLength = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), sourceLength, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), sourceLength, buffer.data(), length);
    return std::wstring(buffer.data());
}
