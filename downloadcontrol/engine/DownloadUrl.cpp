#include "downloadcontrol/engine/DownloadUrl.h"

#include <algorithm>

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"

namespace {

struct SchemeEntry {
    const wchar_t* storedName;
    ProtocolId protocol;
};

constexpr auto kHttp = scrambleText(L"http");
constexpr auto kHttps = scrambleText(L"https");
constexpr auto kFtp = scrambleText(L"ftp");
constexpr auto kFtps = scrambleText(L"ftps");
constexpr auto kSchemeEnd = scrambleText(L"://");
constexpr auto kDefaultPath = scrambleText(L"/");

const SchemeEntry kSchemes[] = {
    {kHttp.chars, ProtocolHttp},
    {kHttps.chars, ProtocolHttps},
    {kFtp.chars, ProtocolFtp},
    {kFtps.chars, ProtocolFtps},
};

int32_t defaultPort(ProtocolId protocol, bool implicitTls) {
    switch (protocol) {
    case ProtocolHttp:
        return 80;
    case ProtocolHttps:
        return 443;
    case ProtocolFtp:
        return 21;
    case ProtocolFtps:
        return implicitTls ? 990 : 21;
    }
    return 0;
}

}  // namespace

bool parseDownloadUrl(const std::wstring& url, bool implicitTls, DownloadUrl& parsed) {
    DownloadUrl result;
    result.url = url;
    result.implicitTls = implicitTls;

    const std::size_t lastSeparator = url.rfind(L'/');
    if (lastSeparator == std::wstring::npos) {
        return false;
    }
    result.folder = url.substr(0, lastSeparator + 1);
    result.nameFromUrl = url.substr(lastSeparator + 1);

    const std::wstring schemeEnd = UnscrambleString(kSchemeEnd.chars);
    const std::size_t schemeLength = url.find(schemeEnd);
    if (schemeLength == std::wstring::npos) {
        return false;
    }
    const std::wstring scheme = url.substr(0, schemeLength);
    bool known = false;
    for (const SchemeEntry& entry : kSchemes) {
        if (compareText(scheme, UnscrambleString(entry.storedName), false) == 0) {
            result.protocol = entry.protocol;
            known = true;
            break;
        }
    }
    if (!known) {
        return false;
    }
    result.port = defaultPort(result.protocol, implicitTls);

    const std::size_t hostStart = schemeLength + schemeEnd.size();
    const std::size_t hostEnd = std::min(url.find(L':', hostStart), url.find(L'/', hostStart));
    result.host =
        url.substr(hostStart, hostEnd == std::wstring::npos ? std::wstring::npos : hostEnd - hostStart);
    if (result.host.empty()) {
        return false;
    }

    std::size_t pathStart = hostEnd;
    if (hostEnd != std::wstring::npos && url[hostEnd] == L':') {
        pathStart = url.find(L'/', hostEnd + 1);
        const std::size_t portEnd = pathStart == std::wstring::npos ? url.size() : pathStart;
        const int32_t port = parseInt32(url.substr(hostEnd + 1, portEnd - hostEnd - 1), -1);
        if (port < 1 || port > 65535) {
            return false;
        }
        result.port = port;
    }
    result.path = pathStart == std::wstring::npos ? std::wstring() : url.substr(pathStart);
    if (result.path.empty()) {
        result.path = UnscrambleString(kDefaultPath.chars);
    }
    parsed = std::move(result);
    return true;
}
