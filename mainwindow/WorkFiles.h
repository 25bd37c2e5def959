#pragma once
// Deleting work files off the GUI thread: a save or print job hands its left-over work files to
// a thread of their own, so a slow disk never blocks the window.
#include <windows.h>
#include <string>
#include <vector>

// The thread's parameter block; the thread owns and frees it.
struct DeleteFilesParams {
    HANDLE thread = nullptr;
    std::vector<std::wstring> paths;
};

// Deletes every path of the block (extended-length form, failures ignored), closes the thread's
// handle and frees the block.
DWORD WINAPI deleteFilesThreadProc(LPVOID params);

// The one way to start deleteFilesThreadProc: takes the paths, starts the thread and lets it go.
// False when the thread cannot start (the block is freed, the files stay).
bool startDeleteFilesThread(std::vector<std::wstring> paths);
