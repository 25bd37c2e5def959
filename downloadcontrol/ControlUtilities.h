#pragma once
// Free functions shared by the download control's code: module and WinSock start-up, stored texts,
// numbers, Base64, text conversion and formatting, byte buffers of protocol replies, paths and files,
// and the message pump. They keep no state beyond the module instance and the WinSock flag.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "downloadcontrol/ScopedHandle.h"

// ---- Module ----

// The instance handle of the module that holds the control, set when the library is loaded. Until then
// (for example in a test program that links the library) it is the module that contains this code.
void setModuleInstance(HINSTANCE instance);
HINSTANCE moduleInstance();

// ---- WinSock ----

// Starts WinSock 2.2 unless it was started already; true when it is started.
bool startWinSock();
// Undoes a successful startWinSock.
void stopWinSock();
bool isWinSockStarted();

// ---- Stored texts ----

// Turns a text stored in scrambled form (see ScrambledText.h) into plain text. A malformed stored text
// gives whatever is left after the steps are clipped to its length; it never reads outside it.
std::wstring UnscrambleString(const wchar_t* stored);
std::string UnscrambleString(const char* stored);

// ---- Numbers ----

// Rounds halves up: 1.5 gives 2, 1.49 gives 1, -1.5 gives -1.
int64_t roundHalfUp(double value);

// Parses a decimal number with the system locale's rules. The text must be exactly the number's canonical
// decimal form ("42", "-7"); anything else (a blank, a sign "+", leading zeros, separators, overflow)
// gives the default.
int32_t parseInt32(std::wstring_view text, int32_t defaultValue);
int64_t parseInt64(std::wstring_view text, int64_t defaultValue);

// The number with the user locale's digit grouping, separators and negative form ("1,234,567").
std::wstring groupedNumber(int64_t value);
// The same for a real number with a fixed count of decimals ("1,234.50" for 2 decimals).
std::wstring groupedNumber(double value, int decimals);

// A time span of 100-ns ticks as hours, minutes and seconds with the locale's time separator
// ("25:01:01"); whole days count as 24 hours each; negative spans show as zero.
std::wstring timeSpanText(int64_t ticks);

// ---- Base64 ----

enum Base64Flags : unsigned {
    Base64Default = 0,       // "=" padding, a CR LF after every 76 characters (none after the last line)
    Base64NoPadding = 1,     // no "=" padding
    Base64NoLineBreaks = 2,  // one line
};

// Length of the encoded text for a count of bytes.
std::size_t base64EncodedLength(std::size_t count, unsigned flags);
std::string base64Encode(const void* bytes, std::size_t count, unsigned flags);

// ---- Text conversion and comparison ----

// Each UTF-16 unit becomes its low byte.
std::string wideToLowBytes(std::wstring_view text);
// Each byte becomes one UTF-16 unit.
std::wstring bytesToWide(std::string_view bytes);
// Through the C runtime's current locale (wcstombs, mbstowcs); empty when the text cannot be converted.
std::string wideToAnsi(std::wstring_view text);
std::wstring ansiToWide(std::string_view text);
// Through a Windows code page (CP_ACP, CP_UTF8, ...); empty when the text cannot be converted.
std::wstring multiByteToWide(std::string_view text, UINT codePage);

// Without leading and trailing blanks, tabs, line breaks and other separator characters.
std::wstring trimText(std::wstring_view text);
std::wstring toUpperText(std::wstring_view text);
std::wstring toLowerText(std::wstring_view text);

// -1, 0 or 1 as a is sorted before, equal to or after b in the system locale; case is ignored unless asked.
int compareText(std::wstring_view a, std::wstring_view b, bool caseSensitive);
// The system locale's sort key of the text with case ignored: two texts have equal keys exactly when
// compareText(a, b, false) finds them equal. Empty when the system cannot make one.
std::string caseBlindSortKey(std::wstring_view text);

// printf-style formatting with the Windows rules: %s and %ls are wide texts, %hs a narrow one, %I64d a
// 64-bit number. The result has any length.
std::wstring formatText(const wchar_t* format, ...);

// The pieces between the separators, in order; n separators give n + 1 pieces ("" gives one empty piece).
std::vector<std::wstring> splitText(std::wstring_view text, wchar_t separator);

// ---- Byte buffers of protocol replies ----

// Bytes [start, end) as text, one UTF-16 unit per byte; the range is clipped to the buffer.
std::wstring byteRangeToText(std::string_view buffer, std::size_t start, std::size_t end);

// Looks from `start` for the empty line that ends a header block: CR LF CR LF, or a bare LF line
// (LF LF, CR LF LF, LF CR LF). Returns the index just past the last header line (where its line break
// begins) and stores in *next the index just after the empty line; -1 when the block is not complete.
std::ptrdiff_t findHeaderBlockEnd(std::string_view buffer, std::size_t start, std::size_t* next);

// The bytes from `start` to the end ("" when start is past the end).
std::string bytesAfter(std::string_view buffer, std::size_t start);

// ---- Blanks in URLs ----

// Every blank becomes "%20".
std::wstring escapeUrlBlanks(std::wstring_view url);
// Every "%20" becomes a blank.
std::wstring unescapeUrlBlanks(std::wstring_view url);
// unescapeUrlBlanks, then the text is cut at the first "?".
std::wstring unescapeUrlBlanksBeforeQuery(std::wstring_view url);

// ---- Paths and files ----

// The trimmed path without a leading "\\?\" or "\\?\UNC\" ("\\?\UNC\server\share" gives "\\server\share").
std::wstring withoutLongPathPrefix(std::wstring_view path);
// The extended-length form of a path: "\\?\C:\x" or "\\?\UNC\server\share\x". A path that already has a
// prefix keeps one.
std::wstring toLongPath(std::wstring_view path);
// The drive ("C:") or network share ("\\server\share") at the start of a path, or "" for a relative path.
std::wstring rootOfPath(std::wstring_view path);
// The path with a backslash at its end; an empty path stays empty.
std::wstring withTrailingBackslash(std::wstring_view path);
// Creates a folder and any missing parents. True when the folder exists afterwards.
bool createFolders(const std::wstring& path);

// CreateFileW on the extended-length form of the path; an empty handle on failure (GetLastError tells why).
ScopedHandle openFile(const std::wstring& path, DWORD access, DWORD shareMode, DWORD disposition);
// An existing file for reading, shared with other readers.
ScopedHandle openFileForReading(const std::wstring& path);
// A file for writing, not shared; created when `disposition` allows it (OPEN_ALWAYS by default).
ScopedHandle openFileForWriting(const std::wstring& path, DWORD disposition = OPEN_ALWAYS);
// Reads exactly `count` bytes at the file position; false on a failure or a short read.
bool readExactly(HANDLE file, void* buffer, std::size_t count);
// Writes all `count` bytes at the file position; false on a failure or a short write.
bool writeAll(HANDLE file, const void* bytes, std::size_t count);

// ---- Messages ----

// Dispatches every message waiting in the calling thread's queue. True when WM_DESTROY, WM_CLOSE or
// WM_QUIT was among them; a WM_QUIT is posted again so that the thread's own message loop still ends.
bool pumpMessages();
