// The download list in real windows: a plain top-level window stands in for the control's window and
// passes its size and notification messages on, as the control does.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "downloadcontrol/ActivationContext.h"
#include "downloadcontrol/engine/FileList.h"
#include "downloadcontrol/ui/DownloadListView.h"
#include "downloadcontrol/ui/RowText.h"
#include "listview/ListRows.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

using namespace listrows;

namespace {

constexpr int64_t kSecond = 10000000;
constexpr wchar_t kHostClass[] = L"PxhlListViewTestHost";

// The window the list lives in; its user data points at the DownloadListView.
LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<DownloadListView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view) {
        switch (message) {
        case WM_SIZE:
            view->layout(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_NOTIFY:
            if (view->onNotify(*reinterpret_cast<const NMHDR*>(lParam))) {
                return 0;
            }
            break;
        case WM_DESTROY:
            view->destroy();
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class DownloadListViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = hostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kHostClass;
        RegisterClassW(&windowClass);

        // The test program carries the control's resources: its manifest for version 6 of the common
        // controls and the row pictures.
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        context = new ActivationContext();
        context->create(GetModuleHandleW(nullptr), path, 1000);
    }

    static void TearDownTestSuite() {
        delete context;
        context = nullptr;
    }

    void SetUp() override {
        host = CreateWindowExW(0, kHostClass, L"Downloads", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 900,
                               320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host, nullptr);
        SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&view));
    }

    void TearDown() override {
        if (host) {
            DestroyWindow(host);
        }
        pump();
    }

    void createView() {
        ScopedActivation activation(*context);
        ASSERT_TRUE(view.create(host, GetModuleHandleW(nullptr),
                                static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), true));
        list = view.listWindow();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(DownloadListView::fromListWindow(list), &view);
    }

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
        view.refreshRow(id);
        return *files.find(id);
    }

    // Four files whose figures give every column a distinct order (ids 0 to 3).
    void addFourFiles() {
        DownloadItem& a = add(L"http://h/c/zeta.bin", L"4096", L"beta");
        a.downloaded = 1024;
        a.remaining = 3072;
        a.elapsed = 10 * kSecond;
        a.remainingTime = 30 * kSecond;
        a.rate = 1.5;
        a.state = DownloadStateTransferring;
        a.segments.push_back(std::make_unique<FileSegment>());
        a.segments.push_back(std::make_unique<FileSegment>());

        DownloadItem& b = add(L"http://h/a/eta.bin", L"-1", L"", L"C:\\x\\Alpha.jpg", 5);
        b.downloaded = 5000;
        b.elapsed = 20 * kSecond;
        b.rate = 1.501;
        b.state = DownloadStateIncomplete;

        DownloadItem& c = add(L"http://h/d/theta.bin", L"0", L"Gamma", L"", 1);
        c.remaining = 0;
        c.remainingTime = kSecond;

        DownloadItem& d = add(L"http://h/b/alpha.bin", L"1099511627776", L"delta");
        d.downloaded = 549755813888;
        d.remaining = 549755813888;
        d.elapsed = 5 * kSecond;
        d.remainingTime = 100 * kSecond;
        d.rate = 1000.25;
        d.state = DownloadStateComplete;
        for (int i = 0; i < 3; ++i) {
            d.segments.push_back(std::make_unique<FileSegment>());
        }
        for (int32_t id = 0; id < 4; ++id) {
            view.refreshRow(id);
        }
    }

    // A click on the header of the column at a list position, as the list reports it.
    void clickHeader(int32_t position) {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = DownloadListView::kListChildId;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = position;
        SendMessageW(host, WM_NOTIFY, DownloadListView::kListChildId, reinterpret_cast<LPARAM>(&click));
    }

    std::vector<int32_t> rowIds() const {
        std::vector<int32_t> ids;
        for (int32_t row = 0; row < rowCount(list); ++row) {
            ids.push_back(rowFileId(list, row));
        }
        return ids;
    }

    // Every row shows the figures of the file whose id it carries.
    void expectRowsMatchTheirFiles() {
        CriticalSectionLock lock(files.lock());
        for (int32_t row = 0; row < rowCount(list); ++row) {
            const DownloadItem* item = files.find(rowFileId(list, row));
            ASSERT_NE(item, nullptr) << "row " << row;
            for (int32_t position = 0; position < kColumnCount; ++position) {
                EXPECT_EQ(cell(list, row, position), cellText(*item, position))
                    << "row " << row << " column " << position;
            }
        }
    }

    std::vector<std::wstring> headers() const {
        const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        std::vector<std::wstring> texts;
        const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t buffer[128] = {};
            HDITEMW item = {};
            item.mask = HDI_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 128;
            SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            texts.push_back(buffer);
        }
        return texts;
    }

    RECT childRect(HWND child) const {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static ActivationContext* context;
    CriticalSection controlLock;
    FileList files{controlLock};
    LastErrorHolder errors;
    OverallProgress progress;
    DownloadListView view{files, progress};
    HWND host = nullptr;
    HWND list = nullptr;
};

