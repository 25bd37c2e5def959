#include <winsock2.h>

#include "support/FixtureSite.h"

#include <windows.h>

#include <cstdlib>

#include "support/TestSupport.h"

namespace testsupport {
namespace {

SOCKET connectLocal(int port) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// The value of key=<number> in the ports line, 0 when missing.
int portOf(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(line.c_str() + at + key.size() + 1);
}

// The JSON string that starts after `"name": "` at or after from; npos-safe.
std::string jsonStringAfter(const std::string& text, const std::string& name, std::size_t& from) {
    const std::string key = "\"" + name + "\": \"";
    const std::size_t at = text.find(key, from);
    if (at == std::string::npos) {
        from = std::string::npos;
        return {};
    }
    std::string value;
    std::size_t i = at + key.size();
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        value += text[i];
    }
    from = i;
    return value;
}

}  // namespace

std::string httpExchange(int port, const std::string& method, const std::string& target, int* status) {
    if (status)
        *status = 0;
    SOCKET s = connectLocal(port);
    if (s == INVALID_SOCKET)
        return {};
    const std::string request = method + " " + target +
                                " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    std::string reply;
    if (::send(s, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
        char buffer[16384];
        int got = 0;
        while ((got = ::recv(s, buffer, sizeof buffer, 0)) > 0)
            reply.append(buffer, static_cast<std::size_t>(got));
    }
    closesocket(s);
    const std::size_t headerEnd = reply.find("\r\n\r\n");
    if (reply.compare(0, 5, "HTTP/") != 0 || headerEnd == std::string::npos)
        return {};
    if (status)
        *status = std::atoi(reply.c_str() + reply.find(' ') + 1);
    return reply.substr(headerEnd + 4);
}

FixtureSite::FixtureSite(int delayMs) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        failure_ = "WSAStartup failed";
        return;
    }
    const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
    const char* binary = std::getenv("PIXHAUL_BINARY_DIR");
    if (!source || !binary) {
        failure_ = "PIXHAUL_SOURCE_DIR and PIXHAUL_BINARY_DIR must be set";
        return;
    }
    // The ports file is named after this process, so suites never read each other's.
    const std::string portsFile =
        std::string(binary) + "/fixture-site-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::wstring windowsPortsFile = windowsPath(portsFile);
    DeleteFileW(windowsPortsFile.c_str());

    std::wstring command = L"/usr/bin/python3 " + widen(source) +
                           L"/tests/support/fixturesite.py --ports-file " + widen(portsFile) +
                           L" --delay-ms " + std::to_wstring(delayMs);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        failure_ = "cannot start fixturesite.py, error " + std::to_string(GetLastError());
        return;
    }
    // A Unix process: Wine gives no handle worth keeping; the control connection tracks it.
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);

    std::string line;
    const DWORD start = GetTickCount();
    while (line.empty() && GetTickCount() - start < 30000) {
        Sleep(50);
        line = readFileBytes(windowsPortsFile);
    }
    if (line.empty()) {
        failure_ = "the fixture site did not start within 30 s";
        return;
    }
    servicePort_ = portOf(line, "service");
    imagePort_ = portOf(line, "images");
    makerPort_ = portOf(line, "maker");
    const SOCKET control = connectLocal(portOf(line, "control"));
    control_ = control == INVALID_SOCKET ? kNoSocket : static_cast<std::uintptr_t>(control);
    if (control_ == kNoSocket)
        failure_ = "cannot connect to the fixture site's control port";
}

FixtureSite::~FixtureSite() {
    if (control_ != kNoSocket)
        closesocket(static_cast<SOCKET>(control_));
    WSACleanup();
}

std::wstring FixtureSite::serviceHost() const {
    return L"127.0.0.1:" + std::to_wstring(servicePort_);
}

std::wstring FixtureSite::makerHost() const {
    return L"127.0.0.1:" + std::to_wstring(makerPort_);
}

std::string FixtureSite::logText() const {
    return httpExchange(servicePort_, "GET", "/__log");
}

std::vector<std::string> FixtureSite::requests() const {
    const std::string text = logText();
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at != std::string::npos) {
        const std::string method = jsonStringAfter(text, "method", at);
        if (at == std::string::npos)
            break;
        const std::string path = jsonStringAfter(text, "path", at);
        if (at == std::string::npos)
            break;
        result.push_back(method + " " + path);
    }
    return result;
}

int FixtureSite::countRequests(const std::string& prefix) const {
    int count = 0;
    for (const std::string& request : requests())
        count += request.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

bool FixtureSite::reset() const {
    int status = 0;
    httpExchange(servicePort_, "POST", "/__reset", &status);
    return status == 200;
}

bool FixtureSite::setMode(const std::string& query) const {
    int status = 0;
    httpExchange(servicePort_, "POST", "/__mode?" + query, &status);
    return status == 200;
}

}  // namespace testsupport
