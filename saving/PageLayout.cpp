#include "saving/PageLayout.h"

#include <cmath>

PageRect fitPictureOnPage(float pictureWidth, float pictureHeight, float pageWidth, float pageHeight) {
    double width = pictureWidth;
    double height = pictureHeight;
    if (width > pageWidth && width > 0) {
        height = height / width * pageWidth;
        width = pageWidth;
    }
    if (height > pageHeight && height > 0) {
        width = width / height * pageHeight;
        height = pageHeight;
    }
    width = std::trunc(width);
    height = std::trunc(height);
    PageRect rect;
    rect.width = static_cast<float>(width);
    rect.height = static_cast<float>(height);
    rect.x = static_cast<float>((pageWidth - width) * 0.5);
    rect.y = static_cast<float>((pageHeight - height) * 0.5);
    return rect;
}
