#pragma once
// The state machines of the hover protocol: the hovered flag every hover control keeps, and the
// face a picture button shows. Pure logic; the controls repaint and fire events on the results.

namespace controls {

class HoverFlag {
public:
    bool Hovered() const { return hovered_; }
    // A plain write, as the MouseOver property does: no event follows.
    void Set(bool hovered) { hovered_ = hovered; }
    // The pointer arrived. True when the control was not hovered before (its enter event fires).
    bool Enter();
    // The pointer went to another control. True when the control was hovered (its leave event fires).
    bool Leave();

private:
    bool hovered_ = false;
};

// What a picture button shows; the numbers are its pictures' offsets from the first id.
enum class ButtonFace { Normal = 0, MouseOver = 1, Pressed = 2 };

class ButtonFaceState {
public:
    ButtonFace Face() const { return face_; }
    bool Hovered() const { return hover_.Hovered(); }

    // Each returns true when the face changed, so the button repaints.
    // heldByThisButton: the left button went down on this button and is still down.
    bool Enter(bool heldByThisButton);
    bool Leave();
    // A left press shows the pressed face; a left release inside the button the mouse-over face.
    bool Press();
    bool ReleaseInside();

private:
    bool show(ButtonFace face);

    HoverFlag hover_;
    ButtonFace face_ = ButtonFace::Normal;
};

}  // namespace controls
