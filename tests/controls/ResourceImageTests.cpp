// Pictures from the program's resources: skin pictures of both types, the bitmap-resource
// fallback, missing and broken resources, that loading leaks no memory block, and that repeated
// loads of a skin picture give alike copies of their own.
#include "controls/ResourceImage.h"
#include "gui/GdiPlus.h"
#include "resources/SkinIds.h"

#include <gtest/gtest.h>

using controls::loadImageResource;
using controls::loadSkinPicture;

namespace {

HMODULE program() {
    return GetModuleHandleW(nullptr);
}

// Bytes in blocks of the process heap, where global memory blocks live too.
SIZE_T heapBytesInUse() {
    HANDLE heap = GetProcessHeap();
    SIZE_T total = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            total += entry.cbData;
    }
    HeapUnlock(heap);
    return total;
}

class ResourceImageTest : public ::testing::Test {
protected:
    gui::GdiPlusSession gdiPlus;
};

}  // namespace

TEST_F(ResourceImageTest, SkinPicturesOfBothTypesLoadAtTheirSizes) {
    Gdiplus::Bitmap* picture = nullptr;
    ASSERT_TRUE(loadImageResource(program(), skin::bigPlay, L"PNG", picture));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetWidth(), 144u);
    EXPECT_EQ(picture->GetHeight(), 144u);
    delete picture;

    Gdiplus::Bitmap* animation = nullptr;
    ASSERT_TRUE(loadImageResource(program(), skin::loadingBig, L"GIF", animation));
    EXPECT_EQ(animation->GetWidth(), 32u);
    GUID dimension{};
    ASSERT_EQ(animation->GetFrameDimensionsList(&dimension, 1), Gdiplus::Ok);
    EXPECT_EQ(animation->GetFrameCount(&dimension), 12u);
    delete animation;
}

TEST_F(ResourceImageTest, MissingOrBrokenResourcesGiveFalse) {
    auto* const untouched = reinterpret_cast<Gdiplus::Bitmap*>(static_cast<uintptr_t>(0x1234));
    Gdiplus::Bitmap* out = untouched;
    EXPECT_FALSE(loadImageResource(program(), 14999, L"PNG", out));
    EXPECT_EQ(out, untouched);
    // The right id under the wrong type is missing too.
    EXPECT_FALSE(loadImageResource(program(), skin::bigPlay, L"GIF", out));
    EXPECT_EQ(out, untouched);

    EXPECT_FALSE(loadImageResource(program(), 20001, L"PNG", out));
    EXPECT_EQ(out, nullptr);
}

TEST_F(ResourceImageTest, SkinPicturesFallBackToTheBitmapResource) {
    auto png = loadSkinPicture(program(), skin::closeButtonOver);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->GetWidth(), 23u);

    auto bitmap = loadSkinPicture(program(), 20002);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetWidth(), 8u);
    EXPECT_EQ(bitmap->GetHeight(), 4u);
    Gdiplus::Color pixel;
    bitmap->GetPixel(3, 2, &pixel);
    EXPECT_EQ(pixel.GetR(), 0x20);
    EXPECT_EQ(pixel.GetB(), 0xC0);

    EXPECT_FALSE(loadSkinPicture(program(), 14999));
    EXPECT_FALSE(loadSkinPicture(program(), 20001));
}

TEST_F(ResourceImageTest, RepeatedLoadsLeakNoMemoryBlocks) {
    HRSRC info = FindResourceW(program(), MAKEINTRESOURCEW(skin::logoBig), L"PNG");
    ASSERT_NE(info, nullptr);
    const SIZE_T resourceSize = SizeofResource(program(), info);
    constexpr int kLoads = 1000;
    auto loadAndFree = [](int count) {
        for (int i = 0; i < count; ++i) {
            Gdiplus::Bitmap* picture = nullptr;
            ASSERT_TRUE(loadImageResource(program(), skin::logoBig, L"PNG", picture));
            delete picture;
        }
    };
    loadAndFree(50);  // the heap and the decoder settle first
    const SIZE_T before = heapBytesInUse();
    loadAndFree(kLoads);
    const SIZE_T after = heapBytesInUse();
    const SIZE_T grown = after > before ? after - before : 0;
    // A block kept per load would grow the process by kLoads x the resource's size.
    EXPECT_LT(grown, resourceSize * kLoads / 4) << "resource " << resourceSize << " bytes, grown " << grown;
}

TEST_F(ResourceImageTest, EveryLoadOfASkinPictureIsAnAlikeIndependentCopy) {
    // Later loads of an id are copied from the first decoding: the same pixels, yet a bitmap of
    // each caller's own, so that freeing or changing one leaves the others as they were.
    auto first = loadSkinPicture(program(), skin::closeButton);
    auto second = loadSkinPicture(program(), skin::closeButton);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    ASSERT_NE(first.get(), second.get());
    ASSERT_EQ(first->GetWidth(), second->GetWidth());
    ASSERT_EQ(first->GetHeight(), second->GetHeight());
    const UINT width = first->GetWidth();
    const UINT height = first->GetHeight();
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            Gdiplus::Color a, b;
            first->GetPixel(static_cast<INT>(x), static_cast<INT>(y), &a);
            second->GetPixel(static_cast<INT>(x), static_cast<INT>(y), &b);
            ASSERT_EQ(a.GetValue(), b.GetValue()) << "at " << x << "," << y;
        }
    }

    first->SetPixel(0, 0, Gdiplus::Color(255, 1, 2, 3));
    first.reset();
    auto third = loadSkinPicture(program(), skin::closeButton);
    ASSERT_TRUE(third);
    Gdiplus::Color kept, again;
    second->GetPixel(0, 0, &kept);
    third->GetPixel(0, 0, &again);
    EXPECT_EQ(kept.GetValue(), again.GetValue());
    EXPECT_NE(again.GetValue(), Gdiplus::Color(255, 1, 2, 3).GetValue());
}
