#pragma once
// The control's proxies: one ProxySettings record per protocol id, set and read by the host through
// SetProxy and GetProxy, and preset from the system's proxy setting when the control is built.
#include <array>
#include <cstdint>
#include <string>

#include "downloadcontrol/LastErrorHolder.h"
#include "downloadcontrol/net/ProxySettings.h"

class ProxyTable {
public:
    // Field ids of get().
    enum ProxyField {
        ProxyServerField = 0,
        ProxyUserNameField = 1,
        ProxyPasswordField = 2,
        ProxyMethodField = 3
    };

    // SetProxy: stores the proxy of one protocol; an empty server removes it. False after storing the
    // error code (36 method out of range, 28 server text not understood, 29 protocol id out of range).
    bool set(int32_t protocolId, const std::wstring& server, const std::wstring& userName,
             const std::wstring& password, int32_t method, LastErrorHolder& errors);

    // GetProxy: "host:port" (empty without a proxy), the user name, the password or the method as
    // decimal text. An empty text after storing 29 (protocol id) or 37 (field id).
    std::wstring get(int32_t protocolId, int32_t field, LastErrorHolder& errors) const;

    // The record of a protocol (an empty one for an id outside 0..3).
    ProxySettings forProtocol(int32_t protocolId) const;

    // Presets the records from the current user's system proxy setting, when it names one.
    void presetFromSystem();

    // Presets the records from a system proxy list: "server" for HTTP and HTTPS, or entries
    // "scheme=server" separated by blanks or semicolons for one protocol each ("ftp" for FTP and FTP
    // over TLS). HTTPS goes through a tunnel, HTTP through a forwarding proxy, FTP with method 0.
    void presetFromList(const std::wstring& list);

private:
    std::array<ProxySettings, 4> records_{};
};
