#pragma once
// The feed page worker: one run on a thread of the process's pool per downloaded page. It reads the
// page work file, scans it, and reports to the main window only by posting records (see
// FeedRecords.h). Every page ends with exactly one outcome message, WM_FEED_NEXT_PAGE or WM_FEED_END,
// also when its file is missing or unreadable.
#include "feed/FeedRecords.h"

#include <cstdint>
#include <memory>
#include <string>

// Pages beyond this size are treated as unusable rather than read.
constexpr uint64_t kMaxFeedPageBytes = 32ull * 1024 * 1024;

// How often in a row an unusable page is asked for again before the feed is given up.
constexpr int32_t kMaxFeedPageRepeats = 6;

// The work procedure. parameter is a ParsePageParams allocated with new; it deletes the block and
// closes the block's thread handle, when one is set, at its end. No exception leaves it.
DWORD WINAPI feedPageWorker(LPVOID parameter);

// Runs feedPageWorker on the block on a thread of the process's pool. False when it could not be
// queued; the block is freed in every case.
bool startFeedPageWorker(std::unique_ptr<ParsePageParams> params);

// The decoded text of a page file, or null when the file is missing, empty, larger than
// kMaxFeedPageBytes, unreadable, or decodes to no text.
std::unique_ptr<std::wstring> readPageText(const std::wstring& path);

// The one message that ends the handling of a page.
struct PageOutcome {
    UINT message = WM_FEED_END;  // WM_FEED_NEXT_PAGE or WM_FEED_END
    int32_t code = 0;            // WM_FEED_END: 0 = no further page, -1 = the page was given up
    std::wstring text;           // WM_FEED_NEXT_PAGE: the suffix to fetch
    bool pauseFirst = false;     // wait the repeat pause before posting (the same page again)
};

// nextSuffix: what the page named as the next page. pageUnusable: the page could not be read, or
// was a feed page that may not be passed on; such a page is asked for again after a pause, up to
// kMaxFeedPageRepeats times in a row, and then given up.
PageOutcome decidePageOutcome(const std::wstring& nextSuffix, bool pageUnusable,
                              const std::wstring& pageSuffix, int32_t repeatCount);
