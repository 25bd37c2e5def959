#pragma once
// The visible part of the download control: a report list with one row per queued file and up to twelve
// columns, and under it an optional bar of the run's overall progress.
//
// The control object makes one DownloadListView over its file list and forwards its column, colour and
// progress-bar members here; it creates the two child windows when its own window is created (inside
// its activation context), and passes on its size, focus and notification messages. The engine asks
// for rows to be refreshed and removed and moves the overall bar. Everything except the windows works
// before they exist (and after they are gone): the settings are kept and applied when they are made.
//
// A row is tied to its file by the file's id, kept as the row's item data: sorting reorders rows
// freely, and every refresh and removal finds its row by id. All calls come on the control's thread;
// the file list is read under its lock (the control lock), which the engine's threads also take.
#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>
#include <ocidl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/engine/FileList.h"
#include "downloadcontrol/ui/ColumnTable.h"
#include "downloadcontrol/ui/ListLayout.h"
#include "downloadcontrol/ui/ListViewWindow.h"
#include "downloadcontrol/engine/OverallProgress.h"
#include "downloadcontrol/ui/RowImages.h"

class DownloadListView {
public:
    static constexpr int kListChildId = 201;
    static constexpr int kProgressBarChildId = 203;
    static constexpr int kProgressBarWidth = 150;  // until the first layout

    // The overall progress is the engine's, shown by the bar.
    DownloadListView(FileList& files, const OverallProgress& progress);
    ~DownloadListView();
    DownloadListView(const DownloadListView&) = delete;
    DownloadListView& operator=(const DownloadListView&) = delete;

    // ---- Windows ----

    // Creates the list and the progress bar as children of `parent` and lays them out in its client
    // area: the host's colours, `font` (may be null), the columns, the row pictures from bitmap 202 of
    // `resources`, a row for every listed file, enabled as `enabled`. The caller activates the context
    // that selects the common controls. False when the list cannot be made.
    bool create(HWND parent, HINSTANCE resources, HFONT font, bool enabled);
    // Destroys both windows; the settings and the progress stay. Also right for the parent's WM_DESTROY.
    void destroy();
    HWND listWindow() const { return list_.handle(); }
    HWND progressBarWindow() const { return progressBar_; }
    // The download list that owns a list window (kept in the window's user data), or null.
    static DownloadListView* fromListWindow(HWND window);

    // ---- Messages of the parent window ----

    // WM_SIZE: the new client size.
    void layout(int32_t width, int32_t height);
    // WM_NOTIFY from the list: header clicks sort, and rows never stay selected. True when handled.
    bool onNotify(const NMHDR& notification);
    // WM_SETFOCUS of the control's window, with the window that lost the focus. The first row takes the
    // focus state when no row has it, and the list takes the keyboard focus, except that a Tab out of the
    // list moves on to the host's next control.
    void onSetFocus(HWND controlWindow, HWND previousFocus);
    // The control's font (not owned; the caller keeps it alive while the list uses it).
    void setFont(HFONT font);
    void setEnabled(bool enabled);

    // ---- Columns ----

    // The canonical `Columns` text.
    const std::wstring& columnsText() const { return columns_.columnsText(); }
    // Shows the columns a `Columns` text names, in its order, and fills the rows again.
    void setColumnsText(std::wstring_view text);
    // SetColumn: a non-empty header replaces the column's header; a width above 0 is stored and applied,
    // 0 sizes a shown column to its contents (the stored width stays), below 0 changes nothing. An
    // unknown column id is ignored.
    void setColumn(int32_t columnId, const std::wstring& headerText, int32_t width);
    // GetColumn: the header (field 0) or the width as decimal text (field 1; the live width of a shown
    // column). An unknown column sets error 39, an unknown field 40; both give an empty text.
    std::wstring column(int32_t columnId, int32_t field, LastErrorHolder& errors) const;

    // ---- Colours ----

    // The colour an OLE_COLOR stands for; false when it stands for none.
    static bool translateColor(OLE_COLOR color, COLORREF& result);
    COLORREF textColor() const { return textColor_; }
    COLORREF backColor() const { return backColor_; }
    // Stores the colour as set by the host and applies it to the list.
    void setTextColor(COLORREF color);
    void setBackColor(COLORREF color);

    // ---- Sorting ----

    // A click on a column's header: a new column sorts ascending, the same column again reverses.
    void sortBy(int32_t columnId);
    int32_t sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }

    // ---- Overall progress bar ----

    // SetProgressBar: a negative margin or height keeps the old value; applied at once.
    void setProgressBar(bool visible, int32_t topMargin, int32_t height);
    // GetProgressBar: visible (0 or 1), top margin or height; an unknown field sets error 38 and gives -1.
    int32_t progressBar(int32_t field, LastErrorHolder& errors) const;
    const ProgressBarSettings& progressBarSettings() const { return barSettings_; }

    // Moves the bar to the overall progress's position.
    void showOverallProgress();
    int32_t progressPosition() const { return progress_.position(); }

    // ---- Rows ----

    // Shows a file's current figures in its row, appending the row when the file has none. Nothing
    // happens for an id that is not listed.
    void refreshRow(int32_t fileId);
    // The same for the file at a list index (the engine's running list counts by index).
    void refreshRowAt(std::size_t listIndex);
    // Deletes a file's row (the rows after it move up).
    void removeRow(int32_t fileId);
    // Deletes every row whose file is no longer listed.
    void removeRowsWithoutFiles();
    void removeAllRows();
    // Deletes every row and appends one per listed file, in list order.
    void refillRows();
    // Every row and every file gone, file ids from 0 again (the engine's ClearFiles also takes the
    // overall progress back to 0).
    void clearFiles();

private:
    void insertShownColumns();
    // Appends a row for every listed file.
    void fillRows();
    void refreshRowLocked(const DownloadItem& item);
    void relayout();

    FileList& files_;
    const OverallProgress& progress_;
    ColumnTable columns_;
    COLORREF textColor_;
    COLORREF backColor_;
    bool textColorSet_ = false;
    bool backColorSet_ = false;
    int32_t sortColumn_ = -1;
    bool sortAscending_ = true;
    HFONT font_ = nullptr;
    bool enabled_ = true;
    ProgressBarSettings barSettings_;

    HWND parent_ = nullptr;
    RowImages images_;
    ListViewWindow list_;
    HWND progressBar_ = nullptr;
};
