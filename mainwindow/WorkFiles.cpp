#include "mainwindow/WorkFiles.h"
#include "common/PathFunctions.h"
#include <memory>

DWORD WINAPI deleteFilesThreadProc(LPVOID params) {
    std::unique_ptr<DeleteFilesParams> block(static_cast<DeleteFilesParams*>(params));
    for (const std::wstring& path : block->paths)
        DeleteFileW(makeLongPath(path).c_str());
    if (block->thread)
        CloseHandle(block->thread);
    return 0;
}

bool startDeleteFilesThread(std::vector<std::wstring> paths) {
    auto block = std::make_unique<DeleteFilesParams>();
    block->paths = std::move(paths);
    // Suspended, so the handle is in the block before the thread can close it.
    HANDLE thread = CreateThread(nullptr, 0, deleteFilesThreadProc, block.get(), CREATE_SUSPENDED, nullptr);
    if (!thread)
        return false;
    block->thread = thread;
    if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
        // The thread never ran, so the block is still ours to free.
        TerminateThread(thread, 0);
        CloseHandle(thread);
        return false;
    }
    block.release();  // the thread frees it now
    return true;
}
