#include "controls/ResourceImage.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace controls {

bool loadImageResource(HMODULE module, int id, const wchar_t* type, Gdiplus::Bitmap*& out) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return false;
    const DWORD size = SizeofResource(module, info);
    if (size == 0)
        return false;
    HGLOBAL resource = LoadResource(module, info);
    if (!resource)
        return false;
    const void* bytes = LockResource(resource);
    if (!bytes)
        return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);

    // The stream frees the block when its last reference goes: GDI+ may keep one for as long as
    // the bitmap lives (it can decode lazily), so the block must not be freed here on success.
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return false;
    }
    Gdiplus::Bitmap* bitmap = new Gdiplus::Bitmap(stream);
    stream->Release();
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        delete bitmap;
        out = nullptr;
        return false;
    }
    out = bitmap;
    return true;
}

namespace {

std::unique_ptr<Gdiplus::Bitmap> decodeSkinPicture(HMODULE module, int id) {
    Gdiplus::Bitmap* picture = nullptr;
    if (loadImageResource(module, id, L"PNG", picture))
        return std::unique_ptr<Gdiplus::Bitmap>(picture);
    if (!FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP))
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> fromBitmap(Gdiplus::Bitmap::FromResource(module, MAKEINTRESOURCEW(id)));
    if (!fromBitmap || fromBitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return fromBitmap;
}

// The pixels of a decoded skin picture (32-bit ARGB, top-down rows). Kept as plain memory, not as
// GDI+ objects, so that they outlive any GDI+ session.
struct DecodedPixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> pixels;
};

bool copyPixels(Gdiplus::Bitmap& picture, DecodedPixels& out) {
    out.width = picture.GetWidth();
    out.height = picture.GetHeight();
    if (out.width == 0 || out.height == 0)
        return false;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    Gdiplus::BitmapData data{};
    data.Width = out.width;
    data.Height = out.height;
    data.Stride = static_cast<INT>(out.width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = out.pixels.data();
    const Gdiplus::Rect all(0, 0, static_cast<INT>(out.width), static_cast<INT>(out.height));
    if (picture.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                         PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return false;
    return picture.UnlockBits(&data) == Gdiplus::Ok;
}

std::unique_ptr<Gdiplus::Bitmap> pictureFrom(const DecodedPixels& decoded) {
    auto picture = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(decoded.width),
                                                     static_cast<INT>(decoded.height), PixelFormat32bppARGB);
    if (picture->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::BitmapData data{};
    data.Width = decoded.width;
    data.Height = decoded.height;
    data.Stride = static_cast<INT>(decoded.width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = const_cast<uint32_t*>(decoded.pixels.data());
    const Gdiplus::Rect all(0, 0, static_cast<INT>(decoded.width), static_cast<INT>(decoded.height));
    if (picture->LockBits(&all, Gdiplus::ImageLockModeWrite | Gdiplus::ImageLockModeUserInputBuf,
                          PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    if (picture->UnlockBits(&data) != Gdiplus::Ok)
        return nullptr;
    return picture;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> loadSkinPicture(HMODULE module, int id) {
    // Many controls show the same few skin pictures: each is decoded once, and every later
    // request gets a copy of its pixels, which costs far less than decoding it again.
    static std::mutex guard;
    static std::map<std::pair<HMODULE, int>, DecodedPixels> decoded;
    const auto key = std::make_pair(module, id);
    {
        std::lock_guard<std::mutex> lock(guard);
        const auto found = decoded.find(key);
        if (found != decoded.end())
            return pictureFrom(found->second);
    }
    std::unique_ptr<Gdiplus::Bitmap> picture = decodeSkinPicture(module, id);
    if (!picture)
        return nullptr;
    DecodedPixels pixels;
    if (!copyPixels(*picture, pixels))
        return picture;
    std::unique_ptr<Gdiplus::Bitmap> copy = pictureFrom(pixels);
    if (!copy)
        return picture;
    std::lock_guard<std::mutex> lock(guard);
    decoded.emplace(key, std::move(pixels));
    // The first caller gets a copy as well, so that every picture of an id is alike.
    return copy;
}

}  // namespace controls
