#pragma once
// What the save and print jobs of the main window share: the generation a control's event belongs
// to, and what a finished download run means for a job.
#include "gui/Component.h"
#include "saving/JobSync.h"

#include <windows.h>

// Field of GetFileInfo: the final path of a file (its data file without ".tmp").
constexpr short kFinalPathField = 11;
constexpr unsigned kJobRetryIntervalMs = 3000;
constexpr int kJobMaxRetries = 6;

// The generation in a control's Tag; -1 for anything else.
inline int jobTagOf(gui::TObject* sender) {
    auto* component = dynamic_cast<gui::TComponent*>(sender);
    return component ? static_cast<int>(component->Tag()) : -1;
}

enum class DownloadOutcome {
    finished,        // every file came, or the run was stopped
    connectionLost,  // no connection: the job stops at once
    retry,           // another run after a pause
    serverIssues     // the retries are used up: the job stops
};

// What a job does when its control's run ended with result and error, after retries runs.
inline DownloadOutcome downloadOutcome(bool result, long error, int retries) {
    constexpr long kErrConnectFailed = 13;
    constexpr long kErrStopped = 33;
    if (result || error == kErrStopped)
        return DownloadOutcome::finished;
    if (error == kErrConnectFailed)
        return DownloadOutcome::connectionLost;
    return retries < kJobMaxRetries ? DownloadOutcome::retry : DownloadOutcome::serverIssues;
}
