#include "downloadcontrol/ui/ListViewWindow.h"

#include <vector>

#include "downloadcontrol/ControlUtilities.h"

bool ListViewWindow::create(HWND parent, int childId) {
    destroy();
    // The list does not destroy the image list: the download list owns it and outlives the window.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS;
    window_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), moduleInstance(), nullptr);
    if (!window_) {
        return false;
    }
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    return true;
}

void ListViewWindow::destroy() {
    if (window_ && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    window_ = nullptr;
}

LRESULT ListViewWindow::send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return window_ ? SendMessageW(window_, message, wParam, lParam) : 0;
}

// ---- Columns ----

bool ListViewWindow::insertColumn(int32_t position, const std::wstring& header, int32_t width,
                                  bool leftAligned) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = leftAligned ? LVCFMT_LEFT : LVCFMT_RIGHT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(header.c_str());
    column.iSubItem = position;
    return send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&column)) >= 0;
}

void ListViewWindow::deleteAllColumns() {
    for (int32_t count = columnCount(); count > 0; --count) {
        if (!send(LVM_DELETECOLUMN, static_cast<WPARAM>(count - 1))) {
            break;
        }
    }
}

int32_t ListViewWindow::columnCount() const {
    const HWND header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    return header ? static_cast<int32_t>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void ListViewWindow::setColumnWidth(int32_t position, int32_t width) {
    send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(position), MAKELPARAM(width, 0));
}

int32_t ListViewWindow::columnWidth(int32_t position) const {
    return static_cast<int32_t>(send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(position)));
}

void ListViewWindow::setColumnHeader(int32_t position, const std::wstring& header) {
    const HWND headerWindow = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    if (!headerWindow) {
        return;
    }
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<wchar_t*>(header.c_str());
    item.cchTextMax = static_cast<int>(header.size());
    SendMessageW(headerWindow, HDM_SETITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
}

std::wstring ListViewWindow::columnHeader(int32_t position) const {
    const HWND headerWindow = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    if (!headerWindow) {
        return std::wstring();
    }
    wchar_t buffer[260] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(sizeof(buffer) / sizeof(buffer[0]));
    if (!SendMessageW(headerWindow, HDM_GETITEMW, static_cast<WPARAM>(position),
                      reinterpret_cast<LPARAM>(&item))) {
        return std::wstring();
    }
    return item.pszText ? std::wstring(item.pszText) : std::wstring();
}

// ---- Rows ----

int32_t ListViewWindow::rowCount() const {
    return static_cast<int32_t>(send(LVM_GETITEMCOUNT));
}

int32_t ListViewWindow::findRow(int32_t fileId) const {
    if (!window_) {
        return -1;
    }
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = fileId;
    return static_cast<int32_t>(
        send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int32_t ListViewWindow::rowFileId(int32_t row) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return -1;
    }
    return static_cast<int32_t>(item.lParam);
}

int32_t ListViewWindow::appendRow(int32_t fileId, int32_t image) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_TEXT;
    item.iItem = rowCount();
    item.lParam = fileId;
    item.iImage = image;
    item.pszText = const_cast<wchar_t*>(L"");
    if (!window_) {
        return -1;
    }
    return static_cast<int32_t>(send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int32_t ListViewWindow::rowImage(int32_t row) const {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (row < 0 || !send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return -1;
    }
    return item.iImage;
}

void ListViewWindow::setRowImage(int32_t row, int32_t image) {
    if (rowImage(row) == image) {
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListViewWindow::cellText(int32_t row, int32_t position) const {
    if (!window_ || row < 0) {
        return std::wstring();
    }
    // The list copies at most the buffer's size less one; a full buffer may mean a longer text.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = position;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const std::size_t length = static_cast<std::size_t>(
            send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size() || buffer.size() >= 65536) {
            return std::wstring(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
        }
        buffer.resize(buffer.size() * 4);
    }
}

void ListViewWindow::setCellText(int32_t row, int32_t position, const std::wstring& text) {
    if (cellText(row, position) == text) {
        return;
    }
    LVITEMW item = {};
    item.iSubItem = position;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListViewWindow::deleteRow(int32_t row) {
    if (row >= 0) {
        send(LVM_DELETEITEM, static_cast<WPARAM>(row));
    }
}

void ListViewWindow::deleteAllRows() {
    send(LVM_DELETEALLITEMS);
}

void ListViewWindow::sortRows(PFNLVCOMPARE compare, LPARAM context) {
    send(LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare));
}

// ---- Row states ----

void ListViewWindow::clearSelection() {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

bool ListViewWindow::anyRowFocused() const {
    return window_ && send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)) >= 0;
}

void ListViewWindow::setRowFocused(int32_t row) {
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// ---- Looks ----

void ListViewWindow::setRedraw(bool redraw) {
    send(WM_SETREDRAW, redraw ? TRUE : FALSE);
    if (redraw && window_) {
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void ListViewWindow::setTextColor(COLORREF color) {
    send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color));
    if (window_) {
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void ListViewWindow::setBackColor(COLORREF color) {
    send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color));
    send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color));
    if (window_) {
        InvalidateRect(window_, nullptr, TRUE);
    }
}

COLORREF ListViewWindow::textColor() const {
    return static_cast<COLORREF>(send(LVM_GETTEXTCOLOR));
}

COLORREF ListViewWindow::backColor() const {
    return static_cast<COLORREF>(send(LVM_GETBKCOLOR));
}

COLORREF ListViewWindow::textBackColor() const {
    return static_cast<COLORREF>(send(LVM_GETTEXTBKCOLOR));
}

void ListViewWindow::setSmallImages(HIMAGELIST images) {
    send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}
