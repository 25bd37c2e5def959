// The download list's rules without a window: the Columns text, cell texts, row order, the overall
// progress and the layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "downloadcontrol/engine/FileList.h"
#include "downloadcontrol/ui/ColumnTable.h"
#include "downloadcontrol/ui/ListLayout.h"
#include "downloadcontrol/engine/OverallProgress.h"
#include "downloadcontrol/ui/RowOrder.h"
#include "downloadcontrol/ui/RowText.h"

namespace {

constexpr int64_t kSecond = 10000000;

TEST(ColumnTable, ColumnsTextPicksEachKnownIdOnceInOrder) {
    ColumnTable table;
    EXPECT_EQ(table.applyColumnsText(L"3;3;15;0"), (std::vector<int32_t>{3, 0}));
    EXPECT_EQ(table.columnsText(), L"3;0");
    EXPECT_EQ(table[3].position, 0);
    EXPECT_EQ(table[0].position, 1);
    EXPECT_EQ(table[1].position, -1);
    EXPECT_EQ(table.columnAt(1), 0);
    EXPECT_EQ(table.columnAt(2), -1);
    EXPECT_EQ(table.shownColumns(), (std::vector<int32_t>{3, 0}));

    // Pieces that are no column id are skipped; blanks around an id do not matter.
    EXPECT_EQ(table.applyColumnsText(L" 11 ;x;-1;;12;4;+2;02;1e1;99999999999;10"),
              (std::vector<int32_t>{11, 4, 10}));
    EXPECT_EQ(table.columnsText(), L"11;4;10");

    EXPECT_TRUE(table.applyColumnsText(L"").empty());
    EXPECT_EQ(table.columnsText(), L"");
    EXPECT_TRUE(table.shownColumns().empty());
    EXPECT_TRUE(table.applyColumnsText(L";;;").empty());
}

TEST(ColumnTable, DefaultTextRoundTripsAndDefaultsHold) {
    EXPECT_EQ(ColumnTable::defaultColumnsText(), L"0;1;2;3;4;5;6;7;8;9;10;11");
    ColumnTable table;
    table.applyColumnsText(ColumnTable::defaultColumnsText());
    EXPECT_EQ(table.columnsText(), ColumnTable::defaultColumnsText());
    const int32_t widths[kColumnCount] = {200, 80, 100, 100, 80, 100, 100, 100, 80, 200, 200, 70};
    for (int32_t id = 0; id < kColumnCount; ++id) {
        EXPECT_EQ(table[id].width, widths[id]) << id;
        EXPECT_EQ(table[id].position, id);
        EXPECT_FALSE(table[id].header.empty()) << id;
        EXPECT_EQ(ColumnTable::isLeftAligned(id), id == 9 || id == 10) << id;
    }
    EXPECT_FALSE(ColumnTable::isColumnId(-1));
    EXPECT_FALSE(ColumnTable::isColumnId(12));
}

class RowTextTest : public ::testing::Test {
protected:
    DownloadItem& add(const std::wstring& url, const std::wstring& size, const std::wstring& display = L"",
                      const std::wstring& savePath = L"", int32_t segments = 0) {
        AddFileRequest request;
        request.url = url;
        request.fileSize = size;
        request.displayFileName = display;
        request.savePath = savePath;
        request.segmentCount = segments;
        const int32_t id = files.addFile(request, errors);
        EXPECT_GE(id, 0) << url;
        return *files.find(id);
    }