ActivationContext* DownloadListViewTest::context = nullptr;

TEST_F(DownloadListViewTest, ColumnsTextShowsItsColumnsAndRoundTrips) {
    createView();
    addFourFiles();
    EXPECT_EQ(view.columnsText(), L"0;1;2;3;4;5;6;7;8;9;10;11");
    EXPECT_EQ(headers().size(), 12u);

    view.setColumnsText(L"3;3;15;0");
    EXPECT_EQ(view.columnsText(), L"3;0");
    EXPECT_EQ(headers(), (std::vector<std::wstring>{view.column(3, 0, errors), view.column(0, 0, errors)}));
    ASSERT_EQ(rowCount(list), 4);  // the rows are filled again
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(cell(list, 0, 0), L"25%");
    EXPECT_EQ(cell(list, 0, 1), L"beta");
    EXPECT_EQ(cell(list, 1, 0), L"");  // unknown size: no percentage
    EXPECT_EQ(cell(list, 1, 1), L"Alpha.jpg");

    view.setColumnsText(L"");
    EXPECT_EQ(view.columnsText(), L"");
    EXPECT_TRUE(headers().empty());
    EXPECT_EQ(rowCount(list), 4);

    view.setColumnsText(L"10;9");
    EXPECT_EQ(view.columnsText(), L"10;9");
    EXPECT_EQ(cell(list, 2, 0), L"http://h/d/theta.bin");
    EXPECT_EQ(cell(list, 2, 1), L"theta.bin");
    HDITEMW format = {};
    format.mask = HDI_FORMAT;
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMW, 1,
                 reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.fmt & HDF_JUSTIFYMASK, HDF_LEFT);

    view.setColumnsText(ColumnTable::defaultColumnsText());
    EXPECT_EQ(view.columnsText(), ColumnTable::defaultColumnsText());
    expectRowsMatchTheirFiles();
}

TEST_F(DownloadListViewTest, ColumnsSetBeforeTheWindowApplyWhenItIsMade) {
    view.setColumnsText(L"9;2");
    view.setColumn(2, L"Got", 55);
    add(L"http://h/x/one.bin", L"2048");
    EXPECT_EQ(view.column(2, 1, errors), L"55");
    createView();
    EXPECT_EQ(headers(), (std::vector<std::wstring>{view.column(9, 0, errors), L"Got"}));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 55);
    ASSERT_EQ(rowCount(list), 1);
    EXPECT_EQ(cell(list, 0, 0), L"one.bin");
    EXPECT_EQ(cell(list, 0, 1), L"0 KB");
}

TEST_F(DownloadListViewTest, SetColumnAndGetColumn) {
    createView();
    view.setColumnsText(L"0;1");
    const std::wstring header = view.column(1, 0, errors);
    view.setColumn(1, L"", -1);  // changes nothing
    EXPECT_EQ(view.column(1, 0, errors), header);
    EXPECT_EQ(view.column(1, 1, errors), L"80");

    view.setColumn(1, L"Bytes", 120);
    EXPECT_EQ(headers()[1], L"Bytes");
    EXPECT_EQ(view.column(1, 0, errors), L"Bytes");
    EXPECT_EQ(view.column(1, 1, errors), L"120");
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 120);

    // A hidden column stores what it is given; it shows when chosen.
    view.setColumn(8, L"Speed", 66);
    EXPECT_EQ(view.column(8, 1, errors), L"66");
    EXPECT_EQ(headers().size(), 2u);

    // Width 0 sizes a shown column to its contents; the live width is reported, the stored one stays.
    view.setColumn(0, L"N", 0);
    const LRESULT live = SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0);
    EXPECT_NE(live, 200);
    EXPECT_EQ(view.column(0, 1, errors), std::to_wstring(live));
    view.setColumnsText(L"1;0");
    EXPECT_EQ(view.column(0, 1, errors), L"200");
    EXPECT_EQ(headers(), (std::vector<std::wstring>{L"Bytes", L"N"}));

    view.setColumn(12, L"Nope", 50);  // ignored
    view.setColumn(-1, L"Nope", 50);
    EXPECT_EQ(errors.error(), ErrNone);

    EXPECT_EQ(view.column(12, 0, errors), L"");
    EXPECT_EQ(errors.error(), ErrColumnId);
    EXPECT_EQ(view.column(-1, 1, errors), L"");
    EXPECT_EQ(errors.error(), ErrColumnId);
    EXPECT_EQ(view.column(0, 2, errors), L"");
    EXPECT_EQ(errors.error(), ErrColumnField);
    EXPECT_EQ(view.column(0, -1, errors), L"");
    EXPECT_EQ(errors.error(), ErrColumnField);
}

