#include "saving/PrintPhotosThread.h"

#include "common/PathFunctions.h"
#include "saving/JobRecords.h"
#include "saving/JobStopFlag.h"
#include "saving/PageLayout.h"
#include "saving/PostRecord.h"
#include "saving/PrintPages.h"

#include <gdiplus.h>

#include <memory>

namespace {

// The abort procedure has no parameter of its own; it runs on the print thread inside GDI's calls.
thread_local JobStopFlag* printStopFlag = nullptr;

BOOL CALLBACK printAbortProc(HDC, int) {
    return printStopFlag && printStopFlag->isSet() ? FALSE : TRUE;
}

// A file GDI+ cannot load gives an empty page.
void drawPicture(HDC dc, const std::wstring& path) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(makeLongPath(path).c_str(), &bitmap) != Gdiplus::Ok || !bitmap)
        return;
    Gdiplus::GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok && graphics) {
        GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
        Gdiplus::GpRectF bounds = {};
        UINT width = 0;
        UINT height = 0;
        if (GdipGetVisibleClipBounds(graphics, &bounds) == Gdiplus::Ok &&
            GdipGetImageWidth(bitmap, &width) == Gdiplus::Ok &&
            GdipGetImageHeight(bitmap, &height) == Gdiplus::Ok) {
            const PageRect place = fitPictureOnPage(static_cast<float>(width), static_cast<float>(height),
                                                    bounds.Width, bounds.Height);
            GdipDrawImageRect(graphics, bitmap, place.x, place.y, place.width, place.height);
        }
        GdipDeleteGraphics(graphics);
    }
    GdipDisposeImage(bitmap);
}

class PrinterPages : public PagePrinter {
public:
    explicit PrinterPages(const PrintPhotosParams& params) : params_(params) {}

    bool printPage(const std::wstring& path) override {
        if (StartPage(params_.printerDC) <= 0)
            return false;
        drawPicture(params_.printerDC, path);
        if (EndPage(params_.printerDC) <= 0)
            return false;
        auto record = std::make_unique<PrintMessageInfo>();
        record->printGeneration = params_.printGeneration;
        record->progress = 1.0;
        postRecord(params_.window, WM_PRINT_PROGRESS, std::move(record));
        return true;
    }

private:
    const PrintPhotosParams& params_;
};

// True when the printer failed without a user stop.
bool printDocument(const PrintPhotosParams& params) {
    printStopFlag = params.stopFlag;
    SetAbortProc(params.printerDC, printAbortProc);
    DOCINFOW document = {};
    document.cbSize = sizeof(document);
    document.lpszDocName = L"Pixhaul Photos";
    if (StartDocW(params.printerDC, &document) <= 0)
        return !params.stopFlag->isSet();
    PrinterPages printer(params);
    const PrintOutcome outcome = printQueuedPages(*params.queue, *params.stopFlag, params.pageCount,
                                                  params.copies, params.collate != 0, printer);
    EndDoc(params.printerDC);
    return outcome == PrintOutcome::Failed;
}

}  // namespace

DWORD WINAPI printPhotosThreadProc(LPVOID parameter) {
    std::unique_ptr<PrintPhotosParams> params(static_cast<PrintPhotosParams*>(parameter));
    if (!params)
        return 0;
    bool failed = false;
    try {
        failed = printDocument(*params);
    } catch (...) {
        failed = true;
    }
    printStopFlag = nullptr;
    if (params->printerDC)
        DeleteDC(params->printerDC);
    if (failed)
        params->stopFlag->set(true);
    try {
        auto record = std::make_unique<PrintMessageInfo>();
        record->printGeneration = params->printGeneration;
        record->done = 1;
        record->failed = failed ? 1 : 0;
        postFinalRecord(params->window, WM_PRINT_PROGRESS, std::move(record));
    } catch (...) {
    }
    if (params->thread)
        CloseHandle(params->thread);
    return 0;
}
