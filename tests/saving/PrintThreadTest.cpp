// The print thread on Wine's PostScript printer, writing to a file that ghostscript renders: pages
// in collated order, each showing its photo, large photos shrunk to the printable area and centred,
// a small one at its own size (GDI+ counts a printer's page in hundredths of an inch).
#include "JobMessageSink.h"
#include "UnixTools.h"

#include "saving/JobStopFlag.h"
#include "saving/PrintPhotosThread.h"
#include "saving/PrintQueue.h"
#include "support/TestPrinter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <gdiplus.h>

#include <sstream>

namespace {

// A 24-bit bitmap file of one colour.
std::string solidBitmap(int width, int height, unsigned char red, unsigned char green, unsigned char blue) {
    const int rowSize = (width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowSize * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string row(rowSize, '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(blue);
        row[x * 3 + 1] = static_cast<char>(green);
        row[x * 3 + 2] = static_cast<char>(red);
    }
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = 0; y < height; ++y)
        bytes += row;
    return bytes;
}

struct Box {
    char colour = '?';
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

TEST(PrintThreadTest, PrintsCollatedPagesFittedAndCentred) {
    testsupport::TempFolder folder;
    const std::wstring postscript = folder.file(L"job.ps");
    const std::string unixPostscript = unixPath(postscript);
    TestPrinter printer(std::wstring(unixPostscript.begin(), unixPostscript.end()));
    if (!printer.installed())
        GTEST_SKIP() << "no test printer: "
                     << std::string(printer.problem().begin(), printer.problem().end());

    Gdiplus::GdiplusStartupInput input;  // the main window holds a session while a job prints
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);

    struct Photo {
        const wchar_t* name;
        int width, height;
        unsigned char red, green, blue;
    };
    const Photo photos[] = {{L"wide.bmp", 1500, 1000, 255, 0, 0},
                            {L"tall.bmp", 500, 1500, 0, 255, 0},
                            {L"small.bmp", 320, 240, 0, 0, 255}};
    JobEntries entries;
    for (const Photo& photo : photos) {
        entries.push_back(std::make_unique<PhotoDownload>());
        entries.back()->path = folder.file(photo.name);
        entries.back()->done = 1;
        ASSERT_TRUE(testsupport::writeFileBytes(
            entries.back()->path,
            solidBitmap(photo.width, photo.height, photo.red, photo.green, photo.blue)));
    }
    PrintQueue queue;
    queue.handOver(entries);

    HDC dc = CreateDCW(L"WINSPOOL", printer.name().c_str(), nullptr, nullptr);
    ASSERT_TRUE(dc);
    // The printable area in pixels of a 100-dpi rendering of the page.
    const double scaleX = 100.0 / GetDeviceCaps(dc, LOGPIXELSX);
    const double scaleY = 100.0 / GetDeviceCaps(dc, LOGPIXELSY);
    const double left = GetDeviceCaps(dc, PHYSICALOFFSETX) * scaleX;
    const double top = GetDeviceCaps(dc, PHYSICALOFFSETY) * scaleY;
    const double width = GetDeviceCaps(dc, HORZRES) * scaleX;
    const double height = GetDeviceCaps(dc, VERTRES) * scaleY;

    JobMessageSink sink;
    JobStopFlag stopFlag;
    auto params = std::make_unique<PrintPhotosParams>(5, sink.handle(), dc, 3, 2, true, &queue, &stopFlag);
    HANDLE thread = CreateThread(nullptr, 0, printPhotosThreadProc, params.get(), CREATE_SUSPENDED, nullptr);
    ASSERT_TRUE(thread);
    params.release()->thread = thread;
    ResumeThread(thread);
    ASSERT_TRUE(sink.waitFor([&] { return !sink.print.empty() && sink.print.back()->done; }));
    Gdiplus::GdiplusShutdown(token);
    ASSERT_EQ(sink.print.size(), 7u);
    EXPECT_EQ(sink.print.back()->failed, 0);
    EXPECT_FALSE(stopFlag.isSet());

    const std::string rendered = runCheckScript("print_check.py", "\"" + unixPath(postscript) + "\" 100");
    std::vector<Box> pages;
    std::istringstream list(rendered);
    for (std::string page; std::getline(list, page, ';');) {
        Box box;
        std::istringstream(page) >> box.colour >> box.x0 >> box.y0 >> box.x1 >> box.y1;
        pages.push_back(box);
    }
    ASSERT_EQ(pages.size(), 6u) << rendered;
    std::string order;
    for (const Box& page : pages)
        order += page.colour;
    EXPECT_EQ(order, "RGBRGB") << rendered;

    const Box& wide = pages[0];
    EXPECT_NEAR(wide.x1 - wide.x0, width, 2) << rendered;  // fills the printable width
    EXPECT_NEAR((wide.y0 + wide.y1) / 2, top + height / 2, 2) << rendered;
    const Box& tall = pages[1];
    EXPECT_NEAR(tall.y1 - tall.y0, height, 2) << rendered;  // fills the printable height
    EXPECT_NEAR((tall.x0 + tall.x1) / 2, left + width / 2, 2) << rendered;
    const Box& small = pages[2];
    EXPECT_NEAR(small.x1 - small.x0, 320, 2) << rendered;  // 320 pixels print 3.2 inches wide
    EXPECT_NEAR((small.x0 + small.x1) / 2, left + width / 2, 2) << rendered;
    EXPECT_NEAR((small.y0 + small.y1) / 2, top + height / 2, 2) << rendered;
}

}  // namespace
