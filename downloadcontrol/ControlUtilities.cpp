#include "downloadcontrol/ControlUtilities.h"

#include <oleauto.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <type_traits>

#include "downloadcontrol/CriticalSection.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

HINSTANCE g_moduleInstance = nullptr;
bool g_winSockStarted = false;
WSADATA g_winSockData;

CriticalSection& winSockLock() {
    static CriticalSection lock;
    return lock;
}

template <typename Char>
std::basic_string<Char> unscramble(const Char* stored) {
    if (!stored || !*stored) {
        return {};
    }
    using Unit = typename std::make_unsigned<Char>::type;
    const long long count = static_cast<long long>(static_cast<Unit>(stored[0])) - 24;
    std::basic_string<Char> text(stored + 1);
    const std::size_t length = text.size();

    if (length > 3) {
        const std::size_t middle = length / 2;
        for (std::size_t k = 0; k < middle / 2; ++k) {
            const std::size_t left = middle - 1 - 2 * k;
            const std::size_t right = middle + 1 + 2 * k;
            if (right < length) {
                std::swap(text[left], text[right]);
            }
        }
    }

    // Drop the filler: first the middle part, then the front part. A count outside the text is clipped.
    const std::size_t padding =
        count < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(count), length);
    const std::size_t front = padding / 2;
    text.erase(front + (length - padding) / 2, padding - front);
    text.erase(0, front);
    return text;
}

bool isTrimmable(wchar_t c) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE2, &c, 1, &type)) {
        return false;
    }
    return type == C2_WHITESPACE || type == C2_SEGMENTSEPARATOR || type == C2_BLOCKSEPARATOR;
}

std::wstring localeText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[32];
    int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 32);
    return length > 1 ? std::wstring(buffer, length - 1) : std::wstring(fallback);
}

UINT localeNumber(LCTYPE type, UINT fallback) {
    std::wstring text = localeText(type, L"");
    if (text.empty()) {
        return fallback;
    }
    return static_cast<UINT>(std::wcstoul(text.c_str(), nullptr, 10));
}

// NUMBERFMTW's Grouping from the locale's grouping text: "3;0" gives 3, "3;2;0" gives 32, "3" gives 30.
UINT localeGrouping() {
    std::wstring text = localeText(LOCALE_SGROUPING, L"3;0");
    std::wstring digits;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            digits += c;
        }
    }
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, L";0") == 0) {
        digits.pop_back();
    } else {
        digits += L'0';
    }
    return digits.empty() ? 0 : static_cast<UINT>(std::wcstoul(digits.c_str(), nullptr, 10));
}

// Formats a plain number text ("-1234.5") with the user's grouping and separators.
std::wstring formatNumberText(const std::wstring& plain, int decimals) {
    std::wstring decimalSeparator = localeText(LOCALE_SDECIMAL, L".");
    std::wstring thousandSeparator = localeText(LOCALE_STHOUSAND, L",");
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = localeNumber(LOCALE_ILZERO, 1);
    format.Grouping = localeGrouping();
    format.lpDecimalSep = &decimalSeparator[0];
    format.lpThousandSep = &thousandSeparator[0];
    format.NegativeOrder = localeNumber(LOCALE_INEGNUMBER, 1);

    int length = GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, nullptr, 0);
    if (length <= 1) {
        return plain;
    }
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    length = GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, &result[0], length);
    if (length <= 1) {
        return plain;
    }
    result.resize(static_cast<std::size_t>(length - 1));
    return result;
}

std::wstring replaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    std::wstring result;
    std::size_t at = 0;
    for (;;) {
        std::size_t found = text.find(from, at);
        if (found == std::wstring_view::npos) {
            result.append(text.substr(at));
            return result;
        }
        result.append(text.substr(at, found - at));
        result.append(to);
        at = found + from.size();
    }
}

std::wstring escapedBlank() {
    static constexpr auto kEscapedBlank = scrambleText(L"%20");
    return UnscrambleString(kEscapedBlank.chars);
}

}  // namespace

// ---- Module ----

void setModuleInstance(HINSTANCE instance) {
    g_moduleInstance = instance;
}

HINSTANCE moduleInstance() {
    if (g_moduleInstance) {
        return g_moduleInstance;
    }
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
    return module;
}

// ---- WinSock ----

bool startWinSock() {
    CriticalSectionLock lock(winSockLock());
    if (!g_winSockStarted) {
        g_winSockStarted = WSAStartup(MAKEWORD(2, 2), &g_winSockData) == 0;
    }
    return g_winSockStarted;
}

