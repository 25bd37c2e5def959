#include "controls/ResourceImage.h"

#include <cstring>

namespace controls {

bool loadImageResource(HMODULE module, int id, const wchar_t* type, Gdiplus::Bitmap*& out)
{
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

std::unique_ptr<Gdiplus::Bitmap> loadSkinPicture(HMODULE module, int id)
{
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

}  // namespace controls
