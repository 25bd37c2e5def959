#include "downloadcontrol/net/ProxyTable.h"

#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <vector>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/engine/DownloadUrl.h"

namespace {

// INTERNET_PROXY_INFO with wide texts, which the system headers here do not declare.
struct ProxyInfoW {
    DWORD accessType;
    LPCWSTR proxy;
    LPCWSTR proxyBypass;
};

bool validId(int32_t protocolId) {
    return protocolId >= ProtocolHttp && protocolId <= ProtocolFtps;
}

// A server text may carry a scheme ("http://host:port/"), as proxy variables often do.
std::wstring withoutScheme(const std::wstring& server) {
    const std::size_t schemeEnd = server.find(L"://");
    return schemeEnd == std::wstring::npos ? server : server.substr(schemeEnd + 3);
}

int32_t systemMethod(int32_t protocolId) {
    return protocolId == ProtocolHttps ? 1 : 0;
}

}  // namespace

bool ProxyTable::set(int32_t protocolId, const std::wstring& server, const std::wstring& userName,
                     const std::wstring& password, int32_t method, LastErrorHolder& errors) {
    const int32_t highestMethod = (protocolId == ProtocolHttp || protocolId == ProtocolHttps) ? 1 : 7;
    if (method < 0 || method > highestMethod) {
        errors.setError(ErrProxyMethod);
        return false;
    }
    std::wstring host;
    int32_t port = 0;
    const std::wstring text = trimText(server);
    if (!text.empty()) {
        DownloadUrl parsed;
        if (!parseDownloadUrl(L"http://" + text, false, parsed)) {
            errors.setError(ErrProxyServer);
            return false;
        }
        host = parsed.host;
        port = parsed.port;
    }
    if (!validId(protocolId)) {
        errors.setError(ErrProtocolId);
        return false;
    }
    records_[static_cast<std::size_t>(protocolId)] = ProxySettings{host, port, userName, password, method};
    return true;
}

std::wstring ProxyTable::get(int32_t protocolId, int32_t field, LastErrorHolder& errors) const {
    if (!validId(protocolId)) {
        errors.setError(ErrProtocolId);
        return {};
    }
    const ProxySettings& record = records_[static_cast<std::size_t>(protocolId)];
    switch (field) {
    case ProxyServerField:
        return record.host.empty() ? std::wstring() : record.host + L":" + std::to_wstring(record.port);
    case ProxyUserNameField:
        return record.userName;
    case ProxyPasswordField:
        return record.password;
    case ProxyMethodField:
        return std::to_wstring(record.method);
    default:
        errors.setError(ErrProxyField);
        return {};
    }
}

ProxySettings ProxyTable::forProtocol(int32_t protocolId) const {
    return validId(protocolId) ? records_[static_cast<std::size_t>(protocolId)] : ProxySettings{};
}

void ProxyTable::presetFromList(const std::wstring& list) {
    std::vector<std::wstring> entries;
    std::wstring entry;
    for (wchar_t c : list + L" ") {
        if (c == L' ' || c == L';' || c == L'\t') {
            if (!entry.empty()) {
                entries.push_back(entry);
            }
            entry.clear();
        } else {
            entry += c;
        }
    }
    if (entries.empty()) {
        return;
    }
    // Texts the system hands over that cannot be used are skipped; nothing is reported for them.
    LastErrorHolder ignored;
    bool perProtocol = false;
    for (const std::wstring& item : entries) {
        perProtocol = perProtocol || item.find(L'=') != std::wstring::npos;
    }
    if (!perProtocol) {
        // One server for every protocol is a web proxy: FTP spoken to it would fail every log-on.
        for (int32_t id : {ProtocolHttp, ProtocolHttps}) {
            set(id, withoutScheme(entries.front()), L"", L"", systemMethod(id), ignored);
        }
        return;
    }
    for (const std::wstring& item : entries) {
        const std::size_t equals = item.find(L'=');
        if (equals == std::wstring::npos) {
            continue;
        }
        const std::wstring scheme = item.substr(0, equals);
        const std::wstring server = withoutScheme(item.substr(equals + 1));
        if (compareText(scheme, L"http", false) == 0) {
            set(ProtocolHttp, server, L"", L"", systemMethod(ProtocolHttp), ignored);
        } else if (compareText(scheme, L"https", false) == 0) {
            set(ProtocolHttps, server, L"", L"", systemMethod(ProtocolHttps), ignored);
        } else if (compareText(scheme, L"ftp", false) == 0) {
            // The system knows one FTP proxy; FTP over TLS logs on through the same.
            set(ProtocolFtp, server, L"", L"", systemMethod(ProtocolFtp), ignored);
            set(ProtocolFtps, server, L"", L"", systemMethod(ProtocolFtps), ignored);
        }
    }
}

void ProxyTable::presetFromSystem() {
    alignas(ProxyInfoW) BYTE buffer[4096];
    DWORD length = sizeof(buffer);
    if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, buffer, &length)) {
        return;
    }
    const auto* info = reinterpret_cast<const ProxyInfoW*>(buffer);
    if (info->accessType == INTERNET_OPEN_TYPE_PROXY && info->proxy && *info->proxy) {
        presetFromList(info->proxy);
    }
}
