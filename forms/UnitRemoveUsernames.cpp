#include "forms/UnitRemoveUsernames.h"

#include "common/StringKeyCollection.h"

#include <windowsx.h>

using namespace gui;

TFormRemoveUsernames* FormRemoveUsernames = nullptr;

TFormRemoveUsernames::TFormRemoveUsernames(TComponent* owner) : TForm(owner) {
    FormRemoveUsernames = this;
    SetBorderStyle(bsToolWindow);
    SetCaption(L"Remove Usernames");
    Font()->SetName(L"Tahoma");
    // The frame's size is known once the window exists.
    HandleNeeded();
    SetClientSize(414, 200);

    userNamesListBox = new TListBox(this);
    userNamesListBox->SetParent(this);
    userNamesListBox->SetBounds(8, 8, 398, 152);
    userNamesListBox->SetMultiSelect(true);
    userNamesListBox->SetExtendedSelect(true);
    userNamesListBox->SetIntegralHeight(true);
    userNamesListBox->SetItemHeight(15);
    userNamesListBox->SetTabWidth(2);
    userNamesListBox->Font()->SetName(L"Arial");
    userNamesListBox->Font()->SetStyle(fsBold);

    removeButton = new TButton(this);
    removeButton->SetParent(this);
    removeButton->SetBounds(250, 167, 75, 25);
    removeButton->SetCaption(L"Remove");
    removeButton->SetDefault(true);
    removeButton->OnClick = [this](TObject* sender) { removeButtonClick(sender); };

    closeButton = new TButton(this);
    closeButton->SetParent(this);
    closeButton->SetBounds(331, 167, 75, 25);
    closeButton->SetCaption(L"&Close");
    closeButton->SetModalResult(mrCancel);
    closeButton->SetCancel(true);

    applicationEvents = new TApplicationEvents(this);
    applicationEvents->OnMessage = [this](MSG& msg, bool& handled) {
        applicationEventsMessage(msg, handled);
    };

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

TFormRemoveUsernames::~TFormRemoveUsernames() {
    if (FormRemoveUsernames == this)
        FormRemoveUsernames = nullptr;
}

void TFormRemoveUsernames::FormCreate(TObject*) {
    userNamesListBox->Font()->SetColor(0x303335);
}

void TFormRemoveUsernames::FormClose(TObject*, TCloseAction& action) {
    action = caHide;
}

void TFormRemoveUsernames::setHistory(TListBox* historyList, StringKeyCollection* folders) {
    historyList_ = historyList;
    folders_ = folders;
    TListBoxItems* rows = userNamesListBox->Items();
    rows->Clear();
    if (!historyList)
        return;
    for (int i = 0, count = historyList->Items()->Count(); i < count; ++i)
        rows->Add(historyList->Items()->Strings(i));
}

void TFormRemoveUsernames::applicationEventsMessage(MSG& msg, bool& handled) {
    if (msg.message != WM_MOUSEWHEEL || !Active() || !userNamesListBox->HandleAllocated())
        return;
    HWND list = userNamesListBox->Handle();
    RECT bounds{};
    if (!GetWindowRect(list, &bounds))
        return;
    const POINT pointer{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (!PtInRect(&bounds, pointer))
        return;
    SendMessageW(list, WM_MOUSEWHEEL, msg.wParam, msg.lParam);
    // The list has scrolled; dispatching the message as well would scroll a focused list twice.
    handled = true;
}

void TFormRemoveUsernames::removeButtonClick(TObject*) {
    TListBoxItems* rows = userNamesListBox->Items();
    if (rows->Count() == 0) {
        MessageBoxW(Handle(), L"There are no usernames to remove.", L"Pixhaul", MB_OK | MB_ICONINFORMATION);
        return;
    }
    bool removed = false;
    int i = 0;
    while (i < rows->Count()) {
        if (!userNamesListBox->Selected(i)) {
            ++i;
            continue;
        }
        const std::wstring row = rows->Strings(i);
        rows->Delete(i);
        removeFromHistory(row);
        removed = true;
    }
    if (!removed)
        MessageBoxW(Handle(), L"Please select username(s) you want to remove.", L"Pixhaul",
                    MB_OK | MB_ICONWARNING);
}

void TFormRemoveUsernames::removeFromHistory(const std::wstring& row) {
    if (folders_ && row.size() > 1) {
        const std::wstring name = row.substr(1);
        StringKey found;
        if (folders_->find(name, found)) {
            folders_->erase(name);
            delete found.text;
            delete static_cast<std::wstring*>(found.value);
        }
    }
    // The main list is found by text: its order need not match this window's.
    if (!historyList_)
        return;
    TListBoxItems* history = historyList_->Items();
    for (int i = 0, count = history->Count(); i < count; ++i) {
        if (history->Strings(i) == row) {
            history->Delete(i);
            return;
        }
    }
}
