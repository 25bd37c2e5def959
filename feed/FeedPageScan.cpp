#include "feed/FeedPageScan.h"

#include "common/TextFunctions.h"
#include "feed/ParserJSON.h"

#include <cstdlib>
#include <limits>

namespace {

const wchar_t kDeleteCommentsMarker[] = L"\"can_delete_comments\":";
const wchar_t kCountsMarker[] = L"\"counts\":{";
const wchar_t kMediaMarker[] = L"\"media\":";
const wchar_t kMoreTrueMarker[] = L"\"more_available\":true";
const wchar_t kMoreFalseMarker[] = L"\"more_available\":false";

constexpr size_t length(const wchar_t* marker) {
    return std::char_traits<wchar_t>::length(marker);
}

// The texts gathered for the item being read, and the page's more-available value.
struct FeedAccumulators {
    std::wstring altMediaUrl;
    std::wstring createdTime;
    std::wstring captionText;
    std::wstring link;
    std::wstring lowResolutionUrl;
    std::wstring standardResolutionUrl;
    std::wstring type;
    std::wstring id;
    std::wstring moreAvailable;

    void clearItem() {
        altMediaUrl.clear();
        createdTime.clear();
        captionText.clear();
        link.clear();
        lowResolutionUrl.clear();
        standardResolutionUrl.clear();
        type.clear();
        id.clear();
    }

    // The accumulator of a watched key, else null.
    std::wstring* slotFor(const std::wstring& key) {
        struct Watched {
            const wchar_t* key;
            std::wstring FeedAccumulators::*slot;
        };
        static const Watched watched[] = {
            {L"items.alt_media_url", &FeedAccumulators::altMediaUrl},
            {L"items.created_time", &FeedAccumulators::createdTime},
            {L"items.caption.text", &FeedAccumulators::captionText},
            {L"items.link", &FeedAccumulators::link},
            {L"items.images.low_resolution.url", &FeedAccumulators::lowResolutionUrl},
            {L"items.images.standard_resolution.url", &FeedAccumulators::standardResolutionUrl},
            {L"items.type", &FeedAccumulators::type},
            {L"items.id", &FeedAccumulators::id},
            {L"more_available", &FeedAccumulators::moreAvailable},
        };
        for (const Watched& entry : watched) {
            if (key == entry.key)
                return &(this->*entry.slot);
        }
        return nullptr;
    }
};

// The item's record, or null when it lacks either image address.
std::unique_ptr<PhotoMessageInfo> commitItem(const FeedAccumulators& item, int32_t generation) {
    if (item.lowResolutionUrl.empty() || item.standardResolutionUrl.empty())
        return nullptr;
    auto photo = std::make_unique<PhotoMessageInfo>(
        generation, trimString(item.lowResolutionUrl), trimString(item.standardResolutionUrl), std::wstring(),
        std::wstring(), trimString(item.captionText), trimString(item.link), trimString(item.id));
    if (item.type == L"video")
        photo->videoUrl = trimString(item.altMediaUrl);
    if (!item.createdTime.empty())
        photo->dateText = feedDateText(item.createdTime);
    return photo;
}

}  // namespace

ProfilePageScan scanProfilePage(const std::wstring& text) {
    ProfilePageScan scan;
    if (text.find(kDeleteCommentsMarker) == std::wstring::npos)
        return scan;
    // The user's own counts come last; counts of other people may come earlier in the page.
    const size_t counts = text.rfind(kCountsMarker);
    if (counts == std::wstring::npos)
        return scan;
    const size_t media = text.find(kMediaMarker, counts + length(kCountsMarker));
    if (media == std::wstring::npos)
        return scan;
    const size_t start = media + length(kMediaMarker);
    const size_t comma = text.find(L',', start);
    if (comma == std::wstring::npos)
        return scan;
    scan.hasCount = true;
    scan.mediaCount = stringToInt(trimString(text.substr(start, comma - start)), -1);
    scan.nextSuffix = L"/media";
    return scan;
}

