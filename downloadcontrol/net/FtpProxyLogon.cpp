#include "downloadcontrol/net/FtpProxyLogon.h"

#include "downloadcontrol/ControlUtilities.h"
#include "downloadcontrol/ScrambledText.h"
#include "downloadcontrol/net/FtpResult.h"

namespace {

// Each method has templates of its own, so one kind of proxy can change without touching another.
constexpr auto kSiteUser = scrambleText(L"USER %ls");
constexpr auto kSiteProxyPassword = scrambleText(L"PASS %ls");
constexpr auto kSiteHost = scrambleText(L"SITE %ls");
constexpr auto kSiteLogin = scrambleText(L"USER %ls");
constexpr auto kSitePassword = scrambleText(L"PASS %ls");

constexpr auto kAtUser = scrambleText(L"USER %ls@%ls");
constexpr auto kAtPassword = scrambleText(L"PASS %ls");

constexpr auto kLoginAtProxyUser = scrambleText(L"USER %ls");
constexpr auto kLoginAtProxyPassword = scrambleText(L"PASS %ls");
constexpr auto kLoginAtUser = scrambleText(L"USER %ls@%ls");
constexpr auto kLoginAtPassword = scrambleText(L"PASS %ls");

constexpr auto kAccountUser = scrambleText(L"USER %ls@%ls %ls");
constexpr auto kAccountPassword = scrambleText(L"PASS %ls");
constexpr auto kAccountProxyPassword = scrambleText(L"ACCT %ls");

constexpr auto kOpenProxyUser = scrambleText(L"USER %ls");
constexpr auto kOpenProxyPassword = scrambleText(L"PASS %ls");
constexpr auto kOpenHost = scrambleText(L"OPEN %ls");
constexpr auto kOpenUser = scrambleText(L"USER %ls");
constexpr auto kOpenPassword = scrambleText(L"PASS %ls");

constexpr auto kProxyAtHost = scrambleText(L"USER %ls@%ls");
constexpr auto kProxyAtUser = scrambleText(L"USER %ls");
constexpr auto kProxyAtPassword = scrambleText(L"PASS %ls");

constexpr auto kHostProxyUser = scrambleText(L"USER %ls");
constexpr auto kHostProxyPassword = scrambleText(L"PASS %ls");
constexpr auto kHostHost = scrambleText(L"HOST %ls");
constexpr auto kHostUser = scrambleText(L"USER %ls");
constexpr auto kHostPassword = scrambleText(L"PASS %ls");

constexpr auto kChainUser = scrambleText(L"USER %ls@%ls@%ls");
constexpr auto kChainPassword = scrambleText(L"PASS %ls@%ls");

std::wstring format(const wchar_t* stored, const std::wstring& a) {
    return formatText(UnscrambleString(stored).c_str(), a.c_str());
}

std::wstring format(const wchar_t* stored, const std::wstring& a, const std::wstring& b) {
    return formatText(UnscrambleString(stored).c_str(), a.c_str(), b.c_str());
}

std::wstring format(const wchar_t* stored, const std::wstring& a, const std::wstring& b,
                    const std::wstring& c) {
    return formatText(UnscrambleString(stored).c_str(), a.c_str(), b.c_str(), c.c_str());
}

}  // namespace

std::vector<FtpLogonStep> ftpProxyLogonSteps(int32_t method, const FtpLogonValues& v) {
    switch (method) {
    case 0:
        return {{format(kSiteUser.chars, v.proxyUserName), FtpUserRefused},
                {format(kSiteProxyPassword.chars, v.proxyPassword), FtpPasswordRefused},
                {format(kSiteHost.chars, v.hostText), FtpProxyLogonRefused},
                {format(kSiteLogin.chars, v.userName), FtpUserRefused},
                {format(kSitePassword.chars, v.password), FtpPasswordRefused}};
    case 1:
        return {{format(kAtUser.chars, v.userName, v.hostText), FtpUserRefused},
                {format(kAtPassword.chars, v.password), FtpPasswordRefused}};
    case 2:
        return {{format(kLoginAtProxyUser.chars, v.proxyUserName), FtpUserRefused},
                {format(kLoginAtProxyPassword.chars, v.proxyPassword), FtpPasswordRefused},
                {format(kLoginAtUser.chars, v.userName, v.hostText), FtpUserRefused},
                {format(kLoginAtPassword.chars, v.password), FtpPasswordRefused}};
    case 3:
        return {{format(kAccountUser.chars, v.userName, v.hostText, v.proxyUserName), FtpUserRefused},
                {format(kAccountPassword.chars, v.password), FtpPasswordRefused},
                {format(kAccountProxyPassword.chars, v.proxyPassword), FtpProxyLogonRefused}};
    case 4:
        return {{format(kOpenProxyUser.chars, v.proxyUserName), FtpUserRefused},
                {format(kOpenProxyPassword.chars, v.proxyPassword), FtpPasswordRefused},
                {format(kOpenHost.chars, v.hostText), FtpProxyLogonRefused},
                {format(kOpenUser.chars, v.userName), FtpUserRefused},
                {format(kOpenPassword.chars, v.password), FtpPasswordRefused}};
    case 5:
        return {{format(kProxyAtHost.chars, v.proxyUserName, v.hostText), FtpUserRefused},
                {format(kProxyAtUser.chars, v.userName), FtpUserRefused},
                {format(kProxyAtPassword.chars, v.password), FtpPasswordRefused}};
    case 6:
        return {{format(kHostProxyUser.chars, v.proxyUserName), FtpUserRefused},
                {format(kHostProxyPassword.chars, v.proxyPassword), FtpPasswordRefused},
                {format(kHostHost.chars, v.hostText), FtpProxyLogonRefused},
                {format(kHostUser.chars, v.userName), FtpUserRefused},
                {format(kHostPassword.chars, v.password), FtpPasswordRefused}};
    case 7:
        return {{format(kChainUser.chars, v.userName, v.proxyUserName, v.hostText), FtpUserRefused},
                {format(kChainPassword.chars, v.password, v.proxyPassword), FtpPasswordRefused}};
    default:
        return {};
    }
}
