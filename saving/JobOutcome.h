#pragma once
// What a save or print job came to, gathered in one record while the job runs. The message the job
// ends with, and whether its strip shows 100% before it hides, follow from the record alone.
#include <windows.h>

#include <cstdint>
#include <string>

struct JobOutcome {
    enum class Kind { folder, zip, print };

    Kind kind = Kind::folder;
    std::wstring target;         // the folder or the zip file; empty for a print job
    int32_t notDone = 0;         // items not saved (not printed)
    DWORD reason = 0;            // the system's reason for the first of them, when one is known
    DWORD archiveError = 0;      // why the zip file could not be written; 0 while it can
    bool printerFailed = false;  // the printer refused a document or a page
    bool stoppedByUser = false;  // the stop button, or closing: the user knows, nothing is said
    bool failureShown = false;   // a download failure was told while the job ran

    // One item more that could not be saved (printed); why, when known.
    void itemNotDone(DWORD why);
    // The first reason an item failed, for a report that counts items later.
    void noteReason(DWORD why);
    void archiveFailed(DWORD why);
    // Nothing failed and the job was not stopped: the strip shows 100%.
    bool complete(bool stopped) const;
};

// The one message a job ends with; empty when it ends without one.
std::wstring jobEndMessage(const JobOutcome& outcome);
