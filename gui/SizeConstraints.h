#pragma once
// Minimum and maximum sizes of a control (0 = no limit), enforced whenever its bounds change
// and, for forms, while the user drags the frame.
#include <functional>

namespace gui {

struct ConstrainedSize {
    int width;
    int height;
};

// Pure rule: a maximum below the minimum gives way to the minimum.
ConstrainedSize ApplySizeConstraints(int width, int height, int minWidth, int minHeight, int maxWidth,
                                     int maxHeight);

class TSizeConstraints {
public:
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MaxHeight() const { return maxHeight_; }
    void SetMinWidth(int value) { set(minWidth_, value); }
    void SetMinHeight(int value) { set(minHeight_, value); }
    void SetMaxWidth(int value) { set(maxWidth_, value); }
    void SetMaxHeight(int value) { set(maxHeight_, value); }

    ConstrainedSize Apply(int width, int height) const {
        return ApplySizeConstraints(width, height, minWidth_, minHeight_, maxWidth_, maxHeight_);
    }

    // Called after any limit changed (the control re-applies its bounds).
    std::function<void()> OnChange;

private:
    void set(int& field, int value) {
        if (value < 0)
            value = 0;
        if (field == value)
            return;
        field = value;
        if (OnChange)
            OnChange();
    }

    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 0;
    int maxHeight_ = 0;
};

}  // namespace gui
