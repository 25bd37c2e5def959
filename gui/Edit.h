#pragma once
// TEdit: the system's single-line edit box, in the control's font, font colour and colour.
#include "gui/WinControl.h"

namespace gui {

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Selection in characters.
    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    void SelectAll();

    // The text changed (by the user or the program).
    TNotifyEvent OnChange;

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void StoreText(const std::wstring& text) override;
    void TextChanged() override;

private:
    bool settingText_ = false;
    bool readOnly_ = false;
    int maxLength_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace gui
