#pragma once
// The save and print jobs: the job's entry for one file, the worker threads' parameter blocks, the
// records the workers post to the main window, and the message numbers those records travel with.
//
// Ownership: a parameter block is allocated with new by the job's starter and belongs to its thread
// from the thread's start; the thread deletes it at its end (the starter deletes it when it starts no
// thread). A posted record is allocated with new by the worker and travels as a pointer in WPARAM
// (LPARAM 0); the receiver deletes it after handling, also when it ignores the record; a record whose
// post fails is deleted by the worker (postRecord, postFinalRecord). Deleting a record or a block
// frees everything it holds.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class JobStopFlag;
class ZipQueue;
class PrintQueue;

// Record in WPARAM: PhotoCopiedMessageInfo, one per copied file, or one that ends a stopped copy thread.
constexpr UINT WM_PHOTO_COPIED = WM_APP + 4;
// Record in WPARAM: UpdatePhotoTimesMessageInfo, one per batch of stamped files and a final one.
constexpr UINT WM_PHOTO_TIMES_UPDATED = WM_APP + 5;
// Record in WPARAM: ZipArchiveMessageInfo, a share of one archived file or the zip writer's final record.
constexpr UINT WM_ZIP_PROGRESS = WM_APP + 6;
// Record in WPARAM: PrintMessageInfo, one per printed page and a final one.
constexpr UINT WM_PRINT_PROGRESS = WM_APP + 7;

// Files per progress record of the file-time thread.
constexpr int32_t kPhotoTimesBatchSize = 10;

// One file of a save or print job; the job's list of entries owns it.
struct PhotoDownload {
    int32_t photoIndex = -1;    // the Photo's master-list index: a copied file, or any file of a print job
    int32_t fileId = -1;        // the download control's file id; -1 for a file that is not downloaded
    int64_t countedBytes = 0;   // bytes of this file already added to the job's progress
    int64_t fileSize = 0;       // the size last reported by a progress event; 0 until one is
    double countedShare = 0.0;  // the part of its unit this file has added to the job's progress
    uint8_t done = 0;           // 1 once the file is saved (downloaded or copied) or ready to print
    DWORD error = 0;            // why the file could not be saved (a Win32 error); 0 while none is known
    std::wstring path;          // the file to print; empty in a save job
};

// The running job's entries, in the order they were added; the list owns them.
using JobEntries = std::vector<std::unique_ptr<PhotoDownload>>;

// The copy thread's parameter block. The three lists are parallel: entry i of each is one file.
struct CopyPhotosParams {
    CopyPhotosParams(int32_t saveGeneration, int32_t thumbnailsGeneration, HWND window,
                     JobStopFlag* stopFlag);
    CopyPhotosParams(const CopyPhotosParams&) = delete;
    CopyPhotosParams& operator=(const CopyPhotosParams&) = delete;

    int32_t saveGeneration;
    int32_t thumbnailsGeneration;  // identifies the photo list the indexes refer to
    HWND window;                   // target of every post
    HANDLE thread;                 // the thread's own handle, set by the starter; closed by the thread
    std::vector<std::wstring> sourcePaths;  // cached full-size files
    std::vector<std::wstring> targetPaths;  // "<folder>\<user>_<file name>"
    std::vector<int32_t> photoIndexes;
    JobStopFlag* stopFlag;  // the job's stop flag; the main window keeps it alive while the job runs
};

// Posted with WM_PHOTO_COPIED.
struct PhotoCopiedMessageInfo {
    int32_t saveGeneration = 0;
    int32_t thumbnailsGeneration = 0;
    std::wstring targetPath;
    int32_t photoIndex = -1;
    // Every photo index of the copy job; only in the record that ends a stopped thread, which owns it.
    std::unique_ptr<std::vector<int32_t>> photoIndexList;
    uint8_t lastFile = 0;     // 1 for the last file of the list
    uint8_t threadEnded = 0;  // 1 when the thread stopped early because the job was stopped
    DWORD error = 0;  // 0 when the file was copied; else why not (no partial file stays under its name)
};

