#include "downloadcontrol/engine/DownloadItem.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

std::wstring dataFileSuffix() {
    static constexpr auto kSuffix = scrambleText(L".tmp");
    return UnscrambleString(kSuffix.chars);
}

bool DownloadItem::setUrl(const std::wstring& newUrl, bool newImplicitTls) {
    DownloadUrl parsed;
    if (!parseDownloadUrl(newUrl, newImplicitTls, parsed)) {
        return false;
    }
    url = std::move(parsed.url);
    urlKey = caseBlindSortKey(url);
    urlFolder = std::move(parsed.folder);
    nameFromUrl = std::move(parsed.nameFromUrl);
    protocol = parsed.protocol;
    host = std::move(parsed.host);
    port = parsed.port;
    implicitTls = parsed.implicitTls;
    path = std::move(parsed.path);
    return true;
}

std::wstring DownloadItem::finalPath() const {
    const std::size_t suffixLength = dataFileSuffix().size();
    return dataPath.size() < suffixLength ? std::wstring()
                                          : dataPath.substr(0, dataPath.size() - suffixLength);
}

bool DownloadItem::failed() const {
    CriticalSectionLock lock(itemLock_);
    return failed_;
}

void DownloadItem::setFailed(bool value) {
    CriticalSectionLock lock(itemLock_);
    failed_ = value;
    if (!value) {
        failureCode_ = 0;
    }
}

void DownloadItem::fail(int32_t code) {
    CriticalSectionLock lock(itemLock_);
    failed_ = true;
    if (failureCode_ == 0) {
        failureCode_ = code;
    }
}

int32_t DownloadItem::failureCode() const {
    CriticalSectionLock lock(itemLock_);
    return failureCode_;
}
