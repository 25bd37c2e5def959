#include "controls/PatternPhase.h"

namespace controls {

int patternBrushIndex(int verticalPosition, int patternHeight) {
    if (patternHeight <= 0 || verticalPosition < 0)
        return -1;
    const int phase = verticalPosition % patternHeight;
    return phase < kPatternPhases ? phase : -1;
}

bool tileReachesClip(const RECT& clip, const RECT& tile) {
    return clip.top < tile.bottom && clip.bottom >= tile.top && clip.left < tile.right &&
           clip.right >= tile.left;
}

}  // namespace controls
