#pragma once
// TForm: a top-level window. Border styles (none, sizeable, dialog, tool window), key preview,
// window state, size constraints (also while the user drags the frame), show, close with its
// close-query and close events, modal showing with a modal result, and the focused control.
#include "gui/CustomControl.h"

namespace gui {

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Runs OnCreate. TApplication::CreateForm calls it once the form is fully constructed;
    // forms made with new call it themselves.
    void AfterConstruction();

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    // Keys of the focused control reach the form's key events first; they may consume them.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool keyPreview) { keyPreview_ = keyPreview; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);

    // Show also brings the form to the front and activates it.
    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery and OnClose; a modal form ends its modal loop with mrCancel.
    void Close();
    bool CloseQuery();
    // Shows the form with every other window of the program disabled until ModalResult is set.
    TModalResult ShowModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    // Frees the form once the current message has been handled.
    void Release();

    // The control that has (or gets, when the form becomes active) the keyboard focus;
    // null gives the focus to the form itself.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    bool Active() const;
    // Moves the focus to the next (or previous) control that stops the Tab key.
    TWinControl* SelectNext(TWinControl* current, bool forward);

    void SetVisible(bool visible) override;
    bool Showing() const override { return Visible(); }
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Used by the controls of the form.
    void FocusChanged(TWinControl* control);
    void ForgetControl(TControl* control);
    bool DialogKey(WORD key, TShiftState shift);

protected:
    void CreateParams(TCreateParams& params) override;
    void VisibleChanged() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);

private:
    void styleBits(DWORD& style, DWORD& exStyle) const;
    void closeModal();
    void applyMinMaxInfo(MINMAXINFO* info);

    TFormBorderStyle borderStyle_ = bsSizeable;
    bool keyPreview_ = false;
    TWindowState windowState_ = wsNormal;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    bool minimized_ = false;
    bool created_ = false;
};

}  // namespace gui
