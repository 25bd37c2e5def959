#pragma once
// The network peers of the download control's tests (peers/peers.py: nginx, the scripted HTTP server,
// tinyproxy, openssl s_server, vsftpd, pyftpdlib and the scripted fault servers), started once for the
// test program that uses these functions, on 127.0.0.1, and stopped when it ends. The test authority
// that signed their certificates is trusted while the program runs.
#include <string>
#include <vector>

namespace testsupport {

// A port of a peer, named as in peers.py ("nginx_http", "scripted", "proxy", "ftp_plain", "closed", ...).
int peerPort(const char* name);
// "http://127.0.0.1:<port of peer><path>".
std::wstring peerUrl(const char* peer, const std::wstring& path);
// Windows path of a file that nginx serves ("files/small.bin"), and its bytes.
std::wstring servedPath(const std::wstring& relative);
std::string servedFile(const char* relative);
// Windows path of a file that the scripted server wrote.
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

}  // namespace testsupport
