// The user-name box: the edit where a name is typed or a profile link pasted, the start/stop
// button beside it, and the history drop-down that filters to the typed prefix and follows the
// keyboard and the mouse.
#include "common/TextFunctions.h"
#include "mainwindow/FormLayout.h"
#include "mainwindow/HistoryNavigation.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/UserNameRules.h"
#include "resources/SkinIds.h"
#include <algorithm>

using namespace gui;
namespace L = formlayout;

namespace {

void focus(TWinControl* control) {
    if (control && control->CanFocus())
        control->SetFocus();
}

// The history's names in list order (each row is a tab, which indents it, then the name).
std::vector<std::wstring> historyNames(TListBox* list) {
    std::vector<std::wstring> names;
    for (int row = 0; row < list->Items()->Count(); ++row) {
        const std::wstring text = list->Items()->Strings(row);
        names.push_back(text.empty() ? text : text.substr(1));
    }
    return names;
}

}  // namespace

void TForm1::bindUserNameBox() {
    userNameEditPanel->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        userNameEditPanelMouseDown(s, b, sh, x, y);
    };
    userNameEdit->OnEnter = [this](TObject* s) { userNameEditEnter(s); };
    userNameEdit->OnExit = [this](TObject* s) { userNameEditExit(s); };
    userNameEdit->OnKeyDown = [this](TObject* s, WORD& key, TShiftState sh) {
        userNameEditKeyDown(s, key, sh);
    };
    userNameEdit->OnKeyPress = [this](TObject* s, wchar_t& key) { userNameEditKeyPress(s, key); };
    userNameEdit->OnKeyUp = [this](TObject* s, WORD& key, TShiftState sh) { userNameEditKeyUp(s, key, sh); };
    userNamePanel->OnResize = [this](TObject* s) { userNamePanelResize(s); };
    userNameListBoxPanel->OnResize = [this](TObject* s) { userNameListBoxPanelResize(s); };
    userNameListBox->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
        userNameListBoxMouseMove(s, sh, x, y);
    };
    userNameListBox->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        userNameListBoxMouseDown(s, b, sh, x, y);
    };
    userNameListBox->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        userNameListBoxMouseUp(s, b, sh, x, y);
    };
    userNameArrowDownImageButton->OnBtnClick = [this](TObject* s) {
        userNameArrowDownImageButtonBtnClick(s);
    };
    userNameImageButton->OnBtnClick = [this](TObject* s) { userNameImageButtonBtnClick(s); };
}

std::wstring TForm1::extractUserName() {
    return ::extractUserName(userNameEdit->Text());
}

bool TForm1::addUserNameToHistory(const std::wstring& name) {
    if (name.empty())
        return false;
    for (const std::wstring& row : historyNames(userNameListBox)) {
        if (compareStrings(row, name, false) == 0)
            return false;
    }
    userNameListBox->Items()->Add(L"\t" + name);
    placeUserNameScrollBar();
    return true;
}

int TForm1::findUserNamePrefix(const std::wstring& text) {
    return ::findUserNamePrefix(historyNames(userNameListBox), text);
}

void TForm1::placeUserNameScrollBar() {
    if (!userNameScrollBarWindow || !userNameListBox->HandleAllocated())
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    const bool scrolls = GetScrollInfo(userNameListBox->Handle(), SB_VERT, &info) && info.nMax > info.nMin &&
                         static_cast<int>(info.nPage) < info.nMax - info.nMin + 1;
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    SetWindowPos(userNameScrollBarWindow, HWND_TOP,
                 userNameListBox->Left() + userNameListBox->Width() - barWidth, userNameListBox->Top(),
                 barWidth, userNameListBox->Height(), scrolls ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (userNameScrollBar)
        userNameScrollBar->SetScrollInfo(info, true);
}

void TForm1::openHistoryDropDown(int topRow, int selectedRow) {
    focus(userNameEdit);
    // Sized first: a list still too short for the rows would not take the top row asked for.
    const int rows = historyDropDownRows(userNameListBox->Items()->Count(), dropDownMaxRows);
    userNameListBoxPanel->SetBounds(topPanel->Left() + userNamePanel->Left(),
                                    topPanel->Top() + userNamePanel->Top() + userNamePanel->Height(),
                                    userNamePanel->Width(), rows * userNameListBox->ItemHeight() + 2);
    userNameListBox->SetTopIndex(std::max(0, topRow));
    userNameListBox->SetItemIndex(selectedRow >= 0 ? selectedRow : -1);
    if (userNameScrollBar && userNameListBox->HandleAllocated())
        userNameScrollBar->SetScrollPos(GetScrollPos(userNameListBox->Handle(), SB_VERT), true);
    GetCursorPos(&dropDownCursorPos);
    userNameListBoxPanel->Show();
    userNameListBoxPanel->BringToFront();
    placeUserNameScrollBar();
    installMouseHook();
}

void TForm1::closeHistoryDropDown() {
    if (!userNameListBoxPanel || !userNameListBoxPanel->Visible())
        return;
    userNameListBoxPanel->Hide();
    endMouseHook();
}

void TForm1::updateUserNameButtonFaces() {
    const int first = userNameImageButton->Tag() == 0 ? skin::startButton : skin::stopButton;
    userNameImageButton->setNormalResourceId(first);
    userNameImageButton->setMouseOverResourceId(first + 1);
    userNameImageButton->setMouseDownResourceId(first + 2);
}

void TForm1::userNameEditPanelMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    focus(userNameEdit);
}

void TForm1::userNameEditEnter(TObject*) {
    if (userNameEdit->Font()->Color() == static_cast<TColor>(L::kTypedTextColor))
        return;
    // The grey placeholder or status gives way to the name being shown.
    userNameEdit->SetText(currentUserName);
    userNameEdit->Font()->SetColor(static_cast<TColor>(L::kTypedTextColor));
    userNameEdit->SelectAll();
}

