#include "mainwindow/HistoryNavigation.h"

#include "common/TextFunctions.h"

#include <algorithm>

int findUserNamePrefix(const std::vector<std::wstring>& names, const std::wstring& text) {
    if (text.empty()) {
        return -1;
    }
    for (size_t row = 0; row < names.size(); ++row) {
        const std::wstring& name = names[row];
        if (name.size() >= text.size() && compareStrings(name.substr(0, text.size()), text, false) == 0) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int moveHistorySelection(WORD key, int selected, int& pendingRow, int rowCount, int page) {
    if (rowCount <= 0) {
        pendingRow = -1;
        return -1;
    }
    const int lastRow = rowCount - 1;
    selected = std::min(selected, lastRow);
    const bool pending = pendingRow >= 0 && pendingRow <= lastRow;
    if (pending) {
        selected = pendingRow;
    }
    pendingRow = -1;
    switch (key) {
    case VK_DOWN:
        if (!pending) {
            selected = selected < 0 ? 0 : std::min(selected + 1, lastRow);
        }
        break;
    case VK_UP:
        if (!pending) {
            selected = selected <= 0 ? 0 : selected - 1;
        }
        break;
    case VK_NEXT:
        selected = std::max(selected, 0);
        selected = rowCount - page > selected ? selected + page : lastRow;
        break;
    case VK_PRIOR:
        selected = std::max(selected, 0);
        selected = selected > page ? selected - page : 0;
        break;
    default:
        break;
    }
    return selected;
}

int historyDropDownRows(int nameCount, int maxRows) {
    if (nameCount <= 1) {
        return 1;
    }
    return std::min(nameCount, maxRows);
}

bool keyUpLooksUpPrefix(WORD key, bool ctrlDown) {
    switch (key) {
    case VK_DOWN:
    case VK_NEXT:
    case VK_UP:
    case VK_PRIOR:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_TAB:
    case VK_SHIFT:
    case VK_CONTROL:
        return false;
    default:
        return !ctrlDown || key == 'V';
    }
}
