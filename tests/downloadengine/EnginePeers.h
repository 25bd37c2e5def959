#pragma once
// The peers of this suite (nginx and the scripted server of enginepeers.py), started once for the test
// program on 127.0.0.1 and stopped when it ends.
#include <cstdint>
#include <string>
#include <vector>

namespace enginetest {

// A port of a peer: "nginx_http", "nginx_https", "scripted", "closed".
int peerPort(const char* name);
// "http://127.0.0.1:<port of peer><path>".
std::wstring peerUrl(const char* peer, const std::wstring& path);
// Windows path of a file that nginx serves ("files/small.bin") or that the scripted server wrote.
std::wstring servedPath(const std::wstring& relative);
std::wstring scriptedPath(const std::wstring& name);

// nginx's access log entry of one request.
struct AccessEntry {
    double start = 0;  // seconds since 1970
    double end = 0;
    std::string method;
    std::string uri;
    int status = 0;
    std::string range;  // "-" when none
};
std::vector<AccessEntry> accessLog();
// The scripted server's request lines ("GET /file/10/a.bin bytes=0-9").
std::vector<std::string> scriptedRequests();

}  // namespace enginetest