void stopWinSock() {
    CriticalSectionLock lock(winSockLock());
    if (g_winSockStarted) {
        WSACleanup();
        g_winSockStarted = false;
    }
}

bool isWinSockStarted() {
    CriticalSectionLock lock(winSockLock());
    return g_winSockStarted;
}

// ---- Stored texts ----

std::wstring UnscrambleString(const wchar_t* stored) {
    return unscramble(stored);
}

std::string UnscrambleString(const char* stored) {
    return unscramble(stored);
}

// ---- Numbers ----

int64_t roundHalfUp(double value) {
    if (!(value > -9.2e18 && value < 9.2e18)) {
        return value > 0 ? INT64_MAX : (value < 0 ? INT64_MIN : 0);
    }
    // The fraction is taken from the floor, so negative values round half up too (-1.2 gives -1).
    return static_cast<int64_t>(value - std::floor(value) >= 0.5 ? std::ceil(value) : std::floor(value));
}

int32_t parseInt32(std::wstring_view text, int32_t defaultValue) {
    std::wstring buffer(text);
    LONG value = 0;
    if (FAILED(VarI4FromStr(&buffer[0], LOCALE_SYSTEM_DEFAULT, 0, &value))) {
        return defaultValue;
    }
    return std::to_wstring(value) == buffer ? static_cast<int32_t>(value) : defaultValue;
}

int64_t parseInt64(std::wstring_view text, int64_t defaultValue) {
    std::wstring buffer(text);
    LONG64 value = 0;
    if (FAILED(VarI8FromStr(&buffer[0], LOCALE_SYSTEM_DEFAULT, 0, &value))) {
        return defaultValue;
    }
    return std::to_wstring(value) == buffer ? static_cast<int64_t>(value) : defaultValue;
}

std::wstring groupedNumber(int64_t value) {
    return formatNumberText(std::to_wstring(value), 0);
}

std::wstring groupedNumber(double value, int decimals) {
    if (decimals < 0) {
        decimals = 0;
    }
    if (!std::isfinite(value)) {
        return formatText(L"%f", value);
    }
    return formatNumberText(formatText(L"%.*f", decimals, value), decimals);
}

std::wstring timeSpanText(int64_t ticks) {
    const int64_t seconds = ticks > 0 ? ticks / 10000000 : 0;
    const std::wstring separator = localeText(LOCALE_STIME, L":");
    return formatText(L"%02I64d%ls%02d%ls%02d", seconds / 3600, separator.c_str(),
                      static_cast<int>(seconds / 60 % 60), separator.c_str(), static_cast<int>(seconds % 60));
}

// ---- Base64 ----

std::size_t base64EncodedLength(std::size_t count, unsigned flags) {
    std::size_t length = (flags & Base64NoPadding) ? (count * 4 + 2) / 3 : (count + 2) / 3 * 4;
    if (!(flags & Base64NoLineBreaks) && length > 0) {
        length += (length - 1) / 76 * 2;
    }
    return length;
}

std::string base64Encode(const void* bytes, std::size_t count, unsigned flags) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const unsigned char* in = static_cast<const unsigned char*>(bytes);
    std::string out;
    out.reserve(base64EncodedLength(count, flags));
    std::size_t lineLength = 0;
    auto put = [&](char c) {
        if (!(flags & Base64NoLineBreaks) && lineLength == 76) {
            out += "\r\n";
            lineLength = 0;
        }
        out += c;
        ++lineLength;
    };
    for (std::size_t i = 0; i < count; i += 3) {
        const std::size_t left = count - i;
        const unsigned group = (in[i] << 16) | (left > 1 ? in[i + 1] << 8 : 0) | (left > 2 ? in[i + 2] : 0);
        put(kAlphabet[(group >> 18) & 63]);
        put(kAlphabet[(group >> 12) & 63]);
        if (left > 1) {
            put(kAlphabet[(group >> 6) & 63]);
        } else if (!(flags & Base64NoPadding)) {
            put('=');
        }
        if (left > 2) {
            put(kAlphabet[group & 63]);
        } else if (!(flags & Base64NoPadding)) {
            put('=');
        }
    }
    return out;
}

// ---- Text conversion and comparison ----

std::string wideToLowBytes(std::wstring_view text) {
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = static_cast<char>(text[i] & 0xFF);
    }
    return bytes;
}

