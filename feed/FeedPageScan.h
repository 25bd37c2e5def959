#pragma once
// The two readings of a downloaded page, as pure functions of its decoded text: the profile page
// gives the user's media count, a feed page gives its media items and the suffix of the page after
// it. The feed page worker runs them and posts what they find.
#include "feed/FeedRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ProfilePageScan {
    bool hasCount = false;    // the markers of the count were found
    int32_t mediaCount = 0;   // the count; -1 when its text is not a whole number
    std::wstring nextSuffix;  // "/media" with a count, else ""
};

// Searches the profile page: "can_delete_comments" must occur, the last "counts" object holds the
// count in its "media" key, whose text runs to the next comma.
ProfilePageScan scanProfilePage(const std::wstring& text);

struct FeedPageScan {
    bool valid = false;          // the page carries a more-available marker
    bool moreAvailable = false;  // the page's last more-available value is exactly true
    std::vector<std::unique_ptr<PhotoMessageInfo>> photos;  // the committed items, in page order
    std::wstring nextSuffix;  // "/media?max_id=<id of the page's last item>", else ""
};

// Reads a feed page: one record per item with both image addresses, each carrying the generation.
// A page without a more-available marker, or nested deeper than kMaxJsonDepth, is invalid and
// yields nothing.
FeedPageScan scanFeedPage(const std::wstring& text, int32_t generation);

// A valid feed page the worker may pass on. A page that names itself as the next page (a server
// that ignores max_id) would make the feed loop; it is treated like an invalid page.
bool isUsableFeedPage(const FeedPageScan& scan, const std::wstring& pageSuffix);

// The local date of an item as "March 5, 2014", from its created time in decimal seconds since
// 1970-01-01 UTC (read like _wcstoi64: leading blanks and a sign allowed, no digits gives 0). A
// value outside the range of file times, or a failed conversion, gives the empty text.
std::wstring feedDateText(const std::wstring& createdTime);

// The value percent-encoded for a query: every UTF-8 byte outside A-Z a-z 0-9 - _ . ~ as %XX, so
// that a hostile identifier can neither end the request line nor add header lines.
std::wstring percentEncodeQueryValue(const std::wstring& value);
