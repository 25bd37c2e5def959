#pragma once
// How a file's transfer ends: complete, failed with a code, or stopped. One rule serves the file thread
// that ends the transfer, the closing of its files and the control's thread that reports the end, so
// that all of them tell the same end from the same facts.
#include <cstdint>

class DownloadItem;

struct FileEnd {
    enum class Kind { Complete, Failed, Stopped };
    Kind kind = Kind::Stopped;
    int32_t code = 0;  // a failed file's code; 0 when it failed without one

    bool complete() const { return kind == Kind::Complete; }
};

// What a file's end is told from.
struct FileEndFacts {
    bool failed = false;
    int32_t failureCode = 0;
    bool stopRequested = false;
    // Every segment ended: it reached its known size, or the reply of unknown length ended. For a
    // finished file: its thread found it complete.
    bool segmentsEnded = false;
    int64_t size = -1;  // -1 while not known: the file is then what arrived
    int64_t downloaded = 0;
};

// A failed file keeps its code, unless a stop came, which ends every incomplete file as stopped. A
// file whose segments did not all end is stopped when a stop came, else it lacks bytes; a file lacking
// bytes, or of size 0, fails with ErrSizeMismatch. Only all the bytes of a size above 0 are complete.
FileEnd decideFileEnd(const FileEndFacts& facts);

// The facts of an item (the control lock held).
FileEndFacts fileEndFacts(const DownloadItem& item, bool stopRequested, bool segmentsEnded);
