#include "controls/HoverState.h"

namespace controls {

bool HoverFlag::Enter() {
    if (hovered_)
        return false;
    hovered_ = true;
    return true;
}

bool HoverFlag::Leave() {
    if (!hovered_)
        return false;
    hovered_ = false;
    return true;
}

bool ButtonFaceState::Enter(bool heldByThisButton) {
    if (!hover_.Enter())
        return false;
    show(heldByThisButton ? ButtonFace::Pressed : ButtonFace::MouseOver);
    return true;
}

bool ButtonFaceState::Leave() {
    if (!hover_.Leave())
        return false;
    show(ButtonFace::Normal);
    return true;
}

bool ButtonFaceState::Press() {
    show(ButtonFace::Pressed);
    return true;
}

bool ButtonFaceState::ReleaseInside() {
    show(ButtonFace::MouseOver);
    return true;
}

bool ButtonFaceState::show(ButtonFace face) {
    const bool changed = face_ != face;
    face_ = face;
    return changed;
}

}  // namespace controls
