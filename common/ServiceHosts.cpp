#include "common/ServiceHosts.h"

#include <windows.h>

#include "common/TextFunctions.h"

namespace {

bool isHostCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.';
}

bool isHostName(const std::wstring& name) {
    if (name.empty() || name.size() > 253)
        return false;
    size_t labelStart = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == L'.') {
            const size_t labelLength = i - labelStart;
            if (labelLength == 0 || labelLength > 63 || name[labelStart] == L'-' || name[i - 1] == L'-')
                return false;
            labelStart = i + 1;
        } else if (!isHostCharacter(name[i])) {
            return false;
        }
    }
    return true;
}

bool isPort(const std::wstring& text) {
    if (text.empty() || text.size() > 5)
        return false;
    long port = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        port = port * 10 + (c - L'0');
    }
    return port >= 1 && port <= 65535;
}

// Set once by loadServiceHosts before any other thread starts; read-only afterwards.
std::wstring& currentServiceHost() {
    static std::wstring host = kDefaultServiceHost;
    return host;
}

std::wstring& currentMakerHost() {
    static std::wstring host = kDefaultMakerHost;
    return host;
}

bool& makerHostSet() {
    static bool set = false;
    return set;
}

// The variable's value, or false when it is not set.
bool readVariable(const wchar_t* variable, std::wstring& value) {
    SetLastError(ERROR_SUCCESS);
    const DWORD size = GetEnvironmentVariableW(variable, nullptr, 0);
    if (size == 0) {
        value.clear();
        return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    std::wstring buffer(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(variable, &buffer[0], size);
    if (length == 0 || length >= size) {
        value.clear();
        return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    buffer.resize(length);
    value = buffer;
    return true;
}

}  // namespace

bool isHostValue(const std::wstring& value) {
    const size_t colon = value.find(L':');
    if (colon == std::wstring::npos)
        return isHostName(value);
    return isHostName(value.substr(0, colon)) && isPort(value.substr(colon + 1));
}

std::wstring malformedHostMessage(const wchar_t* variable, const std::wstring& value) {
    return formatString(
        L"The environment variable %s holds \"%s\", which is not a host name with an optional port "
        L"(host or host:port). Pixhaul cannot start until it is corrected or removed.",
        variable, value.c_str());
}

bool hostFromVariable(const wchar_t* variable, const std::wstring* value, const wchar_t* defaultHost,
                      std::wstring& host, std::wstring& message) {
    if (!value) {
        host = defaultHost;
        return true;
    }
    if (!isHostValue(*value)) {
        message = malformedHostMessage(variable, *value);
        return false;
    }
    host = *value;
    return true;
}

bool loadServiceHosts(std::wstring& message) {
    std::wstring serviceValue, makerValue;
    const bool serviceSet = readVariable(kServiceHostVariable, serviceValue);
    const bool makerSet = readVariable(kMakerHostVariable, makerValue);
    std::wstring service, maker;
    if (!hostFromVariable(kServiceHostVariable, serviceSet ? &serviceValue : nullptr, kDefaultServiceHost,
                          service, message) ||
        !hostFromVariable(kMakerHostVariable, makerSet ? &makerValue : nullptr, kDefaultMakerHost, maker,
                          message))
        return false;
    currentServiceHost() = service;
    currentMakerHost() = maker;
    makerHostSet() = makerSet;
    return true;
}

const std::wstring& serviceHost() {
    return currentServiceHost();
}

bool makerHostConfigured() {
    return makerHostSet();
}

const std::wstring& makerHost() {
    return currentMakerHost();
}