    CriticalSection lock;
    FileList files{lock};
    LastErrorHolder errors;
};

TEST_F(RowTextTest, KnownSizes) {
    DownloadItem& item = add(L"http://h/dir/photo%201.jpg?x=1", L"1049600", L"Holiday", L"", 4);
    item.downloaded = 1025;
    item.remaining = item.size - item.downloaded;
    item.elapsed = 3605 * kSecond;
    item.remainingTime = 90061 * kSecond;  // a day, an hour, a minute and a second
    item.rate = 1234.567;
    item.state = DownloadStateTransferring;

    EXPECT_EQ(cellText(item, ColumnName), L"Holiday");
    EXPECT_EQ(cellText(item, ColumnSize), L"1,025 KB");
    EXPECT_EQ(cellText(item, ColumnDownloaded), L"2 KB");  // a started kilobyte counts
    EXPECT_EQ(cellText(item, ColumnPercentDone), L"0%");
    EXPECT_EQ(cellText(item, ColumnElapsed), L"01:00:05");
    EXPECT_EQ(cellText(item, ColumnRemaining), L"1,024 KB");
    EXPECT_EQ(cellText(item, ColumnPercentRemaining), L"100%");
    EXPECT_EQ(cellText(item, ColumnRemainingTime), L"25:01:01");
    EXPECT_EQ(cellText(item, ColumnRate), L"1,234.57 KB/s");
    EXPECT_EQ(cellText(item, ColumnNameFromUrl), L"photo%201.jpg?x=1");
    EXPECT_EQ(cellText(item, ColumnUrl), L"http://h/dir/photo%201.jpg?x=1");
    EXPECT_EQ(cellText(item, ColumnSegments), L"4");  // requested while no segment is planned
    EXPECT_EQ(cellText(item, 12), L"");
    EXPECT_EQ(cellText(item, -1), L"");

    item.downloaded = 524800;
    item.remaining = 524800;
    EXPECT_EQ(cellText(item, ColumnPercentDone), L"50%");
    EXPECT_EQ(cellText(item, ColumnPercentRemaining), L"50%");
    item.downloaded = 1024;
    EXPECT_EQ(cellText(item, ColumnDownloaded), L"1 KB");
    item.downloaded = 0;
    EXPECT_EQ(cellText(item, ColumnDownloaded), L"0 KB");
    EXPECT_EQ(cellText(item, ColumnRemainingTime), L"");  // nothing arrived yet: no estimate

    item.segments.push_back(std::make_unique<FileSegment>());
    item.segments.push_back(std::make_unique<FileSegment>());
    EXPECT_EQ(cellText(item, ColumnSegments), L"2");
}

TEST_F(RowTextTest, UnknownAndZeroSizes) {
    DownloadItem& unknown = add(L"http://h/a/b.bin", L"-1", L"", L"C:\\Saved\\Report.pdf");
    unknown.downloaded = 3000;
    unknown.elapsed = 5 * kSecond;
    EXPECT_EQ(cellText(unknown, ColumnName), L"Report.pdf");
    EXPECT_EQ(cellText(unknown, ColumnSize), L"Unknown");
    EXPECT_EQ(cellText(unknown, ColumnDownloaded), L"3 KB");
    EXPECT_EQ(cellText(unknown, ColumnRemaining), L"Unknown");
    EXPECT_EQ(cellText(unknown, ColumnPercentDone), L"");
    EXPECT_EQ(cellText(unknown, ColumnPercentRemaining), L"");
    EXPECT_EQ(cellText(unknown, ColumnRemainingTime), L"");
    EXPECT_EQ(cellText(unknown, ColumnRate), L"0.00 KB/s");
    EXPECT_EQ(cellText(unknown, ColumnSegments), L"3");

    DownloadItem& empty = add(L"http://h/a/empty.txt", L"0");
    EXPECT_EQ(cellText(empty, ColumnName), L"empty.txt");  // no display name, no save path
    EXPECT_EQ(cellText(empty, ColumnSize), L"0 KB");
    EXPECT_EQ(cellText(empty, ColumnPercentDone), L"");
    EXPECT_EQ(cellText(empty, ColumnRemainingTime), L"00:00:00");  // whole
}

TEST(RowText, ImagesFollowTheState) {
    EXPECT_EQ(rowImageFor(DownloadStateNew, 2), RowImageNew);
    EXPECT_EQ(rowImageFor(DownloadStateTransferring, 0), RowImageTransferring);
    EXPECT_EQ(rowImageFor(DownloadStateComplete, 1), RowImageComplete);
    EXPECT_EQ(rowImageFor(DownloadStateIncomplete, 1), 1);
    EXPECT_EQ(rowImageFor(DownloadStateIncomplete, 2), 2);
    EXPECT_EQ(rowImageFor(DownloadStateIncomplete, -1), RowImageNew);
    EXPECT_EQ(percentOf(1, 200), 1);  // 0.5 rounds up
    EXPECT_EQ(percentOf(1, 201), 0);
    EXPECT_EQ(percentOf(5, 0), -1);
    EXPECT_EQ(percentOf(5, -1), -1);
}

// Four files whose figures give every column a distinct order.
class RowOrderTest : public RowTextTest {
protected:
    void SetUp() override {
        DownloadItem& a = add(L"http://h/c/zeta.bin", L"4096", L"beta");
        a.downloaded = 1024;
        a.remaining = 3072;
        a.elapsed = 10 * kSecond;
        a.remainingTime = 30 * kSecond;
        a.rate = 1.5;
        a.segments.push_back(std::make_unique<FileSegment>());
        a.segments.push_back(std::make_unique<FileSegment>());

        DownloadItem& b = add(L"http://h/a/eta.bin", L"-1", L"", L"C:\\x\\Alpha.jpg", 5);
        b.downloaded = 5000;
        b.elapsed = 20 * kSecond;
        b.rate = 1.501;

        DownloadItem& c = add(L"http://h/d/theta.bin", L"0", L"Gamma", L"", 1);
        c.remaining = 0;
        c.remainingTime = kSecond;

        DownloadItem& d = add(L"http://h/b/alpha.bin", L"1099511627776", L"delta");
        d.downloaded = 549755813888;
        d.remaining = 549755813888;
        d.elapsed = 5 * kSecond;
        d.remainingTime = 100 * kSecond;
        d.rate = 1000.25;
        for (int i = 0; i < 3; ++i) {
            d.segments.push_back(std::make_unique<FileSegment>());
        }
    }

