#pragma once
// The overall progress of a run, as a fraction 0..1 and as the position of the progress bar
// (0..kProgressBarRange). Setting the fraction can move the bar back; additions never do.
#include <cstdint>

constexpr int32_t kProgressBarRange = 65530;

class OverallProgress {
public:
    // The bar position of a fraction: clamped to 0..1, times the range, rounded half up.
    static int32_t positionFor(double fraction);

    // Sets the fraction (clamped to 0..1) and the position with it.
    void set(double fraction);
    // Adds to the fraction (clamped to 0..1). The position follows only upwards; true when it moved.
    bool add(double delta);

    double fraction() const { return fraction_; }
    int32_t position() const { return position_; }

private:
    double fraction_ = 0;
    int32_t position_ = 0;
};
