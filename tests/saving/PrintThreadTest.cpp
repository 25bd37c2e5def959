// The print thread on Wine's PostScript printer, writing to a file that ghostscript renders: pages
// in collated order, each showing its photo, large photos shrunk to the printable area and centred,
// a small one at its own size (GDI+ counts a printer's page in hundredths of an inch).
#include "JobMessageSink.h"
#include "PrintedPages.h"
#include "UnixTools.h"

#include "saving/JobStopFlag.h"
#include "saving/JobSync.h"
#include "saving/PrintPhotosThread.h"
#include "saving/PrintQueue.h"
#include "support/TestPrinter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <gdiplus.h>

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
    const PrintableArea area = printableArea(dc, 100);
    JobMessageSink sink;
    JobStopFlag stopFlag;
    auto params = std::make_unique<PrintPhotosParams>(5, sink.handle(), dc, 3, 2, true, &queue, &stopFlag);
    ASSERT_TRUE(startJobThread(printPhotosThreadProc, std::move(params)));
    ASSERT_TRUE(sink.waitFor([&] { return !sink.print.empty() && sink.print.back()->done; }));
    Gdiplus::GdiplusShutdown(token);
    ASSERT_EQ(sink.print.size(), 7u);
    EXPECT_EQ(sink.print.back()->failed, 0);
    EXPECT_FALSE(stopFlag.isSet());

    std::vector<std::wstring> files;
    for (const auto& entry : entries)
        files.push_back(entry->path);
    const PrintedJob job = renderPrintedJob(postscript, 100, L"print-thread", files);
    ASSERT_EQ(job.problem, "");
    ASSERT_EQ(job.order(), "0 1 2 0 1 2");

    const PrintedPage& wide = job.pages[0];
    EXPECT_NEAR(wide.right - wide.left, area.width, 2);  // fills the printable width
    EXPECT_NEAR((wide.top + wide.bottom) / 2, area.top + area.height / 2, 2);
    const PrintedPage& tall = job.pages[1];
    EXPECT_NEAR(tall.bottom - tall.top, area.height, 2);  // fills the printable height
    EXPECT_NEAR((tall.left + tall.right) / 2, area.left + area.width / 2, 2);
    const PrintedPage& small = job.pages[2];
    EXPECT_NEAR(small.right - small.left, 320, 2);  // 320 pixels print 3.2 inches wide
    EXPECT_NEAR((small.left + small.right) / 2, area.left + area.width / 2, 2);
    EXPECT_NEAR((small.top + small.bottom) / 2, area.top + area.height / 2, 2);
}

}  // namespace
