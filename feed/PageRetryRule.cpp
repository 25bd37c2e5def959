#include "feed/PageRetryRule.h"

#include "common/TextFunctions.h"
#include "feed/DownloadErrors.h"

PageFailureAction decidePageFailure(long error, bool countReceived, int retries) {
    if (error == kErrorStopped) {
        return PageFailureAction::ignore;
    }
    if (error == kErrorNoConnection) {
        return PageFailureAction::noConnection;
    }
    const bool userUnknown = error == kErrorNotFound && !countReceived;
    if (retries < (userUnknown ? 2 : 6)) {
        return PageFailureAction::retry;
    }
    return userUnknown ? PageFailureAction::noSuchUser : PageFailureAction::serverIssues;
}

std::wstring pageFailureMessage(PageFailureAction action, const std::wstring& userName) {
    switch (action) {
    case PageFailureAction::noConnection:
        return L"Please check your Internet connection.";
    case PageFailureAction::noSuchUser:
        return formatString(L"Instagram username \"%s\" doesn't exist.", userName.c_str());
    case PageFailureAction::serverIssues:
        return L"There are some temporary server issues. Please try again.";
    default:
        return std::wstring();
    }
}