void TForm1::userNameEditExit(TObject*) {
    if (!userNameListBoxPanel->Visible())
        updateUserNameEditText();
}

void TForm1::userNameEditKeyDown(TObject*, WORD& key, TShiftState) {
    const bool open = userNameListBoxPanel->Visible();
    if (!open) {
        if (key == VK_RETURN) {
            key = 0;
            loadUser();
            return;
        }
        if (key == VK_ESCAPE) {
            focus(topPanel);
            return;
        }
    }
    if (open) {
        const bool moves = key == VK_DOWN || key == VK_NEXT || key == VK_UP || key == VK_PRIOR;
        if (moves) {
            const int page = userNameListBox->Height() / std::max(1, userNameListBox->ItemHeight()) - 1;
            userNameListBox->SetItemIndex(moveHistorySelection(key, userNameListBox->ItemIndex(),
                                                               dropDownSelection,
                                                               userNameListBox->Items()->Count(), page));
        }
        const int selected = userNameListBox->ItemIndex();
        if ((moves || key == VK_RETURN) && selected >= 0) {
            if (userNameScrollBar)
                userNameScrollBar->SetScrollPos(GetScrollPos(userNameListBox->Handle(), SB_VERT), true);
            userNameEdit->SetText(userNameListBox->Items()->Strings(selected).substr(1));
            userNameEdit->Font()->SetColor(static_cast<TColor>(L::kTypedTextColor));
            userNameEdit->SelectAll();
            focus(userNameEdit);
        }
        if (key == VK_RETURN || key == VK_ESCAPE) {
            const bool load = key == VK_RETURN;
            key = 0;
            closeHistoryDropDown();
            if (load)
                loadUser();
            return;
        }
        if (moves) {
            key = 0;
            return;
        }
    }
    if (key == VK_DOWN) {
        dropDownSelection = findUserNamePrefix(userNameEdit->Text());
        openHistoryDropDown(std::max(0, dropDownSelection), -1);
    }
    if (key == VK_DOWN || key == VK_UP) {
        key = 0;
        return;
    }
    if (key == VK_TAB && toolbarPanel->Visible()) {
        closeHistoryDropDown();
        focus(searchEdit);
        key = 0;
    }
}

void TForm1::userNameEditKeyPress(TObject*, wchar_t& key) {
    if (key == L'\t' || key == L'\v' || key == L'\r' || key == 0x1B)
        key = 0;
}

void TForm1::userNameEditKeyUp(TObject*, WORD& key, TShiftState shift) {
    if (!keyUpLooksUpPrefix(key, shift.Contains(ssCtrl)))
        return;
    dropDownSelection = findUserNamePrefix(userNameEdit->Text());
    if (dropDownSelection >= 0)
        openHistoryDropDown(dropDownSelection, -1);
    else if (userNameListBoxPanel->Visible())
        openHistoryDropDown(0, -1);
}

void TForm1::userNamePanelResize(TObject*) {
    placeUserNameBox();
}

void TForm1::userNameListBoxPanelResize(TObject*) {
    TPanel* panel = userNameListBoxPanel;
    userNameListBox->SetBounds(1, 1, std::max(0, panel->Width() - 2), std::max(0, panel->Height() - 2));
    placeUserNameScrollBar();
    // The list keeps whole rows: the panel follows its height.
    if (userNameListBox->Height() != panel->Height() - 2)
        panel->SetHeight(userNameListBox->Height() + 2);
}

void TForm1::userNameListBoxMouseMove(TObject*, TShiftState, int x, int y) {
    POINT now{};
    GetCursorPos(&now);
    // The list appearing under a resting pointer selects nothing until the pointer moves.
    if (now.x != dropDownCursorPos.x || now.y != dropDownCursorPos.y) {
        const int row = userNameListBox->ItemAtPos(POINT{x, y}, true);
        if (row >= 0 && row != userNameListBox->ItemIndex())
            userNameListBox->SetItemIndex(row);
    }
    dropDownCursorPos = POINT{-1, -1};
}

void TForm1::userNameListBoxMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    focus(userNameEdit);
}

void TForm1::userNameListBoxMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    const int selected = userNameListBox->ItemIndex();
    if (selected < 0) {
        focus(userNameEdit);
        return;
    }
    userNameEdit->SetText(userNameListBox->Items()->Strings(selected).substr(1));
    userNameEdit->Font()->SetColor(static_cast<TColor>(L::kTypedTextColor));
    loadUser();
}

void TForm1::userNameArrowDownImageButtonBtnClick(TObject*) {
    if (!userNameListBoxPanel->Visible()) {
        dropDownSelection = findUserNamePrefix(userNameEdit->Text());
        openHistoryDropDown(std::max(0, dropDownSelection), -1);
        return;
    }
    closeHistoryDropDown();
    const std::wstring text = userNameEdit->Text();
    if (text == currentUserName && userNameEdit->SelStart() == 0 &&
        userNameEdit->SelLength() == static_cast<int>(text.size()))
        focus(topPanel);
}

void TForm1::userNameImageButtonBtnClick(TObject*) {
    if (userNameImageButton->Tag() == 1) {
        userNameImageButton->SetTag(0);
        updateUserNameButtonFaces();
        stopFeedDownloads();
    } else if (loadStopped(loadState) && compareStrings(extractUserName(), currentUserName, false) == 0) {
        userNameImageButton->SetTag(1);
        updateUserNameButtonFaces();
        resumeFeedDownloads();
    } else {
        updateUserNameButtonFaces();
        loadUser();
    }
    focus(topPanel);
}
