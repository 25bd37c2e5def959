#pragma once
// The user-name history drop-down's keyboard logic: finding the first name that begins with the
// typed text, moving the selection with Down, Up, PageDown and PageUp, how many rows the
// drop-down shows, and which released keys look the typed prefix up again.
#include <windows.h>

#include <string>
#include <vector>

// The first of the names (in list order) that begins with text, compared without regard to case;
// -1 when there is none or text is empty.
int findUserNamePrefix(const std::vector<std::wstring>& names, const std::wstring& text);

// The selection after a movement key (VK_DOWN, VK_NEXT, VK_UP, VK_PRIOR) in a list of rowCount
// rows of which page fit below the first visible one. selected: the selected row or -1.
// pendingRow: the row that matches the typed prefix and is not yet selected, or -1; a movement
// key selects it first and clears it. -1 when the list is empty.
int moveHistorySelection(WORD key, int selected, int& pendingRow, int rowCount, int page);

// Rows the open drop-down shows: one when the history holds at most one name, else one per name
// up to maxRows.
int historyDropDownRows(int nameCount, int maxRows);

// True when releasing this key in the user-name box looks the typed text up in the history: not
// for the movement, Enter, Esc, Tab, Shift and Ctrl keys, nor with Ctrl held except for Ctrl+V.
bool keyUpLooksUpPrefix(WORD key, bool ctrlDown);
