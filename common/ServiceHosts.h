#pragma once
// The two web hosts the program talks to: the photo service and the maker's own site. Both can be
// moved (to a local test site, for instance) through an environment variable holding host[:port],
// read once at start by the program's entry; everything else asks serviceHost() and makerHost().
#include <string>

// The hosts a plain start uses, in one place.
constexpr wchar_t kDefaultServiceHost[] = L"www.instagram.com";
constexpr wchar_t kDefaultMakerHost[] = L"pixhaul.invalid";
// Where feedback mail goes.
constexpr wchar_t kSupportMailAddress[] = L"support@pixhaul.invalid";

// The environment variables that move the hosts.
constexpr wchar_t kServiceHostVariable[] = L"PIXHAUL_SERVICE_HOST";
constexpr wchar_t kMakerHostVariable[] = L"PIXHAUL_MAKER_HOST";

// True for "host" or "host:port": a host name of letters, digits, hyphens and dots (an IPv4
// address is one) and an optional port 1..65535. Nothing else: no scheme, path, user or spaces.
bool isHostValue(const std::wstring& value);

// The message that stops the start when a variable holds something else.
std::wstring malformedHostMessage(const wchar_t* variable, const std::wstring& value);

// One variable as the entry sees it: absent gives the default; a value (also an empty one) must
// pass isHostValue. False with message set when it does not.
bool hostFromVariable(const wchar_t* variable, const std::wstring* value, const wchar_t* defaultHost,
                      std::wstring& host, std::wstring& message);

// Reads both variables from the environment and keeps the result for serviceHost() and
// makerHost(). False with message set (naming the variable) when a value is malformed; the hosts
// then stay at their defaults, and the caller is expected to stop.
bool loadServiceHosts(std::wstring& message);

// host[:port] of the service and of the maker's site ("http://" + host + path makes an address).
const std::wstring& serviceHost();
const std::wstring& makerHost();
// False while the maker's host is the compiled placeholder (its variable not set), which never
// resolves.
bool makerHostConfigured();
