#include "mainwindow/WorkerMessageRules.h"

#include "common/SafeFileName.h"
#include "common/TextFunctions.h"
#include "feed/ThumbnailBatches.h"

#include <algorithm>
#include <climits>

const wchar_t kCaptionWordDelimiters[] = L" \n\r\t#@\"'`\u00B4\u00AB\u00BB\u02DD.,:;?!(){}[]+-*/=<>";

namespace {

// 3 seconds in the 100-ns units of a FILETIME.
constexpr ULONGLONG kItemTimeStep = 30000000;

}  // namespace

int nextPageRepeatCount(const std::wstring& suffix, const std::wstring& lastSuffix, int repeatCount) {
    return suffix == lastSuffix ? repeatCount + 1 : 0;
}

std::wstring feedPageUrl(const std::wstring& host, const std::wstring& userName, const std::wstring& suffix) {
    return L"http://" + host + L"/" + userName + suffix;
}

FILETIME itemTimeAfter(const FILETIME& previous) {
    ULARGE_INTEGER time;
    time.LowPart = previous.dwLowDateTime;
    time.HighPart = previous.dwHighDateTime;
    time.QuadPart = time.QuadPart >= kItemTimeStep ? time.QuadPart - kItemTimeStep : 0;
    FILETIME result;
    result.dwLowDateTime = time.LowPart;
    result.dwHighDateTime = time.HighPart;
    return result;
}

FILETIME currentItemTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME result{};
    SystemTimeToFileTime(&now, &result);
    return result;
}

std::wstring feedEndMessage(int totalMediaCount, int endCode, size_t photoCount,
                            const std::wstring& userName) {
    if (totalMediaCount == 0)
        return formatString(L"Instagram user \"%s\" doesn't have public photos.", userName.c_str());
    if (endCode == -1)
        return L"There are some temporary server issues. Please try again.";
    return missingThumbnailsMessage(totalMediaCount,
                                    static_cast<int32_t>(std::min<size_t>(photoCount, INT32_MAX)));
}

bool progressWorthShowing(double progress, double shownProgress, int32_t workUnits) {
    return progress - shownProgress > 0.01 * (workUnits > 0 ? workUnits : 1);
}

std::wstring itemFileName(const std::wstring& videoUrl, const std::wstring& standardResolutionUrl,
                          const std::wstring& id) {
    return fileNameFromUrl(videoUrl.empty() ? standardResolutionUrl : videoUrl, id);
}