    // The ids (0 = a, 1 = b, ...) in the order the rows take.
    std::vector<int32_t> sorted(std::vector<LPARAM> rows, int32_t column, bool ascending) {
        const RowOrder order(files, column, ascending);
        std::stable_sort(rows.begin(), rows.end(),
                         [&](LPARAM x, LPARAM y) { return order.compare(x, y) < 0; });
        return std::vector<int32_t>(rows.begin(), rows.end());
    }
};

TEST_F(RowOrderTest, EqualFilesKeepTheirIdOrderAndRatesCompareInThousandths) {
    files.find(0)->rate = 2.0001;
    files.find(1)->rate = 2.0004;
    EXPECT_EQ(compareByColumn(*files.find(0), *files.find(1), ColumnRate), 0);
    EXPECT_EQ(sorted({1, 0}, ColumnRate, true), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(sorted({1, 0}, ColumnRate, false), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(compareByColumn(*files.find(0), *files.find(1), 99), 0);
}

TEST_F(RowOrderTest, RowsWithoutFilesNeverReachTheList) {
    // A row whose file was removed, ids that were never given and item data outside the id range all
    // sort after the listed files instead of being looked up.
    files.removeFile(2);
    const LPARAM huge = static_cast<LPARAM>(std::numeric_limits<int32_t>::max()) + 5;
    const std::vector<int32_t> order = sorted({2, huge, 3, -7, 0, 1}, ColumnSize, true);
    EXPECT_EQ(std::vector<int32_t>(order.begin(), order.begin() + 3), (std::vector<int32_t>{1, 0, 3}));
    EXPECT_EQ(order[3], -7);
    EXPECT_EQ(order[4], 2);

    const RowOrder order2(files, ColumnName, false);
    EXPECT_EQ(order2.compare(2, 2), 0);
    EXPECT_GT(order2.compare(2, 0), 0);
    EXPECT_LT(order2.compare(0, 2), 0);
    EXPECT_EQ(RowOrder::compareRows(0, 1, reinterpret_cast<LPARAM>(&order2)), order2.compare(0, 1));

    files.clear();
    const RowOrder empty(files, ColumnPercentDone, true);
    EXPECT_LT(empty.compare(0, 1), 0);
    EXPECT_GT(empty.compare(3, 1), 0);
}

TEST(OverallProgress, SetMovesEitherWayAdditionsOnlyForward) {
    EXPECT_EQ(OverallProgress::positionFor(0.5), 32765);
    EXPECT_EQ(OverallProgress::positionFor(1), kProgressBarRange);
    EXPECT_EQ(OverallProgress::positionFor(7), kProgressBarRange);
    EXPECT_EQ(OverallProgress::positionFor(-1), 0);
    EXPECT_EQ(OverallProgress::positionFor(std::nan("")), 0);

    OverallProgress progress;
    progress.set(0.5);
    EXPECT_EQ(progress.position(), 32765);
    EXPECT_FALSE(progress.add(-0.1));
    EXPECT_EQ(progress.position(), 32765);
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.4);
    // The fraction went back, so the bar waits until it passes its old place.
    EXPECT_FALSE(progress.add(0.05));
    EXPECT_EQ(progress.position(), 32765);
    EXPECT_TRUE(progress.add(0.1));
    EXPECT_EQ(progress.position(), OverallProgress::positionFor(0.55));
    EXPECT_TRUE(progress.add(5));
    EXPECT_EQ(progress.position(), kProgressBarRange);
    EXPECT_DOUBLE_EQ(progress.fraction(), 1);
    EXPECT_FALSE(progress.add(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(progress.add(std::nan("")));
    EXPECT_DOUBLE_EQ(progress.fraction(), 1);

    progress.set(0.2);
    EXPECT_EQ(progress.position(), 13106);
    progress.set(std::nan(""));
    EXPECT_EQ(progress.position(), 0);
}

TEST(ListLayout, SmallWindowsAndSettings) {
    ProgressBarSettings bar;
    bar.set(false, -1, -1);  // hidden; margin and height kept
    EXPECT_EQ(bar.topMargin, 4);
    EXPECT_EQ(bar.height, 16);
    ListLayout layout = layoutList(400, 300, bar);
    EXPECT_EQ(layout.list.bottom, 300);
    EXPECT_EQ(layout.bar.bottom - layout.bar.top, 0);

    // A window smaller than the bar and its margin gives nothing a negative size.
    bar.set(true, 0x7FFFFFFF, 50);
    layout = layoutList(100, 30, bar);
    EXPECT_EQ(layout.list.bottom, 0);
    EXPECT_EQ(layout.bar.top, 0);
    EXPECT_EQ(layout.bar.bottom, 30);

    int32_t value = 0;
    EXPECT_TRUE(bar.field(ProgressBarVisible, value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(bar.field(ProgressBarHeight, value));
    EXPECT_EQ(value, 50);
    EXPECT_FALSE(bar.field(3, value));
    EXPECT_FALSE(bar.field(-1, value));
}

}  // namespace
