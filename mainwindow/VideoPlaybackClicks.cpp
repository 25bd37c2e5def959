#include "mainwindow/VideoPlaybackClicks.h"

void ViewPressRules::pressed(PressedPart part) {
    part_ = part;
    clicked_ = false;
    secondPressHeld_ = false;
    clickTimeOver_ = false;
}

ViewPressRules::Release ViewPressRules::released(bool insidePressedPart, bool wasPlayingBeforeSeek) {
    Release release;
    if (part_ == PressedPart::Player) {
        if (secondPressHeld_) {
            secondPressHeld_ = false;
            release.swallow = true;
            release.removeHook = clickTimeOver_;
            if (clickTimeOver_)
                pressed(PressedPart::None);
            return release;
        }
        if (!clicked_ && insidePressedPart) {
            clicked_ = true;
            release.toggleSelection = true;
            return release;  // the hook stays for the click time
        }
        if (clicked_)
            return release;
    }
    release.resumePlay = part_ == PressedPart::SeekThumb && wasPlayingBeforeSeek;
    pressed(PressedPart::None);
    release.removeHook = true;
    return release;
}

bool ViewPressRules::swallowPlayerPress() {
    if (part_ != PressedPart::Player || !clicked_)
        return false;
    secondPressHeld_ = true;
    return true;
}

bool ViewPressRules::clickTimeOver() {
    if (part_ != PressedPart::Player)
        return false;
    if (secondPressHeld_) {
        clickTimeOver_ = true;  // the release still has to be kept from the player
        return false;
    }
    pressed(PressedPart::None);
    return true;
}
