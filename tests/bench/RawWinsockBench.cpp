// The floor of the platform for many small files: threads that do nothing but connect, send one request,
// receive in 4 KB calls and write each body with CreateFile/WriteFile. Prints "BYTES SECONDS PEAK_WS".
// Usage:
//   RawWinsockBench PORT OUTPUT_FOLDER PATH_PREFIX COUNT THREADS   (tests/bench/download-engine.sh)
//     fetches PATH_PREFIX0.bin .. PATH_PREFIX<COUNT-1>.bin from 127.0.0.1 into OUTPUT_FOLDER\m<N>.bin;
//   RawWinsockBench PORT OUTPUT_FOLDER @LIST THREADS               (saving.sh, main-road.sh)
//     fetches every path of the file LIST (one a line) into OUTPUT_FOLDER under its last part.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/bench/PathList.h"

namespace {

struct Job {
    int port = 0;
    std::string prefix;
    std::vector<std::string> paths;  // the list's paths; empty for numbered files
    std::wstring folder;
    LONG count = 0;
    LONG next = 0;
    LONG64 bytes = 0;
    LONG failures = 0;
};

// One file: the body after the reply's blank line, written as it arrives.
bool fetch(Job& job, LONG index) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(job.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    const bool numbered = job.paths.empty();
    const std::string target =
        numbered ? job.prefix + std::to_string(index) + ".bin" : job.paths[static_cast<std::size_t>(index)];
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(job.port) +
                                "\r\nConnection: close\r\n\r\n";
    ok = ok &&
         send(s, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size());
    HANDLE file = INVALID_HANDLE_VALUE;
    if (ok) {
        const std::string lastPart = target.substr(target.rfind('/') + 1);  // the list's paths are ASCII
        const std::wstring path = job.folder + (numbered ? L"m" + std::to_wstring(index) + L".bin"
                                                         : std::wstring(lastPart.begin(), lastPart.end()));
        file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        ok = file != INVALID_HANDLE_VALUE;
    }
    char buffer[4096];
    std::string head;
    bool inBody = false;
    while (ok) {
        const int received = recv(s, buffer, sizeof(buffer), 0);
        if (received <= 0) {
            ok = received == 0 && inBody;
            break;
        }
        const char* body = buffer;
        int length = received;
        if (!inBody) {
            head.append(buffer, static_cast<std::size_t>(received));
            const std::size_t end = head.find("\r\n\r\n");
            if (end == std::string::npos) {
                continue;
            }
            inBody = true;
            const std::size_t taken = head.size() - received;
            body = buffer + (end + 4 - taken);
            length = static_cast<int>(head.size() - (end + 4));
        }
        DWORD written = 0;
        ok = length == 0 || (WriteFile(file, body, static_cast<DWORD>(length), &written, nullptr) &&
                             written == static_cast<DWORD>(length));
        InterlockedAdd64(&job.bytes, length);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    closesocket(s);
    return ok;
}

DWORD WINAPI worker(void* parameter) {
    Job& job = *static_cast<Job*>(parameter);
    for (;;) {
        const LONG index = InterlockedIncrement(&job.next) - 1;
        if (index >= job.count) {
            return 0;
        }
        if (!fetch(job, index)) {
            InterlockedIncrement(&job.failures);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool listed = argc >= 5 && argv[3][0] == '@';
    if (argc < 6 && !listed) {
        std::fprintf(stderr,
                     "usage: RawWinsockBench PORT OUTPUT_FOLDER (PATH_PREFIX COUNT | @LIST) THREADS\n");
        return 2;
    }
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return 1;
    }
    Job job;
    job.port = std::atoi(argv[1]);
    const int folderLength = MultiByteToWideChar(CP_ACP, 0, argv[2], -1, nullptr, 0);
    std::vector<wchar_t> folder(static_cast<std::size_t>(folderLength > 0 ? folderLength : 1));
    MultiByteToWideChar(CP_ACP, 0, argv[2], -1, folder.data(), folderLength);
    job.folder = folder.data();
    if (!job.folder.empty() && job.folder.back() != L'\\') {
        job.folder += L'\\';
    }
    if (listed) {
        job.paths = readPathList(argv[3] + 1);
        job.count = static_cast<LONG>(job.paths.size());
    } else {
        job.prefix = argv[3];
        job.count = std::atoi(argv[4]);
    }
    const int threadCount = std::max(1, std::atoi(argv[listed ? 4 : 5]));

    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    std::vector<HANDLE> threads;
    for (int i = 0; i < threadCount; ++i) {
        if (HANDLE thread = CreateThread(nullptr, 0, &worker, &job, 0, nullptr)) {
            threads.push_back(thread);
        }
    }
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    QueryPerformanceCounter(&end);
    for (HANDLE thread : threads) {
        CloseHandle(thread);
    }
    if (threads.empty() || job.failures > 0) {
        std::fprintf(stderr, "%ld files failed\n", static_cast<long>(job.failures));
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    const double seconds =
        static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("%lld %.3f %llu\n", static_cast<long long>(job.bytes), seconds,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    return 0;
}
