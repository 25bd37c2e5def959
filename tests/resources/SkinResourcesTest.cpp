// The skin as the program carries it: every resource of the generated script, found in the
// module and decoded the way the controls decode it (GDI+ from a memory stream, icons with
// LoadImageW), at the size and with the frames the skin's table promises.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resources/SkinIds.h"
#include "support/TestSupport.h"

namespace {

using namespace Gdiplus;

struct ManifestEntry {
    int id = 0;
    std::string type;
    int width = 0;
    int height = 0;
    int frames = 0;
    bool opaque = false;
};

std::vector<ManifestEntry> readManifest() {
    std::istringstream lines(
        testsupport::readFileBytes(testsupport::binaryPath(L"resources/skin-manifest.txt")));
    std::vector<ManifestEntry> entries;
    ManifestEntry entry;
    std::string opacity;
    while (lines >> entry.id >> entry.type >> entry.width >> entry.height >> entry.frames >> opacity) {
        entry.opaque = opacity == "opaque";
        entries.push_back(entry);
    }
    return entries;
}

class GdiplusSession {
public:
    GdiplusSession() {
        GdiplusStartupInput input;
        GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() { GdiplusShutdown(token_); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

struct BitmapDeleter {
    void operator()(GpBitmap* bitmap) const { DllExports::GdipDisposeImage(bitmap); }
};
using BitmapPtr = std::unique_ptr<GpBitmap, BitmapDeleter>;

// Decodes a resource of the test module from a memory stream, as the skinned controls do.
BitmapPtr loadResourceBitmap(int id, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found)
        return nullptr;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    memcpy(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    GpBitmap* bitmap = nullptr;
    Status status = DllExports::GdipCreateBitmapFromStream(stream, &bitmap);
    stream->Release();
    if (status != Ok)
        return nullptr;
    return BitmapPtr(bitmap);
}

std::vector<UINT32> argbPixels(GpBitmap* bitmap, UINT width, UINT height) {
    std::vector<UINT32> pixels(width * height);
    BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (DllExports::GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead | ImageLockModeUserInputBuf,
                                       PixelFormat32bppARGB, &data) == Ok) {
        DllExports::GdipBitmapUnlockBits(bitmap, &data);
    }
    return pixels;
}

class SkinResources : public ::testing::Test {
protected:
    void SetUp() override {
        manifest_ = readManifest();
        ASSERT_GT(manifest_.size(), 150u) << "the build's skin manifest is missing";
    }

    GdiplusSession gdiplus_;
    std::vector<ManifestEntry> manifest_;
};

TEST_F(SkinResources, EveryPictureDecodesAtItsSize) {
    for (const ManifestEntry& entry : manifest_) {
        if (entry.type == "ICON")
            continue;
        std::wstring type(entry.type.begin(), entry.type.end());
        BitmapPtr bitmap = loadResourceBitmap(entry.id, type.c_str());
        ASSERT_TRUE(bitmap) << entry.id;
        UINT width = 0, height = 0;
        DllExports::GdipGetImageWidth(bitmap.get(), &width);
        DllExports::GdipGetImageHeight(bitmap.get(), &height);
        EXPECT_EQ(static_cast<int>(width), entry.width) << entry.id;
        EXPECT_EQ(static_cast<int>(height), entry.height) << entry.id;
        if (entry.opaque) {
            for (UINT32 pixel : argbPixels(bitmap.get(), width, height)) {
                ASSERT_EQ(pixel >> 24, 0xFFu) << entry.id << " has a see-through pixel";
            }
        }
    }
}

TEST_F(SkinResources, BusyAnimationsSplitIntoTimedFrames) {
    for (int id : {skin::loadingBig, skin::loadingSmall}) {
        BitmapPtr gif = loadResourceBitmap(id, L"GIF");
        ASSERT_TRUE(gif) << id;
        GUID dimension{};
        ASSERT_EQ(DllExports::GdipImageGetFrameDimensionsList(gif.get(), &dimension, 1), Ok);
        UINT frames = 0;
        DllExports::GdipImageGetFrameCount(gif.get(), &dimension, &frames);
        EXPECT_EQ(frames, 12u) << id;

        // Frame delays in hundredths: none may be 0, or the player would rest on that frame.
        UINT size = 0;
        ASSERT_EQ(DllExports::GdipGetPropertyItemSize(gif.get(), PropertyTagFrameDelay, &size), Ok);
        std::vector<BYTE> buffer(size);
        auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
        ASSERT_EQ(DllExports::GdipGetPropertyItem(gif.get(), PropertyTagFrameDelay, size, item), Ok);
        ASSERT_EQ(item->length / sizeof(UINT32), frames);
        for (UINT i = 0; i < frames; ++i) {
            EXPECT_GE(static_cast<const UINT32*>(item->value)[i], 1u) << id << " frame " << i;
        }

        std::set<std::vector<UINT32>> distinct;
        for (UINT i = 0; i < frames; ++i) {
            ASSERT_EQ(DllExports::GdipImageSelectActiveFrame(gif.get(), &dimension, i), Ok);
            std::vector<UINT32> pixels = argbPixels(gif.get(), 32, 32);
            if (id == skin::loadingSmall) {
                EXPECT_EQ(pixels[0] >> 24, 0u) << "the small animation is see-through at its corners";
                EXPECT_EQ(pixels[16 * 32 + 16] >> 24, 0xFFu);
            } else {
                EXPECT_EQ(pixels[0] >> 24, 0xFFu) << "the big animation covers its square";
            }
            distinct.insert(pixels);
        }
        EXPECT_EQ(distinct.size(), frames) << id << ": every frame moves";
    }
}

TEST_F(SkinResources, IconsLoadAtTheirDefaultAndSystemSizes) {
    HMODULE module = GetModuleHandleW(nullptr);
    for (const ManifestEntry& entry : manifest_) {
        if (entry.type != "ICON")
            continue;
        // The scroll bars load their arrows at the default size and stretch them to the cell.
        auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(entry.id), IMAGE_ICON, 0, 0, 0));
        ASSERT_NE(icon, nullptr) << entry.id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bits{};
        GetObjectW(info.hbmColor, sizeof(bits), &bits);
        EXPECT_EQ(bits.bmWidth, entry.width) << entry.id;
        EXPECT_EQ(bits.bmHeight, entry.height) << entry.id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);

        int cell = GetSystemMetrics(SM_CXVSCROLL);
        icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(entry.id), IMAGE_ICON, cell, cell, 0));
        EXPECT_NE(icon, nullptr) << entry.id << " at " << cell;
        if (icon)
            DestroyIcon(icon);
    }
    for (int size : {16, 32, 48}) {
        auto icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(skin::appIcon), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << "program icon at " << size;
        if (icon)
            DestroyIcon(icon);
    }
}

}  // namespace
