#include "gui/GdiPlus.h"
#include "gui/Bitmap.h"
#include <algorithm>
#include <gdiplus.h>
#include <memory>
#include <mutex>

namespace gui {

namespace {

// Sessions start and end on the GUI thread and on worker threads that decode.
std::mutex sessionLock;
int sessionUsers = 0;
ULONG_PTR sessionToken = 0;

bool decodeInto(Gdiplus::Bitmap& source, TBitmap& target) {
    if (source.GetLastStatus() != Gdiplus::Ok)
        return false;
    const int width = static_cast<int>(source.GetWidth());
    const int height = static_cast<int>(source.GetHeight());
    if (width <= 0 || height <= 0)
        return false;

    TBitmap decoded;
    decoded.SetSize(width, height);
    if (decoded.Empty() || !decoded.ScanLine(0))
        return false;

    Gdiplus::BitmapData data{};
    Gdiplus::Rect area(0, 0, width, height);
    if (source.LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        std::copy_n(reinterpret_cast<const uint32_t*>(row), width, decoded.ScanLine(y));
    }
    source.UnlockBits(&data);

    bool alpha = false;
    for (int y = 0; y < height && !alpha; ++y) {
        const uint32_t* row = decoded.ScanLine(y);
        alpha = std::any_of(row, row + width, [](uint32_t pixel) { return (pixel >> 24) != 0xFF; });
    }
    target.SetHandle(decoded.ReleaseHandle(), alpha);
    return true;
}

}  // namespace

GdiPlusSession::GdiPlusSession() {
    std::lock_guard<std::mutex> hold(sessionLock);
    if (sessionUsers == 0) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&sessionToken, &input, nullptr) != Gdiplus::Ok)
            return;
    }
    ++sessionUsers;
    started_ = true;
}

GdiPlusSession::~GdiPlusSession() {
    if (!started_)
        return;
    std::lock_guard<std::mutex> hold(sessionLock);
    if (--sessionUsers == 0) {
        Gdiplus::GdiplusShutdown(sessionToken);
        sessionToken = 0;
    }
}

bool DecodePictureFile(const std::wstring& path, TBitmap& target) {
    GdiPlusSession session;
    if (!session.Started())
        return false;
    std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromFile(path.c_str()));
    return source && decodeInto(*source, target);
}

bool DecodePictureStream(IStream* stream, TBitmap& target) {
    if (!stream)
        return false;
    GdiPlusSession session;
    if (!session.Started())
        return false;
    std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromStream(stream));
    return source && decodeInto(*source, target);
}

bool DecodePictureResource(HMODULE module, int id, const wchar_t* type, TBitmap& target) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return false;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    void* destination = GlobalLock(block);
    if (!destination) {
        GlobalFree(block);
        return false;
    }
    std::copy_n(static_cast<const BYTE*>(bytes), size, static_cast<BYTE*>(destination));
    GlobalUnlock(block);

    IStream* stream = nullptr;
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return false;
    }
    const bool decoded = DecodePictureStream(stream, target);
    stream->Release();
    return decoded;
}

}  // namespace gui
