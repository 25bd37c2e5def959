// Runs the download engine against 127.0.0.1 and prints the bytes and seconds of the run and the
// process's peak working set.
// Usage (run by tests/bench/download-engine.sh):
//   DownloadEngineBench PORT OUTPUT_FOLDER one PATH SEGMENTS [RECEIVE_BUFFER_SIZE]
//   DownloadEngineBench PORT OUTPUT_FOLDER many PATH_PREFIX COUNT CONCURRENT_FILES [RECEIVE_BUFFER_SIZE]
//   DownloadEngineBench PORT OUTPUT_FOLDER list LIST_FILE CONCURRENT_FILES   (run by tests/bench/saving.sh)
// "many" fetches PATH_PREFIX0.bin .. PATH_PREFIX<COUNT-1>.bin, "list" every path of LIST_FILE (one a
// line); the files are saved as m<N>.bin.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadEngine.h"
#include "tests/bench/BenchClock.h"
#include "tests/bench/PathList.h"

namespace {

// A host without sinks: it only learns when the run is over.
class QuietHost : public EngineEvents, public EngineHost {
public:
    void onGetFileSizeLastModified(const std::wstring&, const std::wstring&, const std::wstring&) override {}
    void onDownloadComplete(bool result) override {
        done = true;
        succeeded = result;
    }
    void onFileDownloadComplete(int32_t, bool) override {}
    void onFileDownloadProgress(int32_t, const std::wstring&, const std::wstring&, int32_t,
                                const std::wstring&, int32_t, double) override {}
    void onFileSegmentDownloadProgress(int32_t, int32_t, const std::wstring&, const std::wstring&,
                                       const std::wstring&) override {}
    void onFileDownloadStart(int32_t, const std::wstring&, int32_t) override {}
    void onFileDownloadResume(const std::wstring&, int32_t, const std::wstring&) override {}

    bool done = false;
    bool succeeded = false;
};

std::wstring wide(const char* text) {
    return multiByteToWide(text, CP_ACP);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: DownloadEngineBench PORT OUTPUT_FOLDER one|many ...\n");
        return 2;
    }
    if (!startWinSock()) {
        return 1;
    }
    const std::wstring base = L"http://127.0.0.1:" + wide(argv[1]);
    const std::wstring folder = withTrailingBackslash(wide(argv[2]));
    const std::string mode = argv[3];

    QuietHost host;
    LastErrorHolder errors;
    DownloadEngine engine(errors, host, host);
    if (!engine.create()) {
        return 1;
    }
    engine.setSessionTempSubfolder(L"");
    engine.settings().autoRemoveCompletedFiles = true;
    int64_t bytes = 0;
    AddFileRequest request;
    request.fileSize = L"-1";
    if (mode == "one") {
        request.url = base + wide(argv[4]);
        request.savePath = folder + L"one.bin";
        request.segmentCount = std::atoi(argv[5]);
        if (argc > 6) {
            engine.settings().receiveBufferSize = std::atoi(argv[6]);
        }
        engine.addFile(request);
    } else {
        std::vector<std::wstring> paths;
        if (mode == "list") {
            for (const std::string& path : readPathList(argv[4])) {
                paths.push_back(wide(path.c_str()));
            }
        } else {
            const int count = std::atoi(argv[5]);
            for (int i = 0; i < count; ++i) {
                paths.push_back(wide(argv[4]) + std::to_wstring(i) + L".bin");
            }
        }
        const int settingsArgument = mode == "list" ? 5 : 6;
        engine.settings().concurrentDownloadFileCount =
            argc > settingsArgument ? std::atoi(argv[settingsArgument]) : 6;
        if (argc > settingsArgument + 1) {
            engine.settings().receiveBufferSize = std::atoi(argv[settingsArgument + 1]);
        }
        request.segmentCount = 1;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            request.url = base + paths[i];
            request.savePath = folder + L"m" + std::to_wstring(i) + L".bin";
            engine.addFile(request);
        }
    }

    const double begin = nowMs();
    if (!engine.download()) {
        std::fprintf(stderr, "Download failed with error %d\n", static_cast<int>(errors.error()));
        return 1;
    }
    MSG message;
    while (!host.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    const double end = nowMs();
    if (!host.succeeded) {
        std::fprintf(stderr, "the run failed with error %d\n", static_cast<int>(errors.error()));
        return 1;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*.bin").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            bytes += (static_cast<int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    const double seconds = (end - begin) / 1000;
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("%lld %.3f %llu\n", static_cast<long long>(bytes), seconds,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    return 0;
}
