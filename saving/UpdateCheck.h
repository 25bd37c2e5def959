#pragma once
// The update check's decisions, apart from the window that runs it: when a check is due, how the
// downloaded version file is read, and which message each outcome shows. The main window starts
// the download and shows the boxes; everything it decides on lives here.
#include <windows.h>

#include <cstdint>
#include <string>

// Two days in FILETIME units (100 ns): a check is due when the last successful one lies further
// away than this, in either direction (a clock set back counts too).
constexpr uint64_t kUpdateCheckInterval = 172800ULL * 10000000ULL;

// A version file larger than this is not read: the program never loads an unbounded file from a
// server into memory.
constexpr uint64_t kMaxVersionFileSize = 64 * 1024;

// The two registry values that hold the last successful check (UTC FILETIME, low and high half).
extern const wchar_t lastCheckUpdateLowValue[];
extern const wchar_t lastCheckUpdateHighValue[];

// The current UTC time as a FILETIME count.
uint64_t currentUtcFileTime();

// Joins the stored halves as the unsigned 32-bit values they were written from (the registry
// reader hands them over as int).
uint64_t joinStoredTime(int low, int high);

// True when a check is due: the distance between now and last exceeds kUpdateCheckInterval.
// last = 0 (never checked) is always due.
bool updateCheckDue(uint64_t now, uint64_t last);

// The last successful check under the settings key of root; 0 when the key or either half is
// missing.
uint64_t readLastCheckTime(HKEY root);
// Stores time as the last successful check (the key is created when missing); failures are ignored.
void writeLastCheckTime(HKEY root, uint64_t time);

// Reads and decodes the local copy of the version file. False, with nothing to tell the user, when
// it cannot be opened, is larger than kMaxVersionFileSize, cannot be read whole, or decodes to
// nothing (an empty file included).
bool readVersionFile(const std::wstring& path, std::wstring& text);

// The version a decoded file names: its text up to the first carriage return or line feed, trimmed.
std::wstring versionLine(const std::wstring& text);

// What a finished check shows.
enum class UpdateCheckOutcome {
    Silent,            // nothing: an unreadable file, or an automatic check that found this version
    NoConnection,      // the download failed for want of a connection
    ServerIssues,      // the download failed otherwise
    UpToDate,          // a check the user asked for found this version
    NewVersionOffered  // any other version text (an older one, an empty line, a page) was found
};

// The control's error code for a failed connection.
constexpr long kConnectionFailedError = 13;

// The outcome of a failed download from the control's last error.
UpdateCheckOutcome failedDownloadOutcome(long lastError);
// The outcome of a file that was read: version compared as exact text with applicationVersion.
UpdateCheckOutcome versionOutcome(const std::wstring& version, bool askedByUser);

// The box an outcome shows (empty text for Silent): its text and MessageBoxW style.
struct UpdateCheckBox {
    std::wstring text;
    UINT style = 0;
};
UpdateCheckBox updateCheckBox(UpdateCheckOutcome outcome);

// The maker's addresses the check uses.
std::wstring versionFileAddress();
std::wstring installerAddress();