FeedPageScan scanFeedPage(const std::wstring& text, int32_t generation) {
    FeedPageScan scan;
    if (text.rfind(kMoreTrueMarker) == std::wstring::npos &&
        text.rfind(kMoreFalseMarker) == std::wstring::npos)
        return scan;
    scan.valid = true;

    FeedAccumulators accumulators;
    ParserJSON reader;
    reader.setText(text.c_str());
    std::wstring key;
    std::wstring value;
    bool objectStart = false;
    bool objectEnd = false;
    while (reader.next(key, value, objectStart, objectEnd)) {
        if (key == L"items") {
            if (objectStart) {
                accumulators.clearItem();
            } else if (objectEnd) {
                if (auto photo = commitItem(accumulators, generation))
                    scan.photos.push_back(std::move(photo));
            }
            continue;
        }
        if (value.empty())
            continue;  // an empty value never replaces a stored one
        if (std::wstring* slot = accumulators.slotFor(key))
            *slot = value;
    }

    if (reader.tooDeep())
        return FeedPageScan();  // no page of the feed: invalid, as a page without its marker

    // The id is that of the page's last item, committed or not: without it there is no next page.
    scan.moreAvailable = accumulators.moreAvailable == L"true";
    if (scan.moreAvailable && !accumulators.id.empty()) {
        scan.nextSuffix = formatString(L"/media?max_id=%s", percentEncodeQueryValue(accumulators.id).c_str());
    }
    return scan;
}

bool isUsableFeedPage(const FeedPageScan& scan, const std::wstring& pageSuffix) {
    if (!scan.valid)
        return false;
    // A page without a usable item still names the next one by its last item's id.
    return scan.nextSuffix.empty() || scan.nextSuffix != pageSuffix;
}

std::wstring feedDateText(const std::wstring& createdTime) {
    static const wchar_t* const monthNames[] = {L"January",   L"February", L"March",    L"April",
                                                L"May",       L"June",     L"July",     L"August",
                                                L"September", L"October",  L"November", L"December"};

    // File times count 100-ns units from 1601 and must stay below 2^63 to convert.
    constexpr int64_t kUnixEpoch = 116444736000000000LL;
    constexpr int64_t kTicksPerSecond = 10000000LL;
    constexpr int64_t kMinSeconds = -(kUnixEpoch / kTicksPerSecond);
    constexpr int64_t kMaxSeconds = (std::numeric_limits<int64_t>::max() - kUnixEpoch) / kTicksPerSecond;

    // Out-of-range text saturates, which the range check then refuses.
    const int64_t seconds = _wcstoi64(createdTime.c_str(), nullptr, 10);
    if (seconds < kMinSeconds || seconds > kMaxSeconds)
        return std::wstring();
    const uint64_t ticks = static_cast<uint64_t>(kUnixEpoch + seconds * kTicksPerSecond);

    FILETIME fileTime;
    fileTime.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&fileTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return std::wstring();
    if (local.wMonth < 1 || local.wMonth > 12)
        return std::wstring();
    return formatString(L"%s %d, %d", monthNames[local.wMonth - 1], static_cast<int>(local.wDay),
                        static_cast<int>(local.wYear));
}

std::wstring percentEncodeQueryValue(const std::wstring& value) {
    if (value.empty())
        return std::wstring();
    const int size = WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return std::wstring();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), &bytes[0], size, nullptr,
                        nullptr);

    static const wchar_t hexDigits[] = L"0123456789ABCDEF";
    std::wstring encoded;
    encoded.reserve(bytes.size());
    for (unsigned char byte : bytes) {
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                                byte == '~';
        if (unreserved) {
            encoded.push_back(static_cast<wchar_t>(byte));
        } else {
            encoded.push_back(L'%');
            encoded.push_back(hexDigits[byte >> 4]);
            encoded.push_back(hexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}
