#pragma once
// GetFileSizeLastModified on a thread of its own: asks the server for a file's size and last-modified
// time, follows up to five redirects to new locations (the user's credentials go only to the server they
// were given for; a proxy named by the server is not taken), and posts the answer to the
// notification window. The query has its own error holder, so that a stop of the control's run does not
// cut it short; its failure code is copied into the control's holder.
//
// The control keeps every query until its thread has ended, and cancels and joins them all before it
// goes (SizeQueries).
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/ScopedHandle.h"
#include "downloadcontrol/engine/ClientFactory.h"
#include "downloadcontrol/engine/DownloadItem.h"
#include "downloadcontrol/engine/EngineSettings.h"
#include "downloadcontrol/engine/NotificationWindow.h"
#include "downloadcontrol/net/ProxyTable.h"

// Redirects a query follows before it gives up with error 27.
constexpr int kMaximumQueryTurns = 5;

// A Location value made absolute against the address it came from: absolute URLs are kept,
// "//host/path" takes the base's scheme, "/path" the base's scheme and server, anything else replaces
// the last part of the base's path (query and fragment of the base are ignored); "." and ".." segments
// are worked out.
std::wstring resolveLocation(const std::wstring& base, const std::wstring& location);

class SizeQuery {
public:
    // `item` holds the parsed URL and the credentials; `url` is the address as the host passed it.
    SizeQuery(std::unique_ptr<DownloadItem> item, const std::wstring& url, const EngineSettings& settings,
              const ProxyTable& proxies, LastErrorHolder& controlErrors, NotificationWindow& window,
              HANDLE cancelEvent, DownloadClientFactory& clients);

    void run();
    // Makes the query end soon: its client sees the stop request and its retry pause ends.
    void cancel() { errors_.setStopRequest(true); }

private:
    void query();
    // querySize under the retry rule.
    bool ask(DownloadClient& client, int64_t& size, std::wstring& lastModified, std::wstring& location,
             std::wstring& proxyLocation);
    void fail(int32_t code);
    void post(int64_t size, const std::wstring& lastModified);

    std::unique_ptr<DownloadItem> item_;
    const std::wstring url_;
    const EngineSettings settings_;
    const ProxyTable proxies_;
    LastErrorHolder errors_;
    LastErrorHolder& controlErrors_;
    NotificationWindow& window_;
    HANDLE cancelEvent_;
    DownloadClientFactory& clients_;
};

// The queries of one control and their threads.
class SizeQueries {
public:
    SizeQueries();
    ~SizeQueries() { cancelAndJoin(); }
    SizeQueries(const SizeQueries&) = delete;
    SizeQueries& operator=(const SizeQueries&) = delete;

    // Starts the query's thread; false when it cannot be started (the query is dropped).
    bool start(std::unique_ptr<SizeQuery> query);
    // Cancels every running query and waits for its thread.
    void cancelAndJoin();
    // Queries whose threads still run.
    std::size_t runningCount();
    // Signalled when the queries are cancelled; their retry pauses wait on it.
    HANDLE cancelEvent() const { return cancelEvent_.get(); }

private:
    struct Running {
        std::unique_ptr<SizeQuery> query;
        ScopedHandle thread;
    };
    // Frees the queries whose threads have ended.
    void prune();

    ScopedHandle cancelEvent_;
    std::vector<Running> running_;
};
