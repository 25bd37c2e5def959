#pragma once
// The parts of a download URL that the control works with: its protocol, server and path, and the name
// and folder of the file it points at.
#include <cstdint>
#include <string>

enum ProtocolId : int32_t {
    ProtocolHttp = 0,
    ProtocolHttps = 1,
    ProtocolFtp = 2,
    ProtocolFtps = 3,
};
constexpr int32_t kProtocolCount = 4;

struct DownloadUrl {
    std::wstring url;          // the whole URL as given
    std::wstring folder;       // the URL up to and including its last "/"
    std::wstring nameFromUrl;  // the URL after its last "/"
    ProtocolId protocol = ProtocolHttp;
    std::wstring host;
    int32_t port = 0;          // from the URL, else the protocol's default
    bool implicitTls = false;  // FTP over TLS on its own port (990) instead of negotiated on port 21
    std::wstring path;         // from the "/" after the host on; "/" when the URL has none
};

// Parses "scheme://host[:port][/path]" with the schemes http, https, ftp and ftps (any letter case).
// `implicitTls` is the AddFile option 1. False, leaving `parsed` unchanged, when the URL has no "/", an
// unknown scheme, an empty host, or a port that is not a decimal number in 1..65535.
bool parseDownloadUrl(const std::wstring& url, bool implicitTls, DownloadUrl& parsed);
