#pragma once
// TLabel: windowless text in the control's font, on its colour unless transparent; with
// AutoSize (the default) the control takes the size of its text.
#include "gui/GraphicControl.h"

namespace gui {

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // "&" marks an accelerator (and "&&" is one "&") unless this is off.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;

private:
    UINT textFormat() const;
    void adjustBounds();

    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

}  // namespace gui
