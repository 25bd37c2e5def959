#include "downloadcontrol/net/DownloadClient.h"

#include <algorithm>

int32_t boundedReceiveBufferSize(int32_t requested) {
    return std::clamp(requested, 1, kMaximumReceiveBufferSize);
}

void DownloadClient::retarget(const std::wstring&, int32_t, const std::wstring&, const std::wstring&,
                              int32_t) {}

bool DownloadClient::isAborted() const {
    return false;
}

bool DownloadClient::querySize(int64_t&, std::wstring&, std::wstring&, std::wstring&) {
    return false;
}

int32_t DownloadClient::receiveBufferSize() const {
    return 0;
}

bool DownloadClient::openSegment(int32_t, int64_t, int64_t, int64_t&, char*, int32_t&, bool&, bool&) {
    return false;
}

bool DownloadClient::receiveMore(char*, int32_t&, bool&) {
    return false;
}

void DownloadClient::close() {}

std::wstring DownloadClient::validator() const {
    return std::wstring();
}

void DownloadClient::setValidator(const std::wstring&) {}

bool DownloadClient::fileChanged() const {
    return false;
}
