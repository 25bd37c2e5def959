#include "gui/Edit.h"

namespace gui {

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(0);
    SetColor(clWindow);
    Font()->SetColor(clWindowText);
    SetParentFont(true);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"EDIT";
    params.Style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP;
    if (readOnly_)
        params.Style |= ES_READONLY;
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::HandleCreated() {
    SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TEdit::SetMaxLength(int maxLength) {
    maxLength_ = maxLength < 0 ? 0 : maxLength;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetBorderStyle(TBorderStyle style) {
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    ChangeFrameStyle(GWL_EXSTYLE, WS_EX_CLIENTEDGE, style == bsSingle);
}

int TEdit::SelStart() {
    DWORD start = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TEdit::SetSelStart(int start) {
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start));
}

int TEdit::SelLength() {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TEdit::SetSelLength(int length) {
    const int start = SelStart();
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

void TEdit::SelectAll() {
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::StoreText(const std::wstring& text) {
    // Some systems report EN_CHANGE for WM_SETTEXT and some do not: report it once, ourselves.
    settingText_ = true;
    TWinControl::StoreText(text);
    settingText_ = false;
}

void TEdit::TextChanged() {
    if (OnChange)
        OnChange(this);
}

void TEdit::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (OnChange && !settingText_)
            OnChange(this);
        message.Result = 0;
        return;
    }
    TWinControl::Dispatch(message);
}

}  // namespace gui
