#pragma once
// TPanel: a windowed container with a background colour (or the pattern of its brush), optional
// bevels and a centred caption.
#include "gui/CustomControl.h"

namespace gui {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};

}  // namespace gui
