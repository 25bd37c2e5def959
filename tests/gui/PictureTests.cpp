// Bitmaps, pictures (PNG, JPEG, GIF, BMP through GDI+) and the canvas drawing them.
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/GdiPlus.h"
#include "gui/Picture.h"
#include "resources/SkinIds.h"
#include "support/TestSupport.h"
#include <gdiplus.h>
#include <gtest/gtest.h>

using namespace gui;

namespace {

// Writes a 4 x 3 picture in a format: left half opaque red, right half half-transparent blue,
// except the top-left pixel, which is opaque green.
bool writePicture(const std::wstring& path, const wchar_t* mimeType) {
    GdiPlusSession session;
    Gdiplus::Bitmap bitmap(4, 3, PixelFormat32bppARGB);
    for (UINT y = 0; y < 3; ++y) {
        for (UINT x = 0; x < 4; ++x)
            bitmap.SetPixel(x, y, x < 2 ? Gdiplus::Color(255, 255, 0, 0) : Gdiplus::Color(128, 0, 0, 255));
    }
    bitmap.SetPixel(0, 0, Gdiplus::Color(255, 0, 255, 0));
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == mimeType)
            return bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    return false;
}

uint32_t pixel(TBitmap& bitmap, int x, int y) {
    return bitmap.ScanLine(y)[x];
}

}  // namespace

TEST(Bitmap, SetSizeMakesA32BitBitmapThatACanvasDrawsOn) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(10, 8);
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Height(), 8);
    EXPECT_EQ(pixel(bitmap, 3, 3), 0u);
    bitmap.Canvas()->Brush()->SetColor(RGB(0x11, 0x22, 0x33));
    bitmap.Canvas()->FillRect(RECT{2, 2, 5, 5});
    EXPECT_EQ(pixel(bitmap, 3, 3) & 0xFFFFFF, 0x112233u);  // BGRA: red in the high byte
    EXPECT_EQ(pixel(bitmap, 6, 6), 0u);
    bitmap.SetSize(0, 0);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(Picture, LoadsPngJpegGifAndBmpFiles) {
    testsupport::TempFolder folder;
    const struct {
        const wchar_t* name;
        const wchar_t* mime;
        bool keepsAlpha;
    } formats[] = {
        {L"p.png", L"image/png", true}, {L"p.jpg", L"image/jpeg", false}, {L"p.bmp", L"image/bmp", false}};
    for (const auto& format : formats) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(format.name)));
        const std::wstring path = folder.file(format.name);
        ASSERT_TRUE(writePicture(path, format.mime));
        TPicture picture;
        int changes = 0;
        picture.OnChange = [&] { ++changes; };
        ASSERT_TRUE(picture.LoadFromFile(path));
        EXPECT_GT(changes, 0);
        EXPECT_EQ(picture.Width(), 4);
        EXPECT_EQ(picture.Height(), 3);
        if (std::wstring(format.mime) != L"image/jpeg") {  // lossless ones keep a single pixel
            const uint32_t topLeft = pixel(*picture.Bitmap(), 0, 0);
            EXPECT_GT((topLeft >> 8) & 0xFF, 0xC0u);  // green: the rows are not upside down
            EXPECT_LT((topLeft >> 16) & 0xFF, 0x40u);
        }
        const uint32_t left = pixel(*picture.Bitmap(), 0, 1);
        EXPECT_GT((left >> 16) & 0xFF, 0xC0u);  // red
        EXPECT_LT(left & 0xFF, 0x40u);
        EXPECT_EQ(picture.Bitmap()->HasAlpha(), format.keepsAlpha);
        if (format.keepsAlpha) {
            const uint32_t right = pixel(*picture.Bitmap(), 3, 1);
            EXPECT_NEAR(static_cast<int>(right >> 24), 128, 2);  // premultiplied: blue <= alpha
            EXPECT_LE(right & 0xFF, right >> 24);
        }
    }
}

TEST(Picture, LoadsAGifFile) {
    // The skin's busy animation, written out from the module's resources.
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(skin::loadingBig), L"GIF");
    ASSERT_NE(info, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, info)));
    testsupport::TempFolder folder;
    const std::wstring path = folder.file(L"busy.gif");
    ASSERT_TRUE(testsupport::writeFileBytes(path, std::string(bytes, SizeofResource(module, info))));
    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_EQ(picture.Height(), 32);
}

TEST(Picture, AFileThatIsNoPictureLeavesThePictureAsItWas) {
    testsupport::TempFolder folder;
    const std::wstring good = folder.file(L"good.png");
    ASSERT_TRUE(writePicture(good, L"image/png"));
    const std::wstring bad = folder.file(L"bad.png");
    ASSERT_TRUE(testsupport::writeFileBytes(bad, "not a picture at all"));
    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(good));
    EXPECT_FALSE(picture.LoadFromFile(bad));
    EXPECT_FALSE(picture.LoadFromFile(folder.file(L"missing.png")));
    EXPECT_EQ(picture.Width(), 4);
}

TEST(Picture, LoadsPngAndGifResourcesOfTheModule) {
    TPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(GetModuleHandleW(nullptr), skin::videoMark, L"PNG"));
    EXPECT_EQ(picture.Width(), 72);
    EXPECT_EQ(picture.Height(), 72);
    ASSERT_TRUE(picture.LoadFromResource(GetModuleHandleW(nullptr), skin::loadingBig, L"GIF"));
    EXPECT_EQ(picture.Width(), 32);
    EXPECT_FALSE(picture.LoadFromResource(GetModuleHandleW(nullptr), 9, L"PNG"));
    EXPECT_EQ(picture.Width(), 32);
}

TEST(Canvas, DrawBlendsBitmapsWithAlphaAndCopiesOthers) {
    TBitmap target;
    target.SetSize(4, 1);
    target.Canvas()->Brush()->SetColor(RGB(255, 255, 255));
    target.Canvas()->FillRect(RECT{0, 0, 4, 1});

    TBitmap halfBlack;  // premultiplied: alpha 128, colour 0
    halfBlack.SetSize(2, 1);
    halfBlack.ScanLine(0)[0] = 0x80000000u;
    halfBlack.ScanLine(0)[1] = 0x80000000u;
    halfBlack.SetHasAlpha(true);
    target.Canvas()->Draw(0, 0, &halfBlack);
    EXPECT_NEAR(static_cast<int>(pixel(target, 0, 0) & 0xFF), 127, 2);

    halfBlack.SetHasAlpha(false);
    target.Canvas()->Draw(2, 0, &halfBlack);
    EXPECT_EQ(pixel(target, 2, 0) & 0xFFFFFF, 0u);
}

TEST(Canvas, PenBrushAndFontChangesTakeEffectOnTheNextDrawing) {
    TBitmap bitmap;
    bitmap.SetSize(20, 20);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(RGB(0, 255, 0));
    canvas->Pen()->SetColor(RGB(255, 0, 0));
    canvas->Rectangle(0, 0, 10, 10);
    EXPECT_EQ(canvas->Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas->Pixel(5, 5), RGB(0, 255, 0));
    canvas->Pen()->SetColor(RGB(0, 0, 255));
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(10, 10, 20, 20);
    EXPECT_EQ(canvas->Pixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(canvas->Pixel(15, 15) & 0xFFFFFF, 0u);  // clear brush: the inside stays
    canvas->Font()->SetSize(30);
    const int big = canvas->TextHeight(L"Hg");
    canvas->Font()->SetSize(8);
    EXPECT_GT(big, canvas->TextHeight(L"Hg"));
}