TEST_F(DownloadListViewTest, ColoursDefaultToTheSystemsAndApplyWhenSet) {
    EXPECT_EQ(view.textColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(view.backColor(), GetSysColor(COLOR_WINDOW));
    COLORREF color = 0;
    ASSERT_TRUE(DownloadListView::translateColor(0x80000000 | COLOR_HIGHLIGHT, color));
    EXPECT_EQ(color, GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_TRUE(DownloadListView::translateColor(RGB(1, 2, 3), color));
    EXPECT_EQ(color, RGB(1, 2, 3));
    EXPECT_FALSE(DownloadListView::translateColor(0x7F000000, color));

    view.setTextColor(RGB(200, 10, 10));  // before the window: applied when it is made
    createView();
    EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(200, 10, 10)));
    view.setBackColor(RGB(250, 250, 230));
    EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(250, 250, 230)));
    EXPECT_EQ(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(250, 250, 230)));
    EXPECT_EQ(view.backColor(), RGB(250, 250, 230));
}

TEST_F(DownloadListViewTest, SortingByEveryColumnBothWaysKeepsRowsWithTheirFiles) {
    createView();
    addFourFiles();
    struct Expected {
        int32_t column;
        std::vector<int32_t> ascending;
        std::vector<int32_t> descending;
    };
    const Expected expected[] = {
        {ColumnName, {1, 0, 3, 2}, {2, 3, 0, 1}},
        {ColumnSize, {1, 2, 0, 3}, {3, 0, 2, 1}},
        {ColumnDownloaded, {2, 0, 1, 3}, {3, 1, 0, 2}},
        {ColumnPercentDone, {0, 3, 1, 2}, {1, 2, 3, 0}},
        {ColumnElapsed, {2, 3, 0, 1}, {1, 0, 3, 2}},
        {ColumnRemaining, {1, 2, 0, 3}, {3, 0, 2, 1}},
        {ColumnPercentRemaining, {3, 0, 1, 2}, {1, 2, 0, 3}},
        {ColumnRemainingTime, {1, 2, 0, 3}, {3, 0, 2, 1}},
        {ColumnRate, {2, 0, 1, 3}, {3, 1, 0, 2}},
        {ColumnNameFromUrl, {3, 1, 2, 0}, {0, 2, 1, 3}},
        {ColumnUrl, {1, 3, 0, 2}, {2, 0, 3, 1}},
        {ColumnSegments, {2, 0, 3, 1}, {1, 3, 0, 2}},
    };
    for (const Expected& e : expected) {
        clickHeader(e.column);  // the default columns stand at their ids
        EXPECT_EQ(view.sortColumn(), e.column);
        EXPECT_TRUE(view.sortAscending());
        EXPECT_EQ(rowIds(), e.ascending) << "column " << e.column;
        expectRowsMatchTheirFiles();
        clickHeader(e.column);
        EXPECT_FALSE(view.sortAscending());
        EXPECT_EQ(rowIds(), e.descending) << "column " << e.column;
        expectRowsMatchTheirFiles();
    }

    // With the columns in another order, a click sorts by the column at that place.
    view.setColumnsText(L"11;0");
    clickHeader(1);
    EXPECT_EQ(view.sortColumn(), ColumnName);
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{1, 0, 3, 2}));
    clickHeader(5);  // no column there
    EXPECT_EQ(view.sortColumn(), ColumnName);
}

