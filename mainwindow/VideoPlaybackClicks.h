#pragma once
// What the full-size view's mouse hook does with a press on one of its parts until the button
// is let go. A click on the playing video toggles the selection; the second press of a double
// click, and its release, never reach the player (which would switch to full screen) and toggle
// nothing more. The hook stays until the click time is over.

enum class PressedPart { None, Player, BigPlay, Picture, SeekThumb, VolumeThumb };

class ViewPressRules {
public:
    struct Release {
        bool toggleSelection = false;
        bool resumePlay = false;  // a seek drag of a playing video ended
        bool swallow = false;     // the player must not see this release
        bool removeHook = false;
    };

    // A part was pressed (for the player: its mouse-down event). It becomes the pressed one.
    void pressed(PressedPart part);
    PressedPart pressedPart() const { return part_; }

    // The left button went up; insidePressedPart: the pointer is over the pressed part.
    Release released(bool insidePressedPart, bool wasPlayingBeforeSeek);
    // The left button went down (or double-clicked) over the player while the hook runs: true
    // when the player must not see it.
    bool swallowPlayerPress();
    // The click time after a press on the player is over: true when the hook goes.
    bool clickTimeOver();

private:
    PressedPart part_ = PressedPart::None;
    bool clicked_ = false;          // a click on the player toggled the selection
    bool secondPressHeld_ = false;  // the second press of a double click is down
    bool clickTimeOver_ = false;
};
