#include "downloadcontrol/engine/OverallProgress.h"

#include <cmath>

#include "downloadcontrol/ControlUtilities.h"

namespace {

// A fraction that is not a number counts as 0.
double clampFraction(double fraction) {
    if (!(fraction > 0)) {
        return 0;
    }
    return fraction > 1 ? 1 : fraction;
}

}  // namespace

int32_t OverallProgress::positionFor(double fraction) {
    const int64_t position = roundHalfUp(clampFraction(fraction) * kProgressBarRange);
    return position > kProgressBarRange ? kProgressBarRange : static_cast<int32_t>(position);
}

void OverallProgress::set(double fraction) {
    fraction_ = clampFraction(fraction);
    position_ = positionFor(fraction_);
}

bool OverallProgress::add(double delta) {
    if (!std::isfinite(delta)) {
        return false;
    }
    fraction_ = clampFraction(fraction_ + delta);
    const int32_t position = positionFor(fraction_);
    if (position <= position_) {
        return false;
    }
    position_ = position;
    return true;
}
