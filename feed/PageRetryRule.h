#pragma once
// What a failed download of a feed page leads to. The page downloader's failure code decides: a
// stop is silent, a lost connection ends the load, anything else is tried again 3000 ms later, up
// to a limit, and then ends the load with a message.
#include <string>

// The pause before a failed page is asked for again.
constexpr unsigned kPageRetryIntervalMs = 3000;

enum class PageFailureAction {
    ignore,        // the user stopped the download
    retry,         // ask for the page again after kPageRetryIntervalMs
    noConnection,  // end the load: "Please check your Internet connection."
    noSuchUser,    // end the load: the user does not exist
    serverIssues,  // end the load: temporary server issues
};

// error: the control's code for the failed page. countReceived: the profile's media count has
// arrived (a received 0 is a count). retries: failed tries of this page so far. A page that is
// not found (17) before any count means the user does not exist after 3 tries in all; any other
// failure is given up after 7.
PageFailureAction decidePageFailure(long error, bool countReceived, int retries);

// The message that ends a load, empty for ignore and retry.
std::wstring pageFailureMessage(PageFailureAction action, const std::wstring& userName);
