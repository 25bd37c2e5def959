#include "saving/JobOutcome.h"

#include "saving/JobMessages.h"

void JobOutcome::itemNotDone(DWORD why) {
    ++notDone;
    noteReason(why);
}

void JobOutcome::noteReason(DWORD why) {
    if (!reason)
        reason = why;
}

void JobOutcome::archiveFailed(DWORD why) {
    if (!archiveError)
        archiveError = why ? why : ERROR_WRITE_FAULT;
}

bool JobOutcome::complete(bool stopped) const {
    return !stopped && notDone == 0 && archiveError == 0 && !printerFailed;
}

std::wstring jobEndMessage(const JobOutcome& outcome) {
    // A zip file that is not there is told even after a stop: the user asked for it.
    if (outcome.archiveError)
        return zipNotWrittenMessage(outcome.target, outcome.archiveError);
    if (outcome.stoppedByUser || outcome.failureShown)
        return std::wstring();
    if (outcome.kind == JobOutcome::Kind::print)
        return outcome.printerFailed || outcome.notDone > 0 ? notPrintedMessage() : std::wstring();
    if (outcome.notDone > 0)
        return notSavedMessage(outcome.notDone, outcome.target, outcome.reason);
    return std::wstring();
}