std::wstring bytesToWide(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[i] = static_cast<unsigned char>(bytes[i]);
    }
    return text;
}

std::string wideToAnsi(std::wstring_view text) {
    std::wstring source(text);
    std::size_t length = std::wcstombs(nullptr, source.c_str(), 0);
    if (length == static_cast<std::size_t>(-1)) {
        return {};
    }
    std::string result(length + 1, '\0');
    std::wcstombs(&result[0], source.c_str(), length + 1);
    result.resize(length);
    return result;
}

std::wstring ansiToWide(std::string_view text) {
    std::string source(text);
    std::size_t length = std::mbstowcs(nullptr, source.c_str(), 0);
    if (length == static_cast<std::size_t>(-1)) {
        return {};
    }
    std::wstring result(length + 1, L'\0');
    std::mbstowcs(&result[0], source.c_str(), length + 1);
    result.resize(length);
    return result;
}

std::wstring multiByteToWide(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int sourceLength = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, 0, text.data(), sourceLength, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), sourceLength, &result[0], length);
    return result;
}

std::wstring trimText(std::wstring_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isTrimmable(text[first])) {
        ++first;
    }
    while (last > first && isTrimmable(text[last - 1])) {
        --last;
    }
    return std::wstring(text.substr(first, last - first));
}

std::wstring toUpperText(std::wstring_view text) {
    std::wstring result(text);
    if (!result.empty()) {
        CharUpperBuffW(&result[0], static_cast<DWORD>(result.size()));
    }
    return result;
}

std::wstring toLowerText(std::wstring_view text) {
    std::wstring result(text);
    if (!result.empty()) {
        CharLowerBuffW(&result[0], static_cast<DWORD>(result.size()));
    }
    return result;
}

int compareText(std::wstring_view a, std::wstring_view b, bool caseSensitive) {
    if (a.size() <= static_cast<std::size_t>(INT_MAX) && b.size() <= static_cast<std::size_t>(INT_MAX)) {
        int result = CompareStringW(LOCALE_SYSTEM_DEFAULT, caseSensitive ? 0 : NORM_IGNORECASE, a.data(),
                                    static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
        if (result != 0) {
            return result - CSTR_EQUAL;
        }
    }
    int ordinal = a.compare(b);
    return ordinal < 0 ? -1 : (ordinal > 0 ? 1 : 0);
}

std::string caseBlindSortKey(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(text.size());
    const int bytes = LCMapStringW(LOCALE_SYSTEM_DEFAULT, kFlags, text.data(), length, nullptr, 0);
    if (bytes <= 0) {
        return {};
    }
    std::string key(static_cast<std::size_t>(bytes), '\0');
    // A sort key is bytes: its length is counted in bytes, not in characters.
    if (LCMapStringW(LOCALE_SYSTEM_DEFAULT, kFlags, text.data(), length, reinterpret_cast<LPWSTR>(key.data()),
                     bytes) != bytes) {
        return {};
    }
    return key;
}

std::wstring formatText(const wchar_t* format, ...) {
    // The runtime's own wide printf (not the C99 one that g++ selects), so %s means a wide text.
    va_list arguments;
    va_start(arguments, format);
    int length = _vscwprintf(format, arguments);
    va_end(arguments);
    if (length <= 0) {
        return {};
    }
    std::wstring result(static_cast<std::size_t>(length) + 1, L'\0');
    va_start(arguments, format);
    _vsnwprintf(&result[0], result.size(), format, arguments);
    va_end(arguments);
    result.resize(static_cast<std::size_t>(length));
    return result;
}

std::vector<std::wstring> splitText(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t found = text.find(separator, start);
        if (found == std::wstring_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, found - start));
        start = found + 1;
    }
}

// ---- Byte buffers of protocol replies ----

std::wstring byteRangeToText(std::string_view buffer, std::size_t start, std::size_t end) {
    end = std::min(end, buffer.size());
    if (start >= end) {
        return {};
    }
    return bytesToWide(buffer.substr(start, end - start));
}

std::ptrdiff_t findHeaderBlockEnd(std::string_view buffer, std::size_t start, std::size_t* next) {
    for (std::size_t i = start; i < buffer.size(); ++i) {
        if (buffer[i] != '\n') {
            continue;
        }
        // A line ended at i; an empty line follows when the next line is LF or CR LF.
        std::size_t after = 0;
        if (i + 1 < buffer.size() && buffer[i + 1] == '\n') {
            after = i + 2;
        } else if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n') {
            after = i + 3;
        } else {
            continue;
        }
        std::size_t lineEnd = (i > start && buffer[i - 1] == '\r') ? i - 1 : i;
        if (next) {
            *next = after;
        }
        return static_cast<std::ptrdiff_t>(lineEnd);
    }
    return -1;
}

