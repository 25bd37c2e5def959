#include "saving/JobRecords.h"

CopyPhotosParams::CopyPhotosParams(int32_t saveGeneration, int32_t thumbnailsGeneration, HWND window,
                                   JobStopFlag* stopFlag)
    : saveGeneration(saveGeneration),
      thumbnailsGeneration(thumbnailsGeneration),
      window(window),
      thread(nullptr),
      stopFlag(stopFlag) {}

UpdatePhotoTimesParams::UpdatePhotoTimesParams(int32_t saveGeneration, int32_t batchSize,
                                               const std::wstring& folder, const std::wstring& userName,
                                               HWND window)
    : saveGeneration(saveGeneration),
      window(window),
      thread(nullptr),
      batchSize(batchSize),
      folder(folder),
      userName(userName),
      offset(0) {}

ZipPhotosParams::ZipPhotosParams(int32_t saveGeneration, HWND window, const std::wstring& zipPath,
                                 const std::wstring& stagingFolder, ZipQueue* queue, JobStopFlag* stopFlag)
    : saveGeneration(saveGeneration),
      window(window),
      thread(nullptr),
      zipPath(zipPath),
      stagingFolder(stagingFolder),
      queue(queue),
      stopFlag(stopFlag) {}

PrintPhotosParams::PrintPhotosParams(int32_t printGeneration, HWND window, HDC printerDC, int32_t pageCount,
                                     int32_t copies, bool collate, PrintQueue* queue, JobStopFlag* stopFlag)
    : printGeneration(printGeneration),
      window(window),
      thread(nullptr),
      printerDC(printerDC),
      pageCount(pageCount),
      copies(copies),
      collate(collate ? 1 : 0),
      queue(queue),
      stopFlag(stopFlag) {}
