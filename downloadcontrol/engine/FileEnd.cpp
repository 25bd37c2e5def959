#include "downloadcontrol/engine/FileEnd.h"

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/DownloadItem.h"

FileEnd decideFileEnd(const FileEndFacts& facts) {
    if (facts.failed) {
        return facts.stopRequested ? FileEnd{} : FileEnd{FileEnd::Kind::Failed, facts.failureCode};
    }
    if (!facts.segmentsEnded && facts.stopRequested) {
        return FileEnd{};
    }
    const int64_t size = facts.size < 0 ? facts.downloaded : facts.size;
    // A reply may end before its segment did; an empty body is no file either.
    if (!facts.segmentsEnded || facts.downloaded != size || size == 0) {
        return FileEnd{FileEnd::Kind::Failed, ErrSizeMismatch};
    }
    return FileEnd{FileEnd::Kind::Complete, 0};
}

FileEndFacts fileEndFacts(const DownloadItem& item, bool stopRequested, bool segmentsEnded) {
    FileEndFacts facts;
    facts.failed = item.failed();
    facts.failureCode = item.failureCode();
    facts.stopRequested = stopRequested;
    facts.segmentsEnded = segmentsEnded;
    facts.size = item.size;
    facts.downloaded = item.downloaded;
    return facts;
}
