#pragma once
// The network peers of this suite (nginx, tinyproxy, openssl s_server and the scripted fault servers of
// peers.py), started once for the test program on 127.0.0.1 and stopped when it ends.
#include <cstdint>
#include <map>
#include <string>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/DownloadClient.h"

namespace nettest {

// A port of the peer named as in peers.py ("nginx_http", "proxy", "fault_http", "tls_split", ...).
int port(const char* name);
// Bytes of a file that nginx serves, by its path under the web root ("files/small.bin").
std::string servedFile(const char* relative);

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
