#include "downloadcontrol/engine/SizeQuery.h"

#include <algorithm>
#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/WorkerThread.h"
#include "downloadcontrol/net/DownloadClient.h"

namespace {

// The end of "scheme://host[:port]" in a URL, or npos when it has no scheme.
std::size_t authorityEnd(const std::wstring& url) {
    const std::size_t scheme = url.find(L"://");
    if (scheme == std::wstring::npos) {
        return std::wstring::npos;
    }
    const std::size_t end = url.find_first_of(L"/?#", scheme + 3);
    return end == std::wstring::npos ? url.size() : end;
}

// The path with its "." and ".." segments worked out, as a browser does before it asks.
std::wstring withoutDotSegments(const std::wstring& path) {
    std::vector<std::wstring> kept;
    std::size_t at = 0;
    bool endsInFolder = false;
    while (at <= path.size()) {
        std::size_t end = path.find(L'/', at);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        const std::wstring segment = path.substr(at, end - at);
        endsInFolder = segment == L"." || segment == L"..";
        if (segment == L"..") {
            if (kept.size() > 1) {
                kept.pop_back();
            }
        } else if (segment != L".") {
            kept.push_back(segment);
        }
        at = end + 1;
    }
    std::wstring result;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        result += (i == 0 ? L"" : L"/") + kept[i];
    }
    if (endsInFolder) {
        result += L"/";
    }
    return result;
}

// "scheme://host[:port]" + the path made clean + whatever query or fragment follows it.
std::wstring joinCleanPath(const std::wstring& origin, const std::wstring& pathAndQuery) {
    const std::size_t query = pathAndQuery.find_first_of(L"?#");
    const std::wstring path = pathAndQuery.substr(0, query);
    const std::wstring rest = query == std::wstring::npos ? std::wstring() : pathAndQuery.substr(query);
    return origin + withoutDotSegments(path) + rest;
}

}  // namespace

std::wstring resolveLocation(const std::wstring& base, const std::wstring& location) {
    const std::wstring target = trimText(location);
    const std::size_t firstDelimiter = target.find_first_of(L"/?#");
    const std::size_t schemeEnd = target.find(L"://");
    if (schemeEnd != std::wstring::npos &&
        (firstDelimiter == std::wstring::npos || schemeEnd < firstDelimiter)) {
        return target;
    }
    const std::size_t authority = authorityEnd(base);
    if (authority == std::wstring::npos) {
        return target;
    }
    if (target.compare(0, 2, L"//") == 0) {
        return base.substr(0, base.find(L"://") + 1) + target;
    }
    if (!target.empty() && target[0] == L'/') {
        return joinCleanPath(base.substr(0, authority), target);
    }
    // Relative to the base's folder: its path without query or fragment, up to the last "/".
    std::wstring path = base.substr(authority);
    path = path.substr(0, path.find_first_of(L"?#"));
    const std::size_t lastSlash = path.rfind(L'/');
    const std::wstring folder = lastSlash == std::wstring::npos ? L"/" : path.substr(0, lastSlash + 1);
    if (!target.empty() && (target[0] == L'?' || target[0] == L'#')) {
        return base.substr(0, authority) + path + target;
    }
    return joinCleanPath(base.substr(0, authority), folder + target);
}

SizeQuery::SizeQuery(std::unique_ptr<DownloadItem> item, const std::wstring& url,
                     const EngineSettings& settings, const ProxyTable& proxies,
                     LastErrorHolder& controlErrors, NotificationWindow& window, HANDLE cancelEvent,
                     DownloadClientFactory& clients)
    : item_(std::move(item)),
      url_(url),
      settings_(settings),
      proxies_(proxies),
      controlErrors_(controlErrors),
      window_(window),
      cancelEvent_(cancelEvent),
      clients_(clients) {}

void SizeQuery::post(int64_t size, const std::wstring& lastModified) {
    auto result = std::make_unique<SizeQueryResult>();
    result->url = url_;
    result->size = size;
    result->lastModified = lastModified;
    window_.postSizeQueryDone(std::move(result));
}

void SizeQuery::fail(int32_t code) {
    if (code != ErrNone) {
        controlErrors_.setError(code);
    }
    post(-2, std::wstring());
}

