#include "gui/SizeConstraints.h"

namespace gui {

ConstrainedSize ApplySizeConstraints(int width, int height, int minWidth, int minHeight, int maxWidth,
                                     int maxHeight) {
    if (maxWidth > 0 && width > maxWidth)
        width = maxWidth;
    if (maxHeight > 0 && height > maxHeight)
        height = maxHeight;
    if (minWidth > 0 && width < minWidth)
        width = minWidth;
    if (minHeight > 0 && height < minHeight)
        height = minHeight;
    return ConstrainedSize{width, height};
}

}  // namespace gui
