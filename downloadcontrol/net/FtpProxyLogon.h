#pragma once
// The log-on variants of FTP proxies (methods 0..7): each is a fixed sequence of commands that carry
// the proxy's and the server's credentials and the server's host text, in the forms that the common
// kinds of FTP proxy expect.
#include <cstdint>
#include <string>
#include <vector>

struct FtpLogonValues {
    std::wstring userName;
    std::wstring password;
    std::wstring proxyUserName;
    std::wstring proxyPassword;
    std::wstring hostText;  // the server as "host:port"
};

struct FtpLogonStep {
    std::wstring command;
    int refusal;  // the FtpResult when the proxy refuses this command
};

// The highest proxy method of FTP.
constexpr int32_t kLastFtpProxyMethod = 7;

// The commands of a method in the order they are sent; none for a method outside 0..7.
std::vector<FtpLogonStep> ftpProxyLogonSteps(int32_t method, const FtpLogonValues& values);
