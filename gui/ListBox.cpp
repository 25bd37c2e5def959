#include "gui/ListBox.h"

namespace gui {

namespace {

std::wstring rowText(HWND window, int index) {
    const LRESULT length = SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace

// ---- rows

int TListBoxItems::Count() const {
    const LRESULT count = SendMessageW(box_.Handle(), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::wstring TListBoxItems::Strings(int index) const {
    return rowText(box_.Handle(), index);
}

void TListBoxItems::SetStrings(int index, const std::wstring& text) {
    if (index < 0 || index >= Count())
        return;
    const bool selected = box_.Selected(index);
    Delete(index);
    Insert(index, text);
    if (selected)
        box_.SetSelected(index, true);
}

int TListBoxItems::Add(const std::wstring& text) {
    const LRESULT index =
        SendMessageW(box_.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

void TListBoxItems::Insert(int index, const std::wstring& text) {
    SendMessageW(box_.Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void TListBoxItems::Delete(int index) {
    SendMessageW(box_.Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBoxItems::Clear() {
    SendMessageW(box_.Handle(), LB_RESETCONTENT, 0, 0);
}

int TListBoxItems::IndexOf(const std::wstring& text) const {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (Strings(i) == text)
            return i;
    }
    return -1;
}

// ---- the list box

TListBox::TListBox(TComponent* owner) : TWinControl(owner), items_(*this) {
    SetControlStyle(0);
    SetColor(clWindow);
    Font()->SetColor(clWindowText);
    SetParentFont(true);
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

void TListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"LISTBOX";
    params.Style |= WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS;
    if (sorted_)
        params.Style |= LBS_SORT;
    if (multiSelect_)
        params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (!integralHeight_)
        params.Style |= LBS_NOINTEGRALHEIGHT;
    if (tabWidth_ > 0)
        params.Style |= LBS_USETABSTOPS;
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::HandleCreated() {
    HWND window = Handle();
    if (itemHeight_ > 0)
        SendMessageW(window, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight_, 0));
    if (tabWidth_ > 0) {
        INT stop = tabWidth_;
        SendMessageW(window, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    }
    if (restoring_) {
        restoring_ = false;
        for (const auto& text : savedItems_)
            SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        for (int index : savedSelection_)
            SetSelected(index, true);
        SendMessageW(window, LB_SETTOPINDEX, static_cast<WPARAM>(savedTop_), 0);
        savedItems_.clear();
        savedSelection_.clear();
    }
    // The height may snap to whole rows now.
    if (integralHeight_)
        SetWindowPos(window, nullptr, 0, 0, Width(), Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TListBox::DestroyWnd() {
    if (HandleAllocated()) {
        savedItems_.clear();
        savedSelection_.clear();
        const int count = items_.Count();
        for (int i = 0; i < count; ++i) {
            savedItems_.push_back(items_.Strings(i));
            if (Selected(i))
                savedSelection_.push_back(i);
        }
        savedTop_ = TopIndex();
        restoring_ = true;
    }
    TWinControl::DestroyWnd();
}

void TListBox::styleChanged() {
    if (HandleAllocated())
        RecreateWnd();
}

void TListBox::SetSorted(bool sorted) {
    if (sorted_ == sorted)
        return;
    sorted_ = sorted;
    styleChanged();
}

void TListBox::SetMultiSelect(bool multiSelect) {
    if (multiSelect_ == multiSelect)
        return;
    multiSelect_ = multiSelect;
    styleChanged();
}

void TListBox::SetExtendedSelect(bool extendedSelect) {
    if (extendedSelect_ == extendedSelect)
        return;
    extendedSelect_ = extendedSelect;
    styleChanged();
}

void TListBox::SetIntegralHeight(bool integralHeight) {
    if (integralHeight_ == integralHeight)
        return;
    integralHeight_ = integralHeight;
    styleChanged();
}

void TListBox::SetTabWidth(int width) {
    if (tabWidth_ == width)
        return;
    tabWidth_ = width < 0 ? 0 : width;
    styleChanged();
}

void TListBox::SetBorderStyle(TBorderStyle style) {
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    styleChanged();
}

int TListBox::ItemHeight() {
    const LRESULT height = SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0);
    return height == LB_ERR ? 0 : static_cast<int>(height);
}

void TListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    if (HandleAllocated() && height > 0) {
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
        if (integralHeight_)
            SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
    }
}

int TListBox::ItemIndex() {
    const UINT msg = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
    const LRESULT index = SendMessageW(Handle(), msg, 0, 0);
    if (multiSelect_ && index != LB_ERR && !Selected(static_cast<int>(index)) && SelCount() == 0)
        return -1;
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TListBox::SetItemIndex(int index) {
    if (multiSelect_) {
        SendMessageW(Handle(), LB_SETSEL, FALSE, -1);
        if (index >= 0) {
            SendMessageW(Handle(), LB_SETSEL, TRUE, index);
            SendMessageW(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        }
    } else {
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

int TListBox::TopIndex() {
    return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TListBox::SetTopIndex(int index) {
    SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

bool TListBox::Selected(int index) {
    if (multiSelect_)
        return SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    return index >= 0 && SendMessageW(Handle(), LB_GETCURSEL, 0, 0) == index;
}

void TListBox::SetSelected(int index, bool selected) {
    if (multiSelect_) {
        SendMessageW(Handle(), LB_SETSEL, selected ? TRUE : FALSE, index);
    } else if (selected) {
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (Selected(index)) {
        SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

int TListBox::SelCount() {
    if (!multiSelect_)
        return SendMessageW(Handle(), LB_GETCURSEL, 0, 0) == LB_ERR ? 0 : 1;
    const LRESULT count = SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int TListBox::ItemAtPos(POINT p, bool existing) {
    const RECT client = ClientRect();
    if (p.x < client.left || p.x >= client.right || p.y < client.top || p.y >= client.bottom)
        return -1;
    const int count = items_.Count();
    const int height = ItemHeight();
    if (height <= 0)
        return -1;
    const int index = TopIndex() + p.y / height;
    if (index < count)
        return index;
    return existing ? -1 : count;
}

RECT TListBox::ItemRect(int index) {
    RECT r{};
    SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TListBox::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case LBN_SELCHANGE:
            Click();
            break;
        case LBN_DBLCLK:
            if (OnDblClick)
                OnDblClick(this);
            break;
        default:
            break;
        }
        message.Result = 0;
        return;
    }
    TWinControl::Dispatch(message);
}

}  // namespace gui
