#pragma once
// TButton and TRadioButton: the system's push button (with a default or cancel role and a modal
// result for its form) and radio button (checked ones uncheck their siblings).
#include "gui/WinControl.h"

namespace gui {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    // Enter presses the default button of a form (unless another button has the focus).
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    // Escape presses the cancel button.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    // Copied to the form before OnClick runs, so OnClick may set it back to mrNone.
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    // Presses the button as a click would.
    void Click() override;
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return checked_; }
    // Checking unchecks the other radio buttons of the same parent; it fires no event.
    void SetChecked(bool checked);

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    bool checked_ = false;
};

}  // namespace gui