// One file whose times the file-time thread sets.
struct PhotoInfo {
    std::wstring name;  // the file name without "<user>_", lower-cased
    FILETIME time;      // the time to give the file (before the block's offset, for other files)
};

// The file-time thread's parameter block.
struct UpdatePhotoTimesParams {
    UpdatePhotoTimesParams(int32_t saveGeneration, int32_t batchSize, const std::wstring& folder,
                           const std::wstring& userName, HWND window);
    UpdatePhotoTimesParams(const UpdatePhotoTimesParams&) = delete;
    UpdatePhotoTimesParams& operator=(const UpdatePhotoTimesParams&) = delete;

    int32_t saveGeneration;
    HWND window;
    HANDLE thread;  // the thread's own handle, set by the starter; closed by the thread
    int32_t batchSize;
    std::wstring folder;
    std::wstring userName;
    std::vector<PhotoInfo> itemsInFolder;  // files of loaded items that were in the folder: item times
    std::vector<PhotoInfo> otherFiles;     // the user's other files there: their own last-write times
    int64_t offset;                        // 100-ns units added to every time of otherFiles
};

// Posted with WM_PHOTO_TIMES_UPDATED.
struct UpdatePhotoTimesMessageInfo {
    int32_t saveGeneration = 0;
    uint8_t done = 0;  // 0: one batch of files stamped; 1: the thread has finished
};

// The zip writer thread's parameter block.
struct ZipPhotosParams {
    ZipPhotosParams(int32_t saveGeneration, HWND window, const std::wstring& zipPath,
                    const std::wstring& stagingFolder, ZipQueue* queue, JobStopFlag* stopFlag);
    ZipPhotosParams(const ZipPhotosParams&) = delete;
    ZipPhotosParams& operator=(const ZipPhotosParams&) = delete;

    int32_t saveGeneration;
    HWND window;
    HANDLE thread;  // the thread's own handle, set by the starter; closed by the thread
    std::wstring zipPath;
    std::wstring stagingFolder;
    ZipQueue* queue;        // the finished files; the main window keeps it alive while the job runs
    JobStopFlag* stopFlag;  // likewise
};

// Posted with WM_ZIP_PROGRESS.
struct ZipArchiveMessageInfo {
    int32_t generation = 0;  // the save generation
    double share = 0.0;      // the part of one work unit (one archived file) this record completes
    uint8_t done = 0;        // 1 only in the thread's final record
    // Final record only: 0 when the archive was written, else why not (a Win32 error); the incomplete
    // archive has then been deleted and the job ended.
    DWORD error = 0;
    // Final record only: queued files that could not be read and so are not in the archive, and the
    // reason for the first of them.
    int32_t skippedFiles = 0;
    DWORD skippedError = 0;
};

// The print thread's parameter block.
struct PrintPhotosParams {
    PrintPhotosParams(int32_t printGeneration, HWND window, HDC printerDC, int32_t pageCount, int32_t copies,
                      bool collate, PrintQueue* queue, JobStopFlag* stopFlag);
    PrintPhotosParams(const PrintPhotosParams&) = delete;
    PrintPhotosParams& operator=(const PrintPhotosParams&) = delete;

    int32_t printGeneration;
    HWND window;
    HANDLE thread;  // the thread's own handle, set by the starter; closed by the thread
    HDC printerDC;  // from the print dialog; deleted by the thread
    int32_t pageCount;
    int32_t copies;
    uint8_t collate;
    PrintQueue* queue;      // files ready to print; the main window keeps it alive while the job runs
    JobStopFlag* stopFlag;  // likewise
};

// Posted with WM_PRINT_PROGRESS.
struct PrintMessageInfo {
    int32_t printGeneration = 0;
    double progress = 0.0;  // 1.0 for one printed page; 0.0 in the final record
    uint8_t done = 0;       // 1 only in the final record
    // Final record only: 1 when the printer refused a document or page without a user stop; the
    // thread has set the stop flag and the main window stops both downloaders and tells the user.
    uint8_t failed = 0;
};