TEST_F(DownloadListViewTest, RefreshesAndRemovalsFindTheirRowsAfterASort) {
    createView();
    addFourFiles();
    clickHeader(ColumnName);
    clickHeader(ColumnName);  // descending: Gamma, delta, beta, Alpha.jpg
    ASSERT_EQ(rowIds(), (std::vector<int32_t>{2, 3, 0, 1}));

    // New figures of the first file reach its row, which is now the third.
    {
        CriticalSectionLock lock(files.lock());
        DownloadItem* a = files.find(0);
        a->downloaded = 4096;
        a->remaining = 0;
        a->state = DownloadStateComplete;
    }
    view.refreshRow(0);
    EXPECT_EQ(cell(list, 2, ColumnDownloaded), L"4 KB");
    EXPECT_EQ(cell(list, 2, ColumnPercentDone), L"100%");
    EXPECT_EQ(rowImage(list, 2), RowImageComplete);
    EXPECT_EQ(cell(list, 0, ColumnPercentDone), L"");  // Gamma's row is untouched
    expectRowsMatchTheirFiles();

    // The engine's refresh by list index finds the same file's row.
    {
        CriticalSectionLock lock(files.lock());
        files.find(1)->downloaded = 10240;
    }
    view.refreshRowAt(1);
    EXPECT_EQ(cell(list, 3, ColumnDownloaded), L"10 KB");
    view.refreshRowAt(99);
    expectRowsMatchTheirFiles();

    // Removing a file deletes its own row, wherever the sort put it.
    ASSERT_EQ(files.removeFile(3), 3);
    view.removeRow(3);
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{2, 0, 1}));
    expectRowsMatchTheirFiles();
    view.removeRow(3);  // already gone: nothing happens
    EXPECT_EQ(rowCount(list), 3);

    // A removal reported only by its old list index: the rows whose files went are found.
    ASSERT_EQ(files.removeFile(0), 0);
    view.removeRowsWithoutFiles();
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{2, 1}));
    expectRowsMatchTheirFiles();

    // Later files keep their ids and their rows; sorting after removals compares the right files.
    add(L"http://h/e/new.bin", L"100", L"aardvark");
    clickHeader(ColumnName);
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{4, 1, 2}));
    expectRowsMatchTheirFiles();
}

TEST_F(DownloadListViewTest, SortingWithARowWhoseFileIsGone) {
    createView();
    addFourFiles();
    ASSERT_EQ(files.removeFile(1), 1);  // the row stays behind
    clickHeader(ColumnSize);
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{2, 0, 3, 1}));
    clickHeader(ColumnSize);
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{3, 0, 2, 1}));
    view.refreshRow(1);  // no file, no change
    EXPECT_EQ(rowCount(list), 4);
    view.removeRowsWithoutFiles();
    EXPECT_EQ(rowIds(), (std::vector<int32_t>{3, 0, 2}));
}

TEST_F(DownloadListViewTest, RowsNeverStaySelectedAndTheFirstRowTakesTheFocus) {
    createView();
    addFourFiles();
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);

    ShowWindow(host, SW_SHOWNORMAL);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
    view.onSetFocus(host, nullptr);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(DownloadListViewTest, OverallBarSetAndAddedTo) {
    createView();
    const HWND bar = view.progressBarWindow();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetDlgCtrlID(bar), DownloadListView::kProgressBarChildId);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), kProgressBarRange);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), 0);

    progress.set(0.5);
    view.showOverallProgress();
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 32765);
    progress.add(0.25);
    view.showOverallProgress();
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), OverallProgress::positionFor(0.75));
    progress.set(0.2);  // setting may move it back
    view.showOverallProgress();
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 13106);
    EXPECT_EQ(view.progressPosition(), 13106);

    // The position is the engine's: new windows show it.
    view.destroy();
    EXPECT_EQ(view.progressBarWindow(), nullptr);
    progress.add(0.1);
    createView();
    EXPECT_EQ(SendMessageW(view.progressBarWindow(), PBM_GETPOS, 0, 0), OverallProgress::positionFor(0.3));

    // ClearFiles takes the rows and the files.
    addFourFiles();
    view.clearFiles();
    EXPECT_EQ(rowCount(list), 0);
    EXPECT_EQ(files.size(), 0u);
    EXPECT_EQ(files.nextFileId(), 0);
}

