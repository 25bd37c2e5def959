#include "forms/RecommendRules.h"

#include "common/OpenLink.h"
#include "common/TextFunctions.h"

#include <algorithm>

RecommendFit decideRecommendFit(bool elementsFound, const std::wstring& widthText,
                                const std::wstring& heightText, SIZE currentBrowserSize,
                                const RECT& workArea) {
    RecommendFit fit;
    if (!elementsFound)
        return fit;
    int width = stringToInt(widthText, 0);
    int height = stringToInt(heightText, 0);
    if (width <= 0 || height <= 0)
        return fit;
    // A page may report any size; the window never grows beyond the screen it is on.
    const int maxWidth = std::max(1, static_cast<int>(workArea.right - workArea.left) - 2 * kRecommendBorder);
    const int maxHeight = std::max(
        1, static_cast<int>(workArea.bottom - workArea.top) - kRecommendTitleHeight - kRecommendBorder);
    width = std::min(width, maxWidth);
    height = std::min(height, maxHeight);
    if (width == currentBrowserSize.cx || height == currentBrowserSize.cy)
        return fit;
    fit.resize = true;
    fit.browserWidth = width;
    fit.browserHeight = height;
    fit.clientWidth = width + 2 * kRecommendBorder;
    fit.clientHeight = height + kRecommendTitleHeight + kRecommendBorder;
    return fit;
}

RecommendLinkAction recommendLinkAction(const std::wstring& url) {
    return isWebOrMailLink(url) ? RecommendLinkAction::OpenAndClose : RecommendLinkAction::CloseOnly;
}
