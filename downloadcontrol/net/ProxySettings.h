#pragma once
// The proxy that the control uses for one protocol; each file carries a copy of its protocol's record.
#include <cstdint>
#include <string>

struct ProxySettings {
    std::wstring host;  // empty: no proxy for this protocol
    int32_t port = 0;   // 0 while no host is set
    std::wstring userName;
    std::wstring password;
    // HTTP and HTTPS: 0 forwarding proxy, 1 tunnel; FTP and FTP over TLS: 0..7, the proxy log-on variant.
    int32_t method = 0;
};
