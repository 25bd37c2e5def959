#pragma once
// The report-style list window of the download list: a system list view child, created and destroyed
// by this object, with typed calls for the messages the download list sends it. Rows carry their
// file's id as item data.
#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

class ListViewWindow {
public:
    ListViewWindow() = default;
    ~ListViewWindow() { destroy(); }
    ListViewWindow(const ListViewWindow&) = delete;
    ListViewWindow& operator=(const ListViewWindow&) = delete;

    // A report-style list as child `childId` of `parent`; false (GetLastError tells why) when the
    // system cannot make it.
    bool create(HWND parent, int childId);
    // Destroys the window if it still exists.
    void destroy();
    // Forgets a window that went away with its parent.
    void forget() { window_ = nullptr; }
    HWND handle() const { return window_; }
    bool exists() const { return window_ != nullptr; }

    // Columns, by list position.
    bool insertColumn(int32_t position, const std::wstring& header, int32_t width, bool leftAligned);
    void deleteAllColumns();
    int32_t columnCount() const;
    void setColumnWidth(int32_t position, int32_t width);  // or LVSCW_AUTOSIZE
    int32_t columnWidth(int32_t position) const;
    void setColumnHeader(int32_t position, const std::wstring& header);
    std::wstring columnHeader(int32_t position) const;

    // Rows.
    int32_t rowCount() const;
    // The row of a file, -1 when it has none.
    int32_t findRow(int32_t fileId) const;
    // The file id of a row, -1 for a row that does not exist.
    int32_t rowFileId(int32_t row) const;
    // Appends a row for a file; its index, -1 on failure.
    int32_t appendRow(int32_t fileId, int32_t image);
    int32_t rowImage(int32_t row) const;
    void setRowImage(int32_t row, int32_t image);
    std::wstring cellText(int32_t row, int32_t position) const;
    // Sets a cell's text when it differs from what the cell shows, so that steady figures do not flicker.
    void setCellText(int32_t row, int32_t position, const std::wstring& text);
    void deleteRow(int32_t row);
    void deleteAllRows();
    void sortRows(PFNLVCOMPARE compare, LPARAM context);

    // Row states.
    void clearSelection();
    bool anyRowFocused() const;
    void setRowFocused(int32_t row);

    // Looks.
    void setRedraw(bool redraw);
    void setTextColor(COLORREF color);
    void setBackColor(COLORREF color);
    COLORREF textColor() const;
    COLORREF backColor() const;
    COLORREF textBackColor() const;
    void setSmallImages(HIMAGELIST images);

private:
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND window_ = nullptr;
};
