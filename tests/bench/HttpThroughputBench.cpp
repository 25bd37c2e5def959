// Fetches one file from 127.0.0.1 with the control's HTTP client and prints the bytes and seconds.
// Usage: HttpThroughputBench PORT PATH [RECEIVE_BUFFER_SIZE]   (run by tests/bench/http-throughput.sh)
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/HttpDownloader.h"
#include "tests/bench/BenchClock.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: HttpThroughputBench PORT PATH [RECEIVE_BUFFER_SIZE]\n");
        return 2;
    }
    if (!startWinSock()) {
        return 1;
    }
    const int port = std::atoi(argv[1]);
    const int bufferSize = argc > 3 ? std::atoi(argv[3]) : 4096;
    LastErrorHolder errors;
    HttpDownloader client(false, L"127.0.0.1", port, multiByteToWide(argv[2], CP_ACP), L"", L"", L"", L"", 0,
                          L"", L"", 0, 12000, bufferSize, errors);
    std::vector<char> buffer(static_cast<std::size_t>(client.receiveBufferSize()));
    const double begin = nowMs();
    int64_t fileSize = -1;
    int32_t received = 0;
    bool ranges = false;
    bool done = false;
    int64_t total = 0;
    if (!client.openSegment(0, -1, -1, fileSize, buffer.data(), received, ranges, done)) {
        std::fprintf(stderr, "failed with error %d\n", static_cast<int>(errors.error()));
        return 1;
    }
    total += received;
    while (!done) {
        if (!client.receiveMore(buffer.data(), received, done)) {
            std::fprintf(stderr, "failed with error %d after %lld bytes\n", static_cast<int>(errors.error()),
                         static_cast<long long>(total));
            return 1;
        }
        total += received;
    }
    client.close();
    const double seconds = (nowMs() - begin) / 1000;
    std::printf("%lld %.3f\n", static_cast<long long>(total), seconds);
    return total == fileSize ? 0 : 1;
}
