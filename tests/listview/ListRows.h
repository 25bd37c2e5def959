#pragma once
// What a list view shows, read through its messages: the rows, the file id each carries, its
// picture and the text of a cell.
#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

namespace listrows {

inline int32_t rowCount(HWND list) {
    return static_cast<int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// The file id the row carries, -1 where there is no such row.
inline int32_t rowFileId(HWND list, int32_t row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))
               ? static_cast<int32_t>(item.lParam)
               : -1;
}

inline int32_t rowImage(HWND list, int32_t row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

inline std::wstring cell(HWND list, int32_t row, int32_t position) {
    wchar_t buffer[512] = {};
    LVITEMW item = {};
    item.iSubItem = position;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace listrows
