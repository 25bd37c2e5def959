#pragma once
// The recommendation window's decisions, apart from the browser: whether a page's reported size
// resizes the window (and to what), and what a link the page opens does.
#include <windows.h>

#include <string>

// The window around the browser: a strip of this height above it, a border of this width on the
// other three sides.
constexpr int kRecommendTitleHeight = 30;
constexpr int kRecommendBorder = 2;

struct RecommendFit {
    bool resize = false;
    int browserWidth = 0;
    int browserHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// The fit for a page whose size elements were found (elementsFound) and hold the two texts. The
// size must be two positive whole numbers; the window with its border and strip is kept within
// workArea. It resizes only when both sides differ from the browser's current size, so a page
// that reports the size it already has (or never reports one) leaves the window as it is.
RecommendFit decideRecommendFit(bool elementsFound, const std::wstring& widthText,
                                const std::wstring& heightText, SIZE currentBrowserSize,
                                const RECT& workArea);

enum class RecommendLinkAction {
    CloseOnly,     // "about:blank", or an address that is not a web or mail link
    OpenAndClose,  // a web or mail address: handed to the user's browser or mail program
};
RecommendLinkAction recommendLinkAction(const std::wstring& url);