bool SizeQuery::ask(DownloadClient& client, int64_t& size, std::wstring& lastModified, std::wstring& location,
                    std::wstring& proxyLocation) {
    for (int32_t attempt = 1;; ++attempt) {
        if (client.querySize(size, lastModified, location, proxyLocation)) {
            return true;
        }
        location.clear();
        proxyLocation.clear();
        if (attempt >= settings_.attempts || errors_.stopRequest()) {
            return false;
        }
        const DWORD wait = static_cast<DWORD>(std::max<int32_t>(settings_.retryWait, 0));
        if (WaitForSingleObject(cancelEvent_, wait) != WAIT_TIMEOUT) {
            return false;
        }
    }
}

void SizeQuery::run() {
    if (!runWithoutExceptions([&] { query(); })) {
        // The host hears of the query even so, when there is memory for that.
        runWithoutExceptions([&] { fail(ErrOutOfMemory); });
    }
}

void SizeQuery::query() {
    std::unique_ptr<DownloadClient> client =
        clients_.makeClient(*item_, settings_.connectionTimeout, settings_.receiveBufferSize, errors_);
    if (!client) {
        fail(ErrConnect);
        return;
    }
    for (int turn = 0;; ++turn) {
        int64_t size = -1;
        std::wstring lastModified;
        std::wstring location;
        std::wstring proxyLocation;
        if (!ask(*client, size, lastModified, location, proxyLocation)) {
            fail(errors_.error() != ErrNone ? errors_.error() : ErrReceive);
            return;
        }
        if (location.empty() && proxyLocation.empty()) {
            post(size, lastModified);
            return;
        }
        if (turn >= kMaximumQueryTurns) {
            fail(ErrTooManyRedirects);
            return;
        }
        if (location.empty()) {
            // A proxy named by the server is not taken: the server would choose where the query and the
            // proxy's credentials go.
            fail(ErrHttpStatus);
            return;
        }
        const ProtocolId previous = item_->protocol;
        const bool previousTls = item_->implicitTls;
        const std::wstring previousHost = item_->host;
        const int32_t previousPort = item_->port;
        const std::wstring resolved = resolveLocation(item_->url, location);
        if (!item_->setUrl(resolved, item_->implicitTls)) {
            fail(ErrUrlParse);
            return;
        }
        item_->replyText = resolved;
        const bool otherScheme = item_->protocol != previous || item_->implicitTls != previousTls;
        const bool otherServer =
            compareText(item_->host, previousHost, false) != 0 || item_->port != previousPort;
        if (otherServer) {
            // The user's credentials belong to the server they were given for: no other server sees them.
            item_->userName.clear();
            item_->password.clear();
        }
        if (otherScheme || otherServer) {
            // Another scheme needs another kind of client, with that scheme's proxy; another server a
            // client without the credentials.
            if (otherScheme) {
                item_->proxy = proxies_.forProtocol(item_->protocol);
            }
            client->close();
            client = clients_.makeClient(*item_, settings_.connectionTimeout, settings_.receiveBufferSize,
                                         errors_);
            if (!client) {
                fail(ErrConnect);
                return;
            }
            continue;
        }
        client->retarget(item_->host, item_->port, item_->path, item_->proxy.host, item_->proxy.port);
    }
}

SizeQueries::SizeQueries() : cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void SizeQueries::prune() {
    running_.erase(std::remove_if(running_.begin(), running_.end(),
                                  [](const Running& entry) {
                                      return WaitForSingleObject(entry.thread.get(), 0) == WAIT_OBJECT_0;
                                  }),
                   running_.end());
}

bool SizeQueries::start(std::unique_ptr<SizeQuery> query) {
    prune();
    ScopedHandle thread = createSuspendedThreadFor(*query);
    if (!thread.valid()) {
        return false;
    }
    running_.push_back(Running{std::move(query), std::move(thread)});
    ResumeThread(running_.back().thread.get());
    return true;
}

void SizeQueries::cancelAndJoin() {
    SetEvent(cancelEvent_.get());
    for (Running& entry : running_) {
        entry.query->cancel();
    }
    for (Running& entry : running_) {
        WaitForSingleObject(entry.thread.get(), INFINITE);
    }
    running_.clear();
    ResetEvent(cancelEvent_.get());
}

std::size_t SizeQueries::runningCount() {
    prune();
    return running_.size();
}
