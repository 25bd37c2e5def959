#include "SegmentFetch.h"

#include <vector>

namespace nettest {

std::string pattern(int64_t start, int64_t count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (int64_t i = 0; i < count; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(((start + i) * 7 + 3) & 0xFF);
    }
    return bytes;
}

Fetched fetchSegment(DownloadClient& client, LastErrorHolder& errors, int32_t segmentNumber, int64_t start,
                     int64_t length, int64_t fileSize) {
    Fetched result;
    result.fileSize = fileSize;
    std::vector<char> buffer(static_cast<std::size_t>(client.receiveBufferSize()));
    int32_t received = 0;
    bool done = false;
    errors.setError(0);
    if (!client.openSegment(segmentNumber, start, length, result.fileSize, buffer.data(), received,
                            result.rangesAccepted, done)) {
        result.error = errors.error();
        return result;
    }
    result.body.append(buffer.data(), static_cast<std::size_t>(received));
    while (!done) {
        if (!client.receiveMore(buffer.data(), received, done)) {
            result.error = errors.error();
            client.close();
            return result;
        }
        result.body.append(buffer.data(), static_cast<std::size_t>(received));
    }
    client.close();
    result.ok = true;
    return result;
}

}  // namespace nettest