std::string bytesAfter(std::string_view buffer, std::size_t start) {
    return start >= buffer.size() ? std::string() : std::string(buffer.substr(start));
}

// ---- Blanks in URLs ----

std::wstring escapeUrlBlanks(std::wstring_view url) {
    return replaceAll(url, L" ", escapedBlank());
}

std::wstring unescapeUrlBlanks(std::wstring_view url) {
    return replaceAll(url, escapedBlank(), L" ");
}

std::wstring unescapeUrlBlanksBeforeQuery(std::wstring_view url) {
    std::wstring text = unescapeUrlBlanks(url);
    std::size_t query = text.find(L'?');
    if (query != std::wstring::npos) {
        text.erase(query);
    }
    return text;
}

// ---- Paths and files ----

std::wstring withoutLongPathPrefix(std::wstring_view path) {
    std::wstring trimmed = trimText(path);
    if (trimmed.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        return L"\\\\" + trimmed.substr(8);
    }
    if (trimmed.compare(0, 4, L"\\\\?\\") == 0) {
        return trimmed.substr(4);
    }
    return trimmed;
}

std::wstring toLongPath(std::wstring_view path) {
    std::wstring plain = trimText(withoutLongPathPrefix(path));
    if (plain.size() >= 2 && plain[0] == L'\\' && plain[1] == L'\\') {
        return L"\\\\?\\UNC\\" + plain.substr(2);
    }
    return L"\\\\?\\" + plain;
}

std::wstring rootOfPath(std::wstring_view path) {
    std::wstring plain = withoutLongPathPrefix(path);
    if (plain.size() > 1 && plain[0] == L'\\' && plain[1] == L'\\') {
        std::size_t server = plain.find(L'\\', 2);
        if (server == std::wstring::npos) {
            return {};
        }
        std::size_t share = plain.find(L'\\', server + 1);
        return share == std::wstring::npos ? plain : plain.substr(0, share);
    }
    if (plain.size() > 1 && plain[1] == L':') {
        return plain.substr(0, 2);
    }
    return {};
}

std::wstring withTrailingBackslash(std::wstring_view path) {
    std::wstring result(path);
    if (!result.empty() && result.back() != L'\\') {
        result += L'\\';
    }
    return result;
}

bool createFolders(const std::wstring& path) {
    std::wstring plain = withoutLongPathPrefix(path);
    while (plain.size() > 1 && plain.back() == L'\\') {
        plain.pop_back();
    }
    const std::wstring root = rootOfPath(plain);
    if (root.empty()) {
        return false;
    }
    // Most often the folder is there already: one look instead of an attempt per level.
    const DWORD existing = GetFileAttributesW(toLongPath(plain).c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) {
        return true;
    }
    // Every level below the root, from the top; existing levels simply fail to be created again.
    for (std::size_t at = plain.find(L'\\', root.size() + 1); at != std::wstring::npos;
         at = plain.find(L'\\', at + 1)) {
        CreateDirectoryW(toLongPath(plain.substr(0, at)).c_str(), nullptr);
    }
    const std::wstring full = toLongPath(plain);
    CreateDirectoryW(full.c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ScopedHandle openFile(const std::wstring& path, DWORD access, DWORD shareMode, DWORD disposition) {
    return ScopedHandle(CreateFileW(toLongPath(path).c_str(), access, shareMode, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

ScopedHandle openFileForReading(const std::wstring& path) {
    return openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

ScopedHandle openFileForWriting(const std::wstring& path, DWORD disposition) {
    return openFile(path, GENERIC_WRITE, 0, disposition);
}

bool readExactly(HANDLE file, void* buffer, std::size_t count) {
    char* at = static_cast<char*>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file, at, chunk, &read, nullptr) || read == 0) {
            return false;
        }
        at += read;
        count -= read;
    }
    return true;
}

bool writeAll(HANDLE file, const void* bytes, std::size_t count) {
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, at, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        at += written;
        count -= written;
    }
    return true;
}

// ---- Messages ----

bool pumpMessages() {
    bool closing = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The thread's own loop must still see it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return true;
        }
        if (message.message == WM_DESTROY || message.message == WM_CLOSE) {
            closing = true;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return closing;
}