TEST_F(DownloadListViewTest, LayoutWithAndWithoutTheBar) {
    createView();
    RECT client{};
    GetClientRect(host, &client);
    const LONG width = client.right;
    const LONG height = client.bottom;
    ASSERT_GT(height, 60);

    EXPECT_EQ(view.progressBar(ProgressBarVisible, errors), 1);
    view.setProgressBar(true, 6, 18);
    EXPECT_EQ(view.progressBar(ProgressBarTopMargin, errors), 6);
    EXPECT_EQ(view.progressBar(ProgressBarHeight, errors), 18);
    RECT listRect = childRect(list);
    RECT barRect = childRect(view.progressBarWindow());
    EXPECT_TRUE(IsWindowVisible(view.progressBarWindow()) || !IsWindowVisible(host));
    EXPECT_EQ(GetWindowLongW(view.progressBarWindow(), GWL_STYLE) & WS_VISIBLE,
              static_cast<LONG>(WS_VISIBLE));
    EXPECT_EQ(listRect.left, 0);
    EXPECT_EQ(listRect.top, 0);
    EXPECT_EQ(listRect.right, width);
    EXPECT_EQ(listRect.bottom, height - 6 - 18);
    EXPECT_EQ(barRect.left, 0);
    EXPECT_EQ(barRect.top, height - 18);
    EXPECT_EQ(barRect.right, width);
    EXPECT_EQ(barRect.bottom, height);

    view.setProgressBar(false, -1, -1);  // hidden; margin and height kept
    EXPECT_EQ(view.progressBar(ProgressBarVisible, errors), 0);
    EXPECT_EQ(view.progressBar(ProgressBarHeight, errors), 18);
    EXPECT_EQ(GetWindowLongW(view.progressBarWindow(), GWL_STYLE) & WS_VISIBLE, 0);
    listRect = childRect(list);
    EXPECT_EQ(listRect.bottom, height);
    EXPECT_EQ(listRect.right, width);

    // A resize of the host lays out again.
    view.setProgressBar(true, 0, 10);
    SetWindowPos(host, nullptr, 0, 0, 600, 250, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host, &client);
    EXPECT_EQ(childRect(list).bottom, client.bottom - 10);
    EXPECT_EQ(childRect(view.progressBarWindow()).top, client.bottom - 10);

    EXPECT_EQ(errors.error(), ErrNone);
    EXPECT_EQ(view.progressBar(3, errors), -1);
    EXPECT_EQ(errors.error(), ErrProgressBarField);
    EXPECT_EQ(view.progressBar(-1, errors), -1);
}

TEST_F(DownloadListViewTest, PictureOfARunningDownload) {
    createView();
    view.setProgressBar(true, 4, 16);
    const struct {
        const wchar_t* url;
        const wchar_t* size;
        int64_t downloaded;
        int64_t seconds;
        double rate;
        DownloadState state;
        int32_t segments;
    } rows[] = {
        {L"http://127.0.0.1:8080/media/sunset-over-the-bay.jpg", L"3481250", 3481250, 4, 849.9,
         DownloadStateComplete, 1},
        {L"https://127.0.0.1:8443/media/harbour-walk.mp4", L"52428800", 19922944, 12, 1621.3,
         DownloadStateTransferring, 3},
        {L"ftp://127.0.0.1:2121/pub/archive-2019.zip", L"-1", 7340032, 9, 796.4, DownloadStateTransferring,
         1},
        {L"http://127.0.0.1:8080/media/market-day.jpg", L"2250000", 0, 0, 0, DownloadStateNew, 1},
        {L"ftps://127.0.0.1:990/pub/field-notes.pdf", L"918000", 300000, 2, 146.5, DownloadStateIncomplete,
         2},
    };
    for (const auto& row : rows) {
        DownloadItem& item = add(row.url, row.size, L"", L"", row.segments);
        CriticalSectionLock lock(files.lock());
        item.downloaded = row.downloaded;
        item.remaining = item.size < 0 ? -1 : item.size - row.downloaded;
        item.elapsed = row.seconds * kSecond;
        item.rate = row.rate;
        item.state = row.state;
        if (item.size > 0 && row.downloaded > 0 && row.seconds > 0) {
            item.remainingTime = item.remaining * row.seconds * kSecond / row.downloaded;
        }
        for (int32_t i = 0; i < row.segments && row.state != DownloadStateNew; ++i) {
            item.segments.push_back(std::make_unique<FileSegment>());
        }
    }
    for (int32_t id = 0; id < 5; ++id) {
        view.refreshRow(id);
    }
    progress.set(0.42);
    view.showOverallProgress();
    ShowWindow(host, SW_SHOWNORMAL);
    UpdateWindow(host);
    SetForegroundWindow(host);
    for (int i = 0; i < 20; ++i) {
        pump();
        Sleep(25);
    }
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();

    EXPECT_TRUE(testsupport::ScreenCapture::ofWindow(host).saveArtifact(L"download-list.png"));
    EXPECT_EQ(rowCount(list), 5);
    EXPECT_EQ(rowImage(list, 1), RowImageTransferring);
    EXPECT_EQ(rowImage(list, 0), RowImageComplete);
    EXPECT_EQ(rowImage(list, 3), RowImageNew);
    EXPECT_TRUE(context->valid());
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
}

}  // namespace
