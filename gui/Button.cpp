#include "gui/Button.h"
#include "gui/Form.h"

namespace gui {

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(0);
    SetParentFont(true);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"BUTTON";
    params.Style |= WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    TForm* form = GetParentForm(this);
    if (form && modalResult_ != mrNone)
        form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED)
            Click();
        message.Result = 0;
        return;
    case CM_DIALOGKEY: {
        // lParam 1: offered to the focused control first.
        const bool focusedOffer = message.LParam == 1;
        bool press = false;
        if (message.WParam == VK_RETURN)
            press =
                focusedOffer || (default_ && !dynamic_cast<TButton*>(TWinControl::FindControl(GetFocus())));
        else if (message.WParam == VK_ESCAPE)
            press = cancel_ && !focusedOffer;
        if (press && CanFocus()) {
            Click();
            message.Result = 1;
        } else {
            message.Result = 0;
        }
        return;
    }
    default:
        break;
    }
    TWinControl::Dispatch(message);
}

// ---- TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(0);
    SetParentFont(true);
    SetTabStop(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"BUTTON";
    params.Style |= WS_TABSTOP | BS_RADIOBUTTON;
}

void TRadioButton::HandleCreated() {
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool checked) {
    checked_ = checked;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked && Parent()) {
        for (TControl* sibling : Parent()->WinControls()) {
            auto* radio = dynamic_cast<TRadioButton*>(sibling);
            if (radio && radio != this && radio->checked_)
                radio->SetChecked(false);
        }
    }
}

void TRadioButton::Dispatch(TMessage& message) {
    if (message.Msg == CN_COMMAND) {
        if (HIWORD(message.WParam) == BN_CLICKED) {
            SetChecked(true);
            Click();
        }
        message.Result = 0;
        return;
    }
    TWinControl::Dispatch(message);
}

}  // namespace gui
