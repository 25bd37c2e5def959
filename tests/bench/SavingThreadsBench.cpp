// Prints how fast the copy thread and the zip writer handle a folder of files (1,000 photos of a
// user, say): seconds, files/s, MB/s and the process's CPU seconds for each.
// Usage: SavingThreadsBench <folder of files> <empty work folder>
#include "common/PathFunctions.h"
#include "saving/CopyPhotosThread.h"
#include "saving/JobRecords.h"
#include "saving/JobStopFlag.h"
#include "saving/ZipQueue.h"
#include "saving/ZipWriterThread.h"
#include "tests/bench/SavingFigures.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

HWND makeSink() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PixhaulSavingBenchSink";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

// Takes the records as the main window would until the final one; true when it came.
// isFinal takes the record's ownership.
bool waitForEnd(UINT message, const std::function<bool(WPARAM)>& isFinal) {
    for (;;) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
            return false;
        if (msg.message == message && isFinal(msg.wParam))
            return true;
    }
}

template <typename Params>
void start(LPTHREAD_START_ROUTINE procedure, std::unique_ptr<Params> params) {
    HANDLE thread = CreateThread(nullptr, 0, procedure, params.get(), CREATE_SUSPENDED, nullptr);
    if (!thread)
        return;
    params.release()->thread = thread;
    ResumeThread(thread);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: SavingThreadsBench <folder of files> <empty work folder>\n");
        return 2;
    }
    const std::wstring source = argv[1];
    const std::wstring work = argv[2];
    std::vector<std::wstring> names;
    double bytes = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(makeLongPath(source + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.push_back(found.cFileName);
                bytes += (static_cast<double>(found.nFileSizeHigh) * 4294967296.0) + found.nFileSizeLow;
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    HWND sink = makeSink();
    JobStopFlag stopFlag;

    // Copy thread: every file to "<folder>\bench_<name>".
    const std::wstring folder = work + L"\\copied";
    CreateDirectoryW(makeLongPath(folder).c_str(), nullptr);
    auto copy = std::make_unique<CopyPhotosParams>(1, 1, sink, &stopFlag);
    for (size_t i = 0; i < names.size(); ++i) {
        copy->sourcePaths.push_back(source + L"\\" + names[i]);
        copy->targetPaths.push_back(folder + L"\\bench_" + names[i]);
        copy->photoIndexes.push_back(static_cast<int32_t>(i));
    }
    double cpu = processCpuSeconds();
    ULONGLONG began = GetTickCount64();
    start(copyPhotosThreadProc, std::move(copy));
    waitForEnd(WM_PHOTO_COPIED, [](WPARAM record) {
        std::unique_ptr<PhotoCopiedMessageInfo> info(reinterpret_cast<PhotoCopiedMessageInfo*>(record));
        return info->lastFile || info->threadEnded;
    });
    reportSaving("copy thread", names.size(), bytes, (GetTickCount64() - began) / 1000.0,
                 processCpuSeconds() - cpu);

    // Zip writer: the copies staged, queued at once, then the input closed.
    ZipQueue queue;
    queue.setInputClosed(false);
    for (const std::wstring& name : names)
        queue.queue(folder + L"\\bench_" + name);
    queue.setInputClosed(true);
    cpu = processCpuSeconds();
    began = GetTickCount64();
    start(zipPhotosThreadProc,
          std::make_unique<ZipPhotosParams>(1, sink, work + L"\\bench.zip", folder, &queue, &stopFlag));
    waitForEnd(WM_ZIP_PROGRESS, [](WPARAM record) {
        std::unique_ptr<ZipArchiveMessageInfo> info(reinterpret_cast<ZipArchiveMessageInfo*>(record));
        return info->done != 0;
    });
    reportSaving("zip writer", names.size(), bytes, (GetTickCount64() - began) / 1000.0,
                 processCpuSeconds() - cpu);
    DestroyWindow(sink);
    return 0;
}
