#pragma once
// The decisions the main window's procedure takes on the records its worker threads post: kept
// apart from the window so they are tested without one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Caption words are split at these characters (after symbols and emoji are blanked).
extern const wchar_t kCaptionWordDelimiters[];

// The repeat count after a page with suffix is requested: one more when it equals the suffix
// requested last, else 0.
int nextPageRepeatCount(const std::wstring& suffix, const std::wstring& lastSuffix, int repeatCount);

// The address of a profile or feed page: "http://<host>/<user><suffix>".
std::wstring feedPageUrl(const std::wstring& host, const std::wstring& userName, const std::wstring& suffix);

// The time of the item after one stamped previous: 3 seconds earlier, so saved files sort in feed
// order. The first item of a load takes the current time.
FILETIME itemTimeAfter(const FILETIME& previous);
FILETIME currentItemTime();

// What the end of a feed tells the user; "" when every item arrived. totalMediaCount is -1 when the
// profile gave no usable number: then nothing is said about missing items.
std::wstring feedEndMessage(int totalMediaCount, int endCode, size_t photoCount,
                            const std::wstring& userName);

// Progress arrives several times per file: the strip (and the load's pie) is redrawn only when the
// work (of workUnits units) has moved by more than a hundredth of itself since it was last shown.
bool progressWorthShowing(double progress, double shownProgress, int32_t workUnits);

// The file name of an item: from its video address when it has one, else from its full-size
// address; the id when the address gives none.
std::wstring itemFileName(const std::wstring& videoUrl, const std::wstring& standardResolutionUrl,
                          const std::wstring& id);

// A menu command that arrived at the main window goes to the first item of the list with that
// command identifier and a click handler (an item without one lets the search go on); null when
// there is none.
template <typename MenuItem>
MenuItem* menuCommandTarget(const std::vector<MenuItem*>& items, UINT command) {
    for (MenuItem* item : items) {
        if (item && item->Command() == command && item->OnClick)
            return item;
    }
    return nullptr;
}
