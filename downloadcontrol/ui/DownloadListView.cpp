#include "downloadcontrol/ui/DownloadListView.h"

#include <olectl.h>

#include <algorithm>
#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ui/RowOrder.h"
#include "downloadcontrol/ui/RowText.h"

namespace {

bool keyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

DownloadListView::DownloadListView(FileList& files, const OverallProgress& progress)
    : files_(files),
      progress_(progress),
      textColor_(GetSysColor(COLOR_WINDOWTEXT)),
      backColor_(GetSysColor(COLOR_WINDOW)) {
    columns_.applyColumnsText(ColumnTable::defaultColumnsText());
}

DownloadListView::~DownloadListView() {
    destroy();
}

// ---- Windows ----

bool DownloadListView::create(HWND parent, HINSTANCE resources, HFONT font, bool enabled) {
    destroy();
    parent_ = parent;
    font_ = font;
    enabled_ = enabled;
    if (!list_.create(parent, kListChildId)) {
        parent_ = nullptr;
        return false;
    }
    SetWindowLongPtrW(list_.handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (textColorSet_) {
        list_.setTextColor(textColor_);
    }
    if (backColorSet_) {
        list_.setBackColor(backColor_);
    }
    if (font_) {
        SendMessageW(list_.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    if (images_.load(resources)) {
        list_.setSmallImages(images_.handle());
    }
    setColumnsText(std::wstring(columns_.columnsText()));
    EnableWindow(list_.handle(), enabled_ ? TRUE : FALSE);

    progressBar_ = CreateWindowExW(
        0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, kProgressBarWidth, barSettings_.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarChildId)), moduleInstance(), nullptr);
    if (progressBar_) {
        SendMessageW(progressBar_, PBM_SETRANGE32, 0, kProgressBarRange);
        SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(progress_.position()), 0);
        if (barSettings_.visible) {
            ShowWindow(progressBar_, SW_SHOWNA);
        }
    }
    relayout();
    return true;
}

void DownloadListView::destroy() {
    if (progressBar_ && IsWindow(progressBar_)) {
        DestroyWindow(progressBar_);
    }
    progressBar_ = nullptr;
    list_.destroy();
    images_.release();
    parent_ = nullptr;
}

DownloadListView* DownloadListView::fromListWindow(HWND window) {
    if (!window || GetDlgCtrlID(window) != kListChildId) {
        return nullptr;
    }
    return reinterpret_cast<DownloadListView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// ---- Messages of the parent window ----

void DownloadListView::layout(int32_t width, int32_t height) {
    const ListLayout layout = layoutList(width, height, barSettings_);
    if (list_.exists()) {
        MoveWindow(list_.handle(), layout.list.left, layout.list.top, layout.list.right - layout.list.left,
                   layout.list.bottom - layout.list.top, TRUE);
    }
    if (progressBar_) {
        if (barSettings_.visible) {
            MoveWindow(progressBar_, layout.bar.left, layout.bar.top, layout.bar.right - layout.bar.left,
                       layout.bar.bottom - layout.bar.top, TRUE);
        }
        ShowWindow(progressBar_, barSettings_.visible ? SW_SHOWNA : SW_HIDE);
    }
}

void DownloadListView::relayout() {
    RECT client{};
    if (parent_ && GetClientRect(parent_, &client)) {
        layout(client.right - client.left, client.bottom - client.top);
    }
}

bool DownloadListView::onNotify(const NMHDR& notification) {
    if (!list_.exists() || notification.hwndFrom != list_.handle() || notification.idFrom != kListChildId) {
        return false;
    }
    switch (notification.code) {
    case LVN_COLUMNCLICK: {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(notification);
        const int32_t columnId = columns_.columnAt(click.iSubItem);
        if (columnId >= 0) {
            sortBy(columnId);
        }
        return true;
    }
    case LVN_ITEMCHANGED: {
        // The list shows the queue; it offers nothing to select. Only a change that selects a row needs
        // undoing, which also keeps the undoing from answering itself.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(notification);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED)) {
            list_.clearSelection();
        }
        return true;
    }
    default:
        return false;
    }
}

void DownloadListView::onSetFocus(HWND controlWindow, HWND previousFocus) {
    if (!list_.exists()) {
        return;
    }
    if (list_.rowCount() > 0 && !list_.anyRowFocused()) {
        list_.setRowFocused(0);
    }
    if (!IsWindowVisible(list_.handle())) {
        return;
    }
    // Tab out of the list comes back through the control's window: pass on to the host's next control.
    // Tab into the control (from outside it) lands on the list.
    const bool fromInside =
        previousFocus && (previousFocus == list_.handle() || previousFocus == controlWindow);
    if (keyDown(VK_TAB) && fromInside) {
        const HWND root = GetAncestor(controlWindow, GA_ROOT);
        const HWND next =
            root ? GetNextDlgTabItem(root, controlWindow, keyDown(VK_SHIFT) ? TRUE : FALSE) : nullptr;
        if (next && next != controlWindow && !IsChild(controlWindow, next)) {
            SetFocus(next);
            return;
        }
    }
    SetFocus(list_.handle());
}

void DownloadListView::setFont(HFONT font) {
    font_ = font;
    if (list_.exists()) {
        SendMessageW(list_.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
}

void DownloadListView::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (list_.exists()) {
        EnableWindow(list_.handle(), enabled_ ? TRUE : FALSE);
    }
}

// ---- Columns ----

void DownloadListView::setColumnsText(std::wstring_view text) {
    if (!list_.exists()) {
        columns_.applyColumnsText(text);
        return;
    }
    list_.setRedraw(false);
    list_.deleteAllRows();
    list_.deleteAllColumns();
    columns_.applyColumnsText(text);
    insertShownColumns();
    fillRows();
    list_.setRedraw(true);
}

void DownloadListView::insertShownColumns() {
    for (const int32_t id : columns_.shownColumns()) {
        const Column& column = columns_[id];
        list_.insertColumn(column.position, column.header, column.width, ColumnTable::isLeftAligned(id));
    }
}

void DownloadListView::setColumn(int32_t columnId, const std::wstring& headerText, int32_t width) {
    if (!ColumnTable::isColumnId(columnId)) {
        return;
    }
    Column& column = columns_[columnId];
    const bool shown = column.position >= 0 && list_.exists();
    if (!headerText.empty()) {
        column.header = headerText;
        if (shown) {
            list_.setColumnHeader(column.position, column.header);
        }
    }
    if (width > 0) {
        column.width = width;
        if (shown) {
            list_.setColumnWidth(column.position, width);
        }
    } else if (width == 0 && shown) {
        list_.setColumnWidth(column.position, LVSCW_AUTOSIZE);
    }
}

std::wstring DownloadListView::column(int32_t columnId, int32_t field, LastErrorHolder& errors) const {
    if (!ColumnTable::isColumnId(columnId)) {
        errors.setError(ErrColumnId);
        return std::wstring();
    }
    const Column& column = columns_[columnId];
    switch (field) {
    case ColumnFieldHeader:
        return column.header;
    case ColumnFieldWidth: {
        const bool shown = column.position >= 0 && list_.exists();
        return std::to_wstring(shown ? list_.columnWidth(column.position) : column.width);
    }
    default:
        errors.setError(ErrColumnField);
        return std::wstring();
    }
}

// ---- Colours ----

bool DownloadListView::translateColor(OLE_COLOR color, COLORREF& result) {
    COLORREF translated = 0;
    if (FAILED(OleTranslateColor(color, nullptr, &translated))) {
        return false;
    }
    result = translated;
    return true;
}

void DownloadListView::setTextColor(COLORREF color) {
    textColor_ = color;
    textColorSet_ = true;
    list_.setTextColor(color);
}

void DownloadListView::setBackColor(COLORREF color) {
    backColor_ = color;
    backColorSet_ = true;
    list_.setBackColor(color);
}

// ---- Sorting ----

void DownloadListView::sortBy(int32_t columnId) {
    if (!ColumnTable::isColumnId(columnId)) {
        return;
    }
    if (columnId == sortColumn_) {
        sortAscending_ = !sortAscending_;
    } else {
        sortColumn_ = columnId;
        sortAscending_ = true;
    }
    CriticalSectionLock lock(files_.lock());
    const RowOrder order(files_, sortColumn_, sortAscending_);
    list_.sortRows(&RowOrder::compareRows, reinterpret_cast<LPARAM>(&order));
}

// ---- Overall progress bar ----

void DownloadListView::setProgressBar(bool visible, int32_t topMargin, int32_t height) {
    barSettings_.set(visible, topMargin, height);
    relayout();
}

int32_t DownloadListView::progressBar(int32_t field, LastErrorHolder& errors) const {
    int32_t value = -1;
    if (!barSettings_.field(field, value)) {
        errors.setError(ErrProgressBarField);
        return -1;
    }
    return value;
}

void DownloadListView::showOverallProgress() {
    if (!progressBar_) {
        return;
    }
    // A bar that animates its moves shows a step back at once: one below and back again lands the
    // value without waiting for the animation.
    const int32_t position = progress_.position();
    SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    if (position > 0) {
        SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position - 1), 0);
        SendMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    InvalidateRect(progressBar_, nullptr, TRUE);
    UpdateWindow(progressBar_);
}

// ---- Rows ----

void DownloadListView::refreshRow(int32_t fileId) {
    if (!list_.exists()) {
        return;
    }
    CriticalSectionLock lock(files_.lock());
    if (const DownloadItem* item = files_.find(fileId)) {
        refreshRowLocked(*item);
    }
}

void DownloadListView::refreshRowAt(std::size_t listIndex) {
    if (!list_.exists()) {
        return;
    }
    CriticalSectionLock lock(files_.lock());
    if (const DownloadItem* item = files_.at(listIndex)) {
        refreshRowLocked(*item);
    }
}

void DownloadListView::refreshRowLocked(const DownloadItem& item) {
    int32_t row = list_.findRow(item.fileId);
    if (row < 0) {
        row = list_.appendRow(item.fileId, rowImageFor(item.state, -1));
        if (row < 0) {
            return;
        }
    }
    list_.setRowImage(row, rowImageFor(item.state, list_.rowImage(row)));
    for (const int32_t id : columns_.shownColumns()) {
        list_.setCellText(row, columns_[id].position, cellText(item, id));
    }
}

void DownloadListView::removeRow(int32_t fileId) {
    list_.deleteRow(list_.findRow(fileId));
}

void DownloadListView::removeRowsWithoutFiles() {
    if (!list_.exists()) {
        return;
    }
    std::vector<int32_t> listed;
    {
        CriticalSectionLock lock(files_.lock());
        listed.reserve(files_.size());
        for (std::size_t i = 0; i < files_.size(); ++i) {
            listed.push_back(files_.at(i)->fileId);
        }
    }
    std::sort(listed.begin(), listed.end());
    for (int32_t row = list_.rowCount() - 1; row >= 0; --row) {
        if (!std::binary_search(listed.begin(), listed.end(), list_.rowFileId(row))) {
            list_.deleteRow(row);
        }
    }
}

void DownloadListView::removeAllRows() {
    list_.deleteAllRows();
}

void DownloadListView::refillRows() {
    if (!list_.exists()) {
        return;
    }
    list_.setRedraw(false);
    list_.deleteAllRows();
    fillRows();
    list_.setRedraw(true);
}

void DownloadListView::fillRows() {
    CriticalSectionLock lock(files_.lock());
    for (std::size_t i = 0; i < files_.size(); ++i) {
        refreshRowLocked(*files_.at(i));
    }
}

void DownloadListView::clearFiles() {
    removeAllRows();
    files_.clear();
}
