#pragma once
// Free functions on wide text used throughout the program. They keep no state and are safe on any
// thread. Locale-dependent work uses the user's default locale.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Nearest integer, halves away from zero (2.5 gives 3, -2.5 gives -3). NaN gives 0; values beyond
// the range of int saturate.
int roundHalfAwayFromZero(double x);

// Copy without leading and trailing blanks (block separators, segment separators and white space
// as the system classes them).
std::wstring trimString(const std::wstring& text);

// Upper- and lower-case copies in the user's locale. The copy ends at the first NUL character.
std::wstring toUpperCase(const std::wstring& text);
std::wstring toLowerCase(const std::wstring& text);

// Locale-aware comparison: -1, 0 or 1. A failed comparison counts as -1.
int compareStrings(const std::wstring& a, const std::wstring& b, bool caseSensitive);
int compareStrings(const wchar_t* a, const wchar_t* b, bool caseSensitive);

// printf-style formatting with the system runtime's rules: %s takes a wide string (const wchar_t*).
// An invalid format gives the empty string.
std::wstring formatString(const wchar_t* format, ...);

// The whole number the text denotes in the user's locale, else defaultValue (so "1.5", "" and "abc"
// give the default).
int stringToInt(const std::wstring& text, int defaultValue);

// Splits text at any of the delimiter characters and appends each non-empty field, trimmed (and
// lower-cased when asked), to parts. A field of blanks only appends an empty string.
void splitString(const std::wstring& text, const std::wstring& delimiters,
                 std::vector<std::unique_ptr<std::wstring>>& parts, bool lowerCase);

// Prepares a caption or search words for matching: every character the system ignores as a symbol,
// and every surrogate pair with a high unit up to 0xD83D (most emoji), becomes a space.
void blankSymbolsAndEmoji(std::wstring& text);

// An OLE wide string (a BSTR, or characters with their length) as a standard wide string. The
// result ends at the first NUL character.
std::wstring wideStringToWString(const wchar_t* text, size_t length);
std::wstring wideStringToWString(BSTR text);

// Text in the system's ANSI code page as a wide string. The result ends at the first NUL character.
std::wstring ansiStringToWString(const std::string& text);
