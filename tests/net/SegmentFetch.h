#pragma once
// What the network tests share besides the peers (support/Peers.h): the fault servers' byte pattern and
// one segment fetched through a client.
#include <cstdint>
#include <string>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/DownloadClient.h"

namespace nettest {

// The bytes the fault servers send at offsets start .. start + count - 1.
std::string pattern(int64_t start, int64_t count);

// Outcome of one segment fetched through a DownloadClient.
struct Fetched {
    bool ok = false;
    std::string body;
    int64_t fileSize = -1;
    bool rangesAccepted = false;
    int32_t error = 0;  // the error holder's code after a failure
};

// openSegment, then receiveMore until done (or a failure), then close.
Fetched fetchSegment(DownloadClient& client, LastErrorHolder& errors, int32_t segmentNumber, int64_t start,
                     int64_t length, int64_t fileSize);

}  // namespace nettest
